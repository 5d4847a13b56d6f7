// How the viewer's windows read a run: a window opened again finds its
// files in the cache, a damaged file is named once a window with where it
// stopped and no wrong number is shown, and a long read shows a progress
// dialog whose Cancel keeps the window from opening and changes nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "common/GoldenRuns.h"
#include "common/TempDir.h"
#include "frontend/editor/Run.h"
#include "frontend/model/Numbers.h"
#include "frontend/qt/StringGrid.h"
#include "frontend/viewer/OutputCache.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/Compare.h"
#include "frontend/viewer/windows/CompareConc.h"
#include "frontend/viewer/windows/ConcentrationGraph.h"
#include "frontend/viewer/windows/ConcentrationTimeGraph.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "frontend/viewer/windows/MassBalanceForms.h"
#include "frontend/viewer/windows/ReadProgress.h"
#include "qtcommon/OnModal.h"
#include "qtcommon/ViewerWindowsFixture.h"
#include "qtcommon/Widgets.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using namespace kirmel::viewer;

// Presses Cancel in the progress dialog as soon as it shows, or once it
// reads a file whose name holds `at`; counts the dialogs it saw.
class TCancelReads : public QObject {
 public:
  explicit TCancelReads(QString at = {}) : at_(std::move(at)) { qApp->installEventFilter(this); }
  ~TCancelReads() override { qApp->removeEventFilter(this); }
  int Shown() const { return shown_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      auto* progress = qobject_cast<QProgressDialog*>(watched);
      if (progress && progress != last_) {  // a dialog may show again as it goes
        last_ = progress;
        ++shown_;
        EXPECT_EQ(progress->objectName(), "ReadProgress");
        EXPECT_TRUE(progress->labelText().startsWith("Reading ")) << progress->labelText().toStdString();
        auto* poll = new QTimer(progress);
        QObject::connect(poll, &QTimer::timeout, progress, [this, progress, poll] {
          if (!progress->labelText().contains(at_)) return;
          poll->stop();
          for (QPushButton* b : progress->findChildren<QPushButton*>())
            if (b->text() == "Cancel") b->click();
        });
        poll->start(0);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QString at_;
  QProgressDialog* last_ = nullptr;
  int shown_ = 0;
};

// The progress dialog shows at a read's first block while it lives.
class ScopedNoProgressDelay {
 public:
  ScopedNoProgressDelay() : old_(ReadProgressDelay()) { SetReadProgressDelay(0); }
  ~ScopedNoProgressDelay() { SetReadProgressDelay(old_); }

 private:
  int old_;
};

// The lines of a message, split at its CRs.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t cr; (cr = text.find('\r', start)) != std::string::npos; start = cr + 1)
    lines.push_back(text.substr(start, cr - start));
  lines.push_back(text.substr(start));
  return lines;
}

// The notice of a run of the example (30 d) whose files end at `reached`
// ("": hold none), with the lines that say where KIRMEL said why.
std::string StoppedNotice(const std::string& run, const std::string& reached,
                          const std::string& why) {
  return "The output files of this run (\"" + run + "\") " +
         (reached.empty() ? "hold no output time" : "end at " + reached) +
         "; it was set to simulate 30.00 d.\r" + (why.empty() ? "" : why + "\r") +
         "The graphs show the output times written.";
}
std::string SeeMessages(const std::string& run) {
  return "See the messages in \"" + run + "/message.out\".";
}

// The root the front end uses while it lives.
class ScopedRoot {
 public:
  explicit ScopedRoot(const std::string& root) {
    if (const char* old = std::getenv("KIRMEL_ROOT")) old_ = old;
    setenv("KIRMEL_ROOT", root.c_str(), 1);
  }
  ~ScopedRoot() {
    if (old_)
      setenv("KIRMEL_ROOT", old_->c_str(), 1);
    else
      unsetenv("KIRMEL_ROOT");
  }

 private:
  std::optional<std::string> old_;
};

// A copy of the example's run whose water-layer file and both sediment
// files stop inside a line, as when the kernel was stopped (or is still
// writing): what the concentration graph should show of it.
class CutRun {
 public:
  explicit CutRun(const TempDir& run) : run_(run) {
    const std::string wl = readFile(run.file("wlsoco.out"));
    const std::string wlCut = wl.substr(0, wl.size() * 6 / 10);
    run.write("wlsoco.out", wlCut);
    wlLines_ = std::count(wlCut.begin(), wlCut.end(), '\n') + 1;
    complete_ = static_cast<int>((wlLines_ - 1 - 12) / 80);  // blocks before the cut line
    for (const char* name : {"wbsco001.out", "wbsco080.out"}) {
      const std::string sed = readFile(run.file(name));
      run.write(name, sed.substr(0, sed.size() / 2 + 7));
    }
  }
  int CompleteBlocks() const { return complete_; }
  // The last complete block's time, as a series title.
  std::string LastTime() const { return fe::Format("%.2f d", {0.5 * (complete_ - 1)}, '.'); }
  // The message says where the run's files end, with `why`, then names the
  // three files, each once, by their names on disk.
  void ExpectNamed(const std::string& message, const std::string& why) const {
    const std::string notice = StoppedNotice(run_.str(), LastTime(), why);
    ASSERT_EQ(message.rfind(notice + "\r", 0), 0u) << message;
    const std::vector<std::string> lines = Lines(message.substr(notice.size() + 1));
    ASSERT_EQ(lines.size(), 3u) << message;
    EXPECT_EQ(lines[0], run_.file("wlsoco.out") + ", line " + std::to_string(wlLines_) +
                            ": the file ends inside this line (it has no line end)");
    EXPECT_EQ(lines[1].rfind(run_.file("wbsco001.out") + ", line ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind(run_.file("wbsco080.out") + ", line ", 0), 0u) << lines[2];
    EXPECT_EQ(message.find(".OUT"), std::string::npos) << message;
  }

 private:
  const TempDir& run_;
  long wlLines_ = 0;
  int complete_ = 0;
};

class ReadingWindows : public ViewerWindowsFixture {
 protected:
  ReadingWindows() { fe::TOutputCache::Viewer().Clear(); }
  ~ReadingWindows() override { fe::TOutputCache::Viewer().Clear(); }
};

// Opened again, a window reads nothing; a file changed since is read
// again.
TEST_F(ReadingWindows, AWindowOpenedAgainReadsFromTheCache) {
  TempDir run;
  CopyGoldenRun("example", run.path());
  fe::TOutputCache& cache = fe::TOutputCache::Viewer();
  TGraphMenuForm menu;
  menu.OutputDir = run.str();
  menu.show();
  menu.SetGraphType(TGraphMenuForm::ConcentrationInWaterbody);
  int seen = 0;
  for (int open = 0; open < 2; ++open) {
    OnModal<TConcentrationGraphForm>([&](TConcentrationGraphForm* w) {
      seen = static_cast<int>(w->WaterlayerGraph().Chart.Series.size());
      w->reject();
    });
    Click(&menu, "ViewButton");
    EXPECT_EQ(seen, 5);
    EXPECT_EQ(cache.FilesRead(), 4u) << open;  // INPUT, WLSOCO, WBSCO001, WBSCO080
  }
  // The in-time window reads its own files only, the exposure and
  // mass-balance files.
  menu.SetGraphType(TGraphMenuForm::ConcentrationInTime);
  OnModal<TConcentrationTimeGraphForm>([](TConcentrationTimeGraphForm* w) { w->reject(); });
  Click(&menu, "ViewButton");
  EXPECT_EQ(cache.FilesRead(), 6u);
  // The comparison opened from it reads nothing.
  OnModal<TFrmCompareConc>([](TFrmCompareConc* d) {
    EXPECT_EQ(Child<QLineEdit>(d, "EdtNameRun1")->text().toStdString(), fs::path(d->Comparison().RunDir1()).filename().string());
    d->reject();
  });
  OpenCompareConc(&menu, "Concentration of pesticide in waterbody", kCompareSediment, run.str(), 2);
  EXPECT_EQ(cache.FilesRead(), 6u);

  // A run made anew: read again.
  const std::string text = readFile(run.file("wlmb.out"));
  fs::remove(run.file("wlmb.out"));
  run.write("wlmb.out", text.substr(0, text.find("  29.000")));
  menu.SetGraphType(TGraphMenuForm::MassBalanceWaterLayer);
  std::size_t points = 0;
  for (int open = 0; open < 2; ++open) {
    OnModal<TMassBalanceWLGraphForm>([&](TMassBalanceWLGraphForm* w) {
      points = w->Positive().Chart.Series[0].Points.size();
      w->reject();
    });
    Click(&menu, "ViewButton");
  }
  EXPECT_EQ(points, 58u);
  EXPECT_EQ(cache.FilesRead(), 7u);
  EXPECT_TRUE(dialogs->Errors().empty());
}

// Damaged files are named, each once a window, in one message a window
// with where they stopped, and what they held before the damage is drawn;
// a number cut short is never shown.
TEST_F(ReadingWindows, DamagedFilesAreNamedAndNoWrongNumberShown) {
  TempDir run;
  CopyGoldenRun("example", run.path());
  // The exposure file cut inside its last number: "0.1327E-02" as "0.13".
  std::string ec = readFile(run.file("ec080.out"));
  ec.resize(ec.rfind("0.1327E-02") + 4);
  run.write("ec080.out", ec);
  const long ecLines = std::count(ec.begin(), ec.end(), '\n') + 1;
  // The sediment file of segment 80 cut at 60 %: both lists of the
  // concentration graph that show it.
  const std::string sed = readFile(run.file("wbsco080.out"));
  run.write("wbsco080.out", sed.substr(0, sed.size() * 6 / 10));

  TConcentrationTimeGraphForm time(nullptr, run.str());
  time.show();
  Settle();
  ASSERT_FALSE(time.ReadFailed());
  ASSERT_EQ(dialogs->Errors().size(), 1u);
  std::vector<std::string> lines = Lines(dialogs->Errors()[0]);
  ASSERT_EQ(lines.size(), 2u) << dialogs->Errors()[0];
  EXPECT_EQ(lines[0], run.file("ec080.out") + ", line " + std::to_string(ecLines) +
                          ": the file ends inside this line (it has no line end)");
  EXPECT_EQ(lines[1].rfind(run.file("wbsco080.out") + ", line ", 0), 0u);
  // The table of segment 80 (chosen first): TWAEC28 left empty.
  qt::TStringGrid* grid = time.StrGridExpConc();
  EXPECT_EQ(grid->Cell(2, 3), "1.564");
  EXPECT_EQ(grid->Cell(1, 4), "");
  EXPECT_EQ(grid->Cell(2, 4), "");
  // The top layer's curve of segment 80 ends with the last whole block.
  ASSERT_EQ(time.SedimentGraph().Chart.Series.size(), 2u);
  EXPECT_LT(time.SedimentGraph().Chart.Series[1].Points.size(), 61u);
  EXPECT_EQ(time.SedimentGraph().Chart.Series[0].Points.size(), 61u);

  // The concentration graph: lists 2 and 3 both start on segment 80; its
  // file is named once, and not again when another list shows it.
  dialogs->Clear();
  TConcentrationGraphForm conc(nullptr, run.str());
  conc.show();
  Settle();
  ASSERT_EQ(dialogs->Errors().size(), 1u);
  EXPECT_EQ(dialogs->Errors()[0].rfind(run.file("wbsco080.out") + ", line ", 0), 0u);
  EXPECT_EQ(Lines(dialogs->Errors()[0]).size(), 1u);
  conc.ComboBox(1)->setCurrentIndex(1);  // segment 80 in the first list too
  EXPECT_EQ(dialogs->Errors().size(), 1u);
  EXPECT_FALSE(conc.SedimentGraph(1).Chart.Series.empty());

  // An empty water-layer file is named itself; the exposure tables, found
  // after their time series, are not blamed.
  dialogs->Clear();
  run.write("wlsoco.out", "");
  TConcentrationTimeGraphForm empty(nullptr, run.str());
  empty.show();
  Settle();
  EXPECT_FALSE(empty.ReadFailed());
  ASSERT_EQ(dialogs->Errors().size(), 1u);
  const std::string notice = StoppedNotice(run.str(), "", SeeMessages(run.str())) + "\r";
  ASSERT_EQ(dialogs->Errors()[0].rfind(notice, 0), 0u) << dialogs->Errors()[0];
  lines = Lines(dialogs->Errors()[0].substr(notice.size()));
  ASSERT_EQ(lines.size(), 3u) << dialogs->Errors()[0];
  EXPECT_EQ(lines[0], run.file("wlsoco.out") + ": the file is empty");
  EXPECT_EQ(lines[1].rfind(run.file("ec080.out") + ", line ", 0), 0u);  // still cut
  EXPECT_EQ(lines[2].rfind(run.file("wbsco080.out") + ", line ", 0), 0u);
  for (const fe::TSeries& s : empty.WaterLayerGraph().Chart.Series) EXPECT_TRUE(s.Points.empty());
  EXPECT_EQ(empty.StrGridExpConc()->Cell(2, 1), "4.304");  // segment 80's table all the same
}

// A run cut short in three files: the concentration graph opened from the
// graph menu names all three in one message, each once and as it is on
// disk, and draws the complete time blocks.
TEST_F(ReadingWindows, ThreeDamagedFilesInOneMessage) {
  TempDir run;
  CopyGoldenRun("example", run.path());
  const CutRun cut(run);

  TGraphMenuForm menu;
  menu.OutputDir = run.str();
  menu.show();
  menu.SetGraphType(TGraphMenuForm::ConcentrationInWaterbody);
  bool opened = false;
  OnModal<TConcentrationGraphForm>([&](TConcentrationGraphForm* w) {
    opened = true;
    // The message came before the window: one, saying where the files end
    // and naming the three files.
    ASSERT_EQ(dialogs->Errors().size(), 1u);
    cut.ExpectNamed(dialogs->Errors()[0], SeeMessages(run.str()));
    EXPECT_EQ(w->WaterLayerConc.NumberOfTimesteps(), cut.CompleteBlocks());
    ASSERT_EQ(w->WaterlayerGraph().Chart.Series.size(), 5u);
    EXPECT_EQ(w->WaterlayerGraph().Chart.Series.back().Title, cut.LastTime());
    // Other subsystems chosen: no file is named again, not even one cut
    // elsewhere since (read again, it stops at another line).
    const std::string sed = readFile(Golden("example", "wbsco080.out"));
    run.write("wbsco080.out", sed.substr(0, sed.size() / 3 + 5));
    w->ComboBox(3)->setCurrentIndex(0);
    w->ComboBox(1)->setCurrentIndex(1);
    EXPECT_EQ(dialogs->Errors().size(), 1u);
    EXPECT_EQ(fe::TOutputCache::Viewer().FilesRead(), 5u);  // wbsco080.out twice
    w->reject();
  });
  Click(&menu, "ViewButton");
  EXPECT_TRUE(opened);
  EXPECT_EQ(dialogs->Errors().size(), 1u);
  EXPECT_TRUE(dialogs->Infos().empty());
}

// A run that KIRMEL is still writing (the run marker names a live process
// and the run's directory; its files end where the kernel has got to): one
// notice, the complete time blocks drawn, nothing said about the files, and
// the notice not again while the window stays.  Once the run has ended, a
// notice says where its files end short of the time it was set to, and
// where KIRMEL said why, before the same files are named as cut; files
// that end short whole get the notice alone, as information.
TEST_F(ReadingWindows, ARunStillBeingWrittenOrStoppedShortGivesOneNotice) {
  TempDir root;
  const std::string run = (root.path() / "RUNS" / "Long+Cpf").string();
  CopyGoldenRun("example", run);
  TempDir scratch;
  CopyGoldenRun("example", scratch.path());
  const CutRun cut(scratch);
  for (const char* name : {"wlsoco.out", "wbsco001.out", "wbsco080.out"})
    fs::copy_file(scratch.file(name), run + "/" + name, fs::copy_options::overwrite_existing);
  fs::create_directories(root.path() / "GUI");
  const std::string marker = root.write(
      "GUI/TempKir.txt", "09-12-2026 10:11:12, KIRMEL is running.\nrun-7\ndir " + run + "\npid " +
                             std::to_string(::getpid()) + " " + fe::ProcessStartTime(::getpid()) +
                             "\n");
  // The program's root is another: the windows judge by the menu's.
  TempDir elsewhere;
  ScopedRoot scopedRoot(elsewhere.str());
  const std::string notice = "KIRMEL is still writing this run (\"" + run + "\")." + "\r" +
                             "The graphs show the output times written so far.";

  TGraphMenuForm menu;
  menu.OutputDir = run;
  menu.Root = root.str();
  menu.show();
  menu.SetGraphType(TGraphMenuForm::ConcentrationInWaterbody);
  bool opened = false;
  OnModal<TConcentrationGraphForm>([&](TConcentrationGraphForm* w) {
    opened = true;
    EXPECT_EQ(dialogs->Infos(), std::vector<std::string>{notice});
    EXPECT_TRUE(dialogs->Errors().empty());
    EXPECT_EQ(w->WaterLayerConc.NumberOfTimesteps(), cut.CompleteBlocks());
    ASSERT_EQ(w->WaterlayerGraph().Chart.Series.size(), 5u);
    for (const fe::TSeries& s : w->WaterlayerGraph().Chart.Series) EXPECT_EQ(s.Points.size(), 80u);
    EXPECT_EQ(w->WaterlayerGraph().Chart.Series.back().Title, cut.LastTime());
    EXPECT_FALSE(w->SedimentGraph(3).Chart.Series.empty());
    // The lists changed, files read again as they grow: no notice again.
    w->ComboBox(3)->setCurrentIndex(0);
    w->ComboBox(1)->setCurrentIndex(1);
    w->ComboBox(1)->setCurrentIndex(0);
    EXPECT_EQ(dialogs->Infos().size(), 1u);
    EXPECT_TRUE(dialogs->Errors().empty());
    w->reject();
  });
  Click(&menu, "ViewButton");
  EXPECT_TRUE(opened);
  EXPECT_EQ(dialogs->Infos().size(), 1u);
  EXPECT_TRUE(dialogs->Errors().empty());

  // An echo file the reader refuses is no file the kernel has yet to
  // finish: named, with the notice, and the window does not open.
  const std::string echo = readFile(run + "/input.out");
  fe::TOutputCache::Viewer().Clear();
  root.write("RUNS/Long+Cpf/input.out", echo.substr(0, echo.find("wbin:")));
  dialogs->Clear();
  Click(&menu, "ViewButton");
  ASSERT_EQ(dialogs->Errors().size(), 1u);
  EXPECT_EQ(Lines(dialogs->Errors()[0]).size(), 3u) << dialogs->Errors()[0];
  EXPECT_EQ(dialogs->Errors()[0].rfind(notice + "\r" + run + "/input.out, line ", 0), 0u)
      << dialogs->Errors()[0];
  root.write("RUNS/Long+Cpf/input.out", echo);

  // The run has ended, with no status recorded (as by hand): its
  // message.out is pointed at, then the files that stop early are named.
  fs::remove(marker);
  dialogs->Clear();
  OnModal<TConcentrationGraphForm>([](TConcentrationGraphForm* w) { w->reject(); });
  Click(&menu, "ViewButton");
  EXPECT_TRUE(dialogs->Infos().empty());
  ASSERT_EQ(dialogs->Errors().size(), 1u);
  EXPECT_EQ(dialogs->Errors()[0].rfind(StoppedNotice(run, cut.LastTime(), SeeMessages(run)) +
                                           "\r" + run + "/wlsoco.out, line ",
                                       0),
            0u)
      << dialogs->Errors()[0];
  EXPECT_EQ(Lines(dialogs->Errors()[0]).size(), 6u) << dialogs->Errors()[0];

  // The water layer's mass balance ends whole at 28.5 d: the notice alone,
  // as information.  A status the run script recorded brings the run's own
  // end message; one older than the kernel's message.out (a run by hand
  // after it) is not taken; status 0 is never called a failure.
  const std::string wlmb = readFile(run + "/wlmb.out");
  root.write("RUNS/Long+Cpf/wlmb.out", wlmb.substr(0, wlmb.find("  29.000")));
  root.write("RUNS/Long+Cpf/RUN.LOG", " Positivity conditions wl not fulfilled;\n Program stops\n");
  menu.SetGraphType(TGraphMenuForm::MassBalanceWaterLayer);
  const std::string failed = "KIRMEL stopped with exit status 1.\r" + SeeMessages(run) +
                             "\rThe last messages of KIRMEL on its console (\"" + run +
                             "/RUN.LOG\"):\r  Positivity conditions wl not fulfilled;\r  Program stops";
  for (const auto& [status, why] : {std::pair<std::string, std::string>{"1", failed},
                                    {"0", ""},
                                    {"stale", SeeMessages(run)}}) {
    SCOPED_TRACE(status);
    root.write("RUNS/Long+Cpf/kirmel.status", (status == "stale" ? "1" : status) + "\nrun-7\n");
    if (status == "stale")
      fs::last_write_time(run + "/message.out",
                          fs::last_write_time(run + "/kirmel.status") + std::chrono::seconds(1));
    dialogs->Clear();
    OnModal<TMassBalanceWLGraphForm>([](TMassBalanceWLGraphForm* w) { w->reject(); });
    Click(&menu, "ViewButton");
    EXPECT_EQ(dialogs->Infos(), std::vector<std::string>{StoppedNotice(run, "28.50 d", why)});
    EXPECT_TRUE(dialogs->Errors().empty());
  }
}

// A read that takes long shows its progress; Cancel keeps the window from
// opening, and a comparison's choice cancelled changes nothing.
TEST_F(ReadingWindows, CancelledReadsOpenNothingAndChangeNothing) {
  TempDir root;
  const fs::path runs = root.path() / "RUNS";
  CopyGoldenRun("example", runs / "example");
  CopyGoldenRun("freundlich", runs / "other");
  const std::string run = (runs / "example").string();
  ScopedNoProgressDelay noDelay;

  TGraphMenuForm menu;
  menu.OutputDir = run;
  menu.show();
  for (int type = 0; type < 5; ++type) {
    SCOPED_TRACE(type);
    TCancelReads cancel;
    menu.SetGraphType(type);
    bool opened = false;
    auto* watch = new QTimer(&menu);
    QObject::connect(watch, &QTimer::timeout, [&] {
      if (auto* w = qobject_cast<TGraphWindow*>(QApplication::activeModalWidget())) {
        opened = true;
        w->reject();
      }
    });
    watch->start(1);
    Click(&menu, "ViewButton");
    delete watch;
    EXPECT_EQ(cancel.Shown(), 1);
    EXPECT_FALSE(opened);
    EXPECT_EQ(fe::TOutputCache::Viewer().Count(), 0u);
    EXPECT_TRUE(menu.isVisible());
  }
  EXPECT_TRUE(dialogs->Errors().empty());

  // Cancelled after a damaged file was read: nothing said about it.
  {
    const fs::path cut = runs / "cut";
    CopyGoldenRun("example", cut);
    const std::string wl = readFile((cut / "wlsoco.out").string());
    root.write("RUNS/cut/wlsoco.out", wl.substr(0, wl.size() / 2));
    menu.OutputDir = cut.string();
    menu.SetGraphType(TGraphMenuForm::ConcentrationInWaterbody);
    TCancelReads cancel(QStringLiteral("wbsco"));
    bool opened = false;
    OnModal<TConcentrationGraphForm>([&](TConcentrationGraphForm* w) {
      opened = true;
      w->reject();
    });
    Click(&menu, "ViewButton");
    EXPECT_EQ(cancel.Shown(), 1);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(dialogs->Errors().empty()) << dialogs->Errors()[0];
    menu.OutputDir = run;
  }

  // Without Cancel the same progress shows and the window opens.
  menu.SetGraphType(TGraphMenuForm::MassBalanceSediment);
  bool opened = false;
  OnModal<TMassBalanceSedGraphForm>([&](TMassBalanceSedGraphForm* w) {
    opened = true;
    w->reject();
  });
  Click(&menu, "ViewButton");
  EXPECT_TRUE(opened);

  // A comparison: run 2 chosen, then another run whose reading is
  // cancelled; run 2 stays.
  const std::string oldRoot = std::getenv("KIRMEL_ROOT") ? std::getenv("KIRMEL_ROOT") : "";
  setenv("KIRMEL_ROOT", root.str().c_str(), 1);
  SetReadProgressDelay(500);
  TFrmCompareConc dialog(nullptr, "Concentration of pesticide in waterbody", kCompareWaterLayer,
                         run, 0);
  dialog.show();
  Settle();
  Click(&dialog, "RadioGroupTypeItem0");
  dialogs->AnswerFolder(run);
  Click(&dialog, "BtnChangeNameRun2");
  EXPECT_EQ(Child<QLineEdit>(&dialog, "EdtNameRun2")->text(), "example");
  fe::TOutputCache::Viewer().Clear();
  SetReadProgressDelay(0);
  {
    TCancelReads cancel;
    dialogs->AnswerFolder((runs / "other").string());
    Click(&dialog, "BtnChangeNameRun2");
    EXPECT_EQ(cancel.Shown(), 1);
  }
  EXPECT_EQ(Child<QLineEdit>(&dialog, "EdtNameRun2")->text(), "example");
  EXPECT_EQ(Child<QLineEdit>(&dialog, "EdtTimeRun2")->text(), "0.00 d");
  EXPECT_EQ(dialog.Comparison().Run(2).WLSOCO.NumberOfTimesteps(), 61);
  EXPECT_TRUE(dialogs->Errors().empty());
  dialog.reject();
  setenv("KIRMEL_ROOT", oldRoot.c_str(), 1);
}

}  // namespace
}  // namespace kirmel::test
