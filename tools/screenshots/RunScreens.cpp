// The batch dialog with three runs, the main window while it waits for a
// run, and the message of a batch whose runs failed.
#include <QListWidget>
#include <QMessageBox>
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

// The message box as the dialog service shows it: a batch of three runs,
// one stopped by the kernel with a missing file, one ended from outside.
void RenderBatchFailure(TScreenContext& c) {
  const fe::TSettings& settings = c.Main.Editor().Settings();
  std::vector<fe::TSimRun> runs;
  auto add = [&](const std::string& name, const std::string& status, const std::string& log) {
    fe::TSimRun run;
    run.Name = name;
    run.InputDir = run.OutputDir = settings.RunsDir() + "/" + name;
    std::filesystem::create_directories(run.InputDir);
    std::ofstream(run.InputDir + "/kirmel.status") << status << "\nscreens\n";
    std::ofstream(run.InputDir + "/RUN.LOG") << log;
    runs.push_back(run);
  };
  add("NLStandard_sp+Cpf", "0", " end of simulation\n");
  add("Drain_sp+Cpf", "1",
      "\n ERROR in FOPENG: File does not exist\n\n"
      " Arguments of the CALL to FOPENG leading to this error:\n"
      "   Unit             =    96\n"
      "   File name        =    " + settings.ScenariosDir() + "/Drain_sp/HY.INP\n"
      "   File status      =    RDO\n"
      " Fatal execution error, press <Enter>\n");
  add("NLStandard_sp+Cpf_slow", "129",
      " Time simulated:   11.0 d\n program aborting due to hangup event\n");
  auto batch = fe::TStartedRun::ForBatch(nullptr, settings.Root() + "/BATCH.BAT",
                                         settings.GuiDir() + "/none", "screens", runs);
  batch->Poll();
  QString text = QString::fromStdString(batch->Outcome());
  text.replace(QChar('\r'), QChar('\n'));
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, &c.Main);
  c.Save(&box, "BatchFailure");
  box.hide();
}

TScreenRegistrar batchForm("20-batch-form", RenderBatchForm);
TScreenRegistrar batchFailure("22-batch-failure", RenderBatchFailure);
TScreenRegistrar waiting("21-run-wait", RenderWaiting);

}  // namespace
}  // namespace kirmel::screens
