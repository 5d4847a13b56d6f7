// The batch dialog with three runs, and the main window while it waits for
// a run.
#include <QListWidget>
#include <filesystem>
#include <fstream>

#include "frontend/editor/Run.h"
#include "frontend/gui/BatchForm.h"
#include "frontend/gui/MainForm.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Fields.h"
#include "tools/screenshots/Screens.h"

namespace kirmel::screens {
namespace {

void RenderBatchForm(TScreenContext& c) {
  const fe::TSettings& settings = c.Main.Editor().Settings();
  auto* scripted = dynamic_cast<qt::TScriptedDialogs*>(&qt::TheDialogs());
  gui::TBatchForm form(c.Main.Editor(), &c.Main);
  form.show();
  for (const char* run : {"NLStandard_sp+Cpf", "NLStandard_sp+Cpf_slow", "Drain_sp+Cpf"}) {
    const std::string dir = settings.RunsDir() + "/" + run;
    std::filesystem::create_directories(dir);
    if (scripted) scripted->AnswerFolder(dir);
    form.AddRunButtonClick();
  }
  form.findChild<QListWidget*>(QStringLiteral("LstRuns"))->setCurrentRow(1);
  c.Save(&form, "TBatchForm");
  form.hide();
}

void RenderWaiting(TScreenContext& c) {
  const fe::TSettings& settings = c.Main.Editor().Settings();
  const std::string marker = fe::MarkerPath(settings);
  const std::string runDir = settings.RunDirOf("NLStandard_sp", "Cpf");
  std::ofstream(marker) << "screens, KIRMEL is running.\nscreens\n";
  qt::RevealPage(c.Main.findChild<QWidget*>(QStringLiteral("PageKirmel")));
  c.Main.StartWait(std::make_unique<fe::TStartedRun>(nullptr, runDir + "/RUN.BAT", marker,
                                                     "screens", runDir));
  c.Save(&c.Main, "TMainForm-Waiting");
  c.Main.StopWaitingClick();
  std::filesystem::remove(marker);
}

TScreenRegistrar batchForm("20-batch-form", RenderBatchForm);
TScreenRegistrar waiting("21-run-wait", RenderWaiting);

}  // namespace
}  // namespace kirmel::screens
