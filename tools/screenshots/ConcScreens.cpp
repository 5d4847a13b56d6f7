// The results viewer's concentration and distribution windows on the run
// given to the tool: the concentration graph, the concentration in time
// with its exposure table, and the distribution graph.
#include "frontend/gui/MainForm.h"
#include "frontend/viewer/windows/ConcentrationGraph.h"
#include "frontend/viewer/windows/ConcentrationTimeGraph.h"
#include "frontend/viewer/windows/DistributionGraph.h"
#include "tools/screenshots/Screens.h"

namespace kirmel::screens {
namespace {

// A window whose files cannot be read closes itself, which Save counts as
// a failure; the reader's message is an error dialog, counted as well.
template <class Form>
void SaveGraph(TScreenContext& c, const char* name) {
  Form form(&c.Main, c.RunDir);
  c.Save(&form, name);
  form.hide();
}

void RenderConcentrations(TScreenContext& c) {
  if (c.RunDir.empty()) return;
  SaveGraph<viewer::TConcentrationGraphForm>(c, "TConcentrationGraphForm");
  SaveGraph<viewer::TConcentrationTimeGraphForm>(c, "TConcentrationTimeGraphForm");
  SaveGraph<viewer::TDistributionGraphForm>(c, "TDistributionGraphForm");
}

TScreenRegistrar concentrationWindows("41-viewer-concentrations", RenderConcentrations);

}  // namespace
}  // namespace kirmel::screens
