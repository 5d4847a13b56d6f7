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
#include <algorithm>
#include <filesystem>

#include "common/GoldenRuns.h"
#include "common/TempDir.h"
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

// Presses Cancel in the progress dialog as soon as it shows; counts the
// dialogs it saw.
class TCancelReads : public QObject {
 public:
  TCancelReads() { qApp->installEventFilter(this); }
  ~TCancelReads() override { qApp->removeEventFilter(this); }
  int Shown() const { return shown_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      if (auto* progress = qobject_cast<QProgressDialog*>(watched)) {
        ++shown_;
        EXPECT_EQ(progress->objectName(), "ReadProgress");
        EXPECT_TRUE(progress->labelText().startsWith("Reading ")) << progress->labelText().toStdString();
        QTimer::singleShot(0, progress, [progress] {
          for (QPushButton* b : progress->findChildren<QPushButton*>())
            if (b->text() == "Cancel") b->click();
        });
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
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

// Damaged files are named, each once a window, and what they held before
// the damage is drawn; a number cut short is never shown.
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
  ASSERT_EQ(dialogs->Errors().size(), 2u);
  EXPECT_EQ(dialogs->Errors()[0], run.file("EC080.OUT") + ", line " + std::to_string(ecLines) +
                                      ": the file ends inside this line (it has no line end)");
  EXPECT_EQ(dialogs->Errors()[1].rfind(run.file("WBSCO080.OUT") + ", line ", 0), 0u);
  // The table of segment 80 (chosen first): TWAEC28 left empty.
  qt::TStringGrid* grid = time.StrGridExpConc();
  EXPECT_EQ(grid->Cell(2, 3), "1.564");
  EXPECT_EQ(grid->Cell(1, 4), "");
  EXPECT_EQ(grid->Cell(2, 4), "");
  // The top layer's curve of segment 80 ends with the last whole block.
  EXPECT_LT(time.SedimentGraph().Chart.Series[1].Points.size(), 61u);
  EXPECT_EQ(time.SedimentGraph().Chart.Series[0].Points.size(), 61u);

  // The concentration graph: lists 2 and 3 both start on segment 80; its
  // file is named once.
  dialogs->Clear();
  TConcentrationGraphForm conc(nullptr, run.str());
  conc.show();
  Settle();
  ASSERT_EQ(dialogs->Errors().size(), 1u);
  EXPECT_EQ(dialogs->Errors()[0].rfind(run.file("WBSCO080.OUT") + ", line ", 0), 0u);
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
  ASSERT_EQ(dialogs->Errors().size(), 3u);
  EXPECT_EQ(dialogs->Errors()[0], run.file("WLSOCO.OUT") + ": the file is empty");
  EXPECT_EQ(dialogs->Errors()[1].rfind(run.file("EC080.OUT") + ", line ", 0), 0u);  // still cut
  EXPECT_EQ(dialogs->Errors()[2].rfind(run.file("WBSCO080.OUT") + ", line ", 0), 0u);
  for (const fe::TSeries& s : empty.WaterLayerGraph().Chart.Series) EXPECT_TRUE(s.Points.empty());
  EXPECT_EQ(empty.StrGridExpConc()->Cell(2, 1), "4.304");  // segment 80's table all the same
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
