// The segment editors and their generate and scale dialogs, on the example.
#include "frontend/gui/MainForm.h"
#include "frontend/gui/SegmentForms.h"
#include "tools/screenshots/Screens.h"

namespace kirmel::screens {
namespace {

template <class T>
T* Form(TScreenContext& c, const char* name) {
  return c.Main.findChild<T*>(QString::fromLatin1(name));
}

void RenderSegmentEditors(TScreenContext& c) {
  if (auto* nodes = Form<gui::TNodesForm>(c, "NodesForm")) {
    nodes->SetMode(2, QStringLiteral("Water layer segments"));
    nodes->LoadFromModel();
    c.Save(nodes, "TNodesForm");
    nodes->hide();
  } else {
    ++c.Failures;
  }
  if (auto* layers = Form<gui::TSedimentNodesForm>(c, "SedimentNodesForm")) {
    layers->SetMode(4, QStringLiteral("Sediment segments"));
    layers->LoadFromModel();
    c.Save(layers, "TSedimentNodesForm");
    layers->hide();
  } else {
    ++c.Failures;
  }
  // As the sediment editor opens it: with the quadratic choice.
  if (auto* generate = Form<gui::TGenerateNodesForm>(c, "GenerateNodesForm")) {
    generate->ShowQuadratic = true;
    generate->Prepare();
    c.Save(generate, "TGenerateNodesForm");
    generate->hide();
  } else {
    ++c.Failures;
  }
  if (auto* scale = Form<gui::TScaleForm>(c, "ScaleForm")) {
    c.Save(scale, "TScaleForm");
    scale->hide();
  } else {
    ++c.Failures;
  }
}

TScreenRegistrar segmentEditors("12-segment-editors", RenderSegmentEditors);

}  // namespace
}  // namespace kirmel::screens
