// The comparison dialogs driven as a user drives them, opened as the graph
// windows' "Compare" buttons open them: runs chosen in the runs' folder,
// times and places from the pick lists, measured data from a file, the
// messages, and the chart window with its bitmap and printing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "common/GoldenRuns.h"
#include "common/TempDir.h"
#include "frontend/plot/ChartPlot.h"
#include "frontend/viewer/windows/AxisOptions.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/Compare.h"
#include "frontend/viewer/windows/CompareConc.h"
#include "frontend/viewer/windows/CompareConcTime.h"
#include "frontend/viewer/windows/CompareGraph.h"
#include "frontend/viewer/windows/ConcentrationGraph.h"
#include "frontend/viewer/windows/ConcentrationTimeGraph.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "frontend/viewer/windows/PickLists.h"
#include "qtcommon/Images.h"
#include "qtcommon/OnModal.h"
#include "qtcommon/ScriptedDialogsFixture.h"
#include "qtcommon/ViewerWindowsFixture.h"
#include "qtcommon/Widgets.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using namespace kirmel::viewer;

const std::string CR = "\r";

std::string Text(QWidget* w, const QString& name) {
  return Child<QLineEdit>(w, name)->text().toStdString();
}
bool Enabled(QWidget* w, const QString& name) { return Child(w, name)->isEnabled(); }

// The chart as it is on screen once its queued redraw has run.
QImage Shown(TFrmCompareGraph* g) {
  Settle();
  return g->CompareChartPanel()->grab().toImage();
}

// A pixel of `colour`, or of a shade of it that smoothing gave a thin line.
bool HasColourOrShade(const QImage& image, QColor colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c == colour) return true;
      if (c == QColor(Qt::white)) continue;
      // Blended with white: each channel lies on the line from the colour to 255.
      const double t = (255.0 - c.redF() * 255) / (255.0 - colour.red() + 1e-9);
      auto on = [&](double channel, int target) {
        return std::abs(channel * 255 - (255 - t * (255 - target))) < 6;
      };
      if (t > 0.6 && on(c.redF(), colour.red()) && on(c.greenF(), colour.green()) &&
          on(c.blueF(), colour.blue()))
        return true;
    }
  return false;
}

// Picks line `line` (1-based) of the next pick list of type T.
template <class T>
void PickLine(int line) {
  OnModal<T>([line](T* p) {
    auto* list = p->List();
    ASSERT_GE(list->count(), line);
    emit list->itemDoubleClicked(list->item(line - 1));
  });
}

// A root of its own for each test, with golden runs copied into its RUNS.
class CompareWindows : public ViewerWindowsFixture {
 protected:
  CompareWindows() {
    if (const char* r = std::getenv("KIRMEL_ROOT")) oldRoot_ = r;
    setenv("KIRMEL_ROOT", root.str().c_str(), 1);
  }
  ~CompareWindows() override { setenv("KIRMEL_ROOT", oldRoot_.c_str(), 1); }
  std::string AddRun(const std::string& golden, const std::string& name) {
    const fs::path dir = root.path() / "RUNS" / name;
    CopyGoldenRun(golden, dir);
    return dir.string();
  }

  TempDir root;

 private:
  std::string oldRoot_;
};

TEST_F(CompareWindows, TwoRunsAtOneTimeFromChoiceToPrintedChart) {
  const std::string example = AddRun("example", "NLStandard_sp+Cpf");
  const std::string copy = AddRun("example", "Copy+Cpf");
  const std::string broken = AddRun("example", "Broken+Cpf");
  fs::remove(broken + "/input.out");
  // A run whose water-layer file ends whole after its first output time.
  const std::string stopped = AddRun("example", "Stopped+Cpf");
  const std::string wl = readFile(stopped + "/wlsoco.out");
  root.write("RUNS/Stopped+Cpf/wlsoco.out", wl.substr(0, wl.find("   0.500    1")));
  TempDir out;
  bool charted = false;

  OnModal<TFrmCompareConc>([&](TFrmCompareConc* d) {
    EXPECT_EQ(d->windowTitle(), "Compare concentration of pesticide in waterbody");
    // Run 1 is the run of the graph window, at its first output time.
    EXPECT_EQ(Text(d, "EdtNameRun1"), "NLStandard_sp+Cpf");
    EXPECT_EQ(Text(d, "EdtTimeRun1"), "0.00 d");
    // Nothing chosen under "Compare:": every box is off.
    for (const char* box : {"GrpBoxRun1", "GrpBoxRun2", "GrpBoxMeasured"})
      EXPECT_FALSE(Enabled(d, box)) << box;
    Click(d, "BitBtnView");
    EXPECT_EQ(dialogs.LastError(), "You must first select a type of comparison");

    Click(d, "RadioGroupTypeItem0");  // "Two runs"
    EXPECT_TRUE(Enabled(d, "GrpBoxRun1"));
    EXPECT_TRUE(Enabled(d, "GrpBoxRun2"));
    EXPECT_FALSE(Enabled(d, "GrpBoxMeasured"));
    EXPECT_TRUE(Enabled(d, "BtnChangeTimeRun1"));
    EXPECT_FALSE(Enabled(d, "BtnChangeTimeRun2"));
    EXPECT_FALSE(Enabled(d, "EdtNodeRun1"));  // the water layer has no node

    // Run 2: first outside the runs' folder, then with a trailing separator.
    dialogs->AnswerFolder(out.str());
    Click(d, "BtnChangeNameRun2");
    const auto& records = dialogs->Records();
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records[records.size() - 2].Kind, qt::TDialogKind::FolderBrowser);
    EXPECT_EQ(records[records.size() - 2].Text, root.str() + "/RUNS");  // where it opened
    EXPECT_EQ(dialogs.LastError(),
              "This is not a valid run." + CR + "Valid runs are in the directory " + root.str() +
                  "/RUNS." + CR + "Select a run from this directory.");
    EXPECT_EQ(Text(d, "EdtNameRun2"), "");
    dialogs->AnswerFolder(copy + "/");
    Click(d, "BtnChangeNameRun2");
    EXPECT_EQ(Text(d, "EdtNameRun2"), "Copy+Cpf");
    EXPECT_EQ(Text(d, "EdtTimeRun2"), "0.00 d");
    EXPECT_TRUE(Enabled(d, "BtnChangeTimeRun2"));

    // Another time for run 1 from its pick list.
    PickLine<TFrmSelectTimestep>(16);
    Click(d, "BtnChangeTimeRun1");
    EXPECT_EQ(Text(d, "EdtTimeRun1"), "7.50 d");

    // A run that cannot be read says why and leaves run 2 as it was.
    const std::size_t errors = dialogs->Errors().size();
    dialogs->AnswerFolder(broken);
    Click(d, "BtnChangeNameRun2");
    ASSERT_EQ(dialogs->Errors().size(), errors + 1);
    EXPECT_EQ(dialogs.LastError(), "Cannot open file \"" + broken +
                                       "/input.out\": the graphs need this echo of the input." + CR +
                                       "KIRMEL writes it only when \"Echo of input\" is on (the "
                                       "scenario's Output page; op_input = 1 in OPOUT.INP).");
    EXPECT_EQ(Text(d, "EdtNameRun2"), "Copy+Cpf");
    EXPECT_EQ(Text(d, "EdtTimeRun2"), "0.00 d");

    // A run whose files end short is taken, and said so as information.
    dialogs->AnswerFolder(stopped);
    Click(d, "BtnChangeNameRun2");
    EXPECT_EQ(Text(d, "EdtNameRun2"), "Stopped+Cpf");
    EXPECT_EQ(dialogs->Errors().size(), errors + 1);
    EXPECT_EQ(dialogs.LastInfo(), "The output files of this run (\"" + stopped +
                                      "\") end at 0.00 d; it was set to simulate 30.00 d." + CR +
                                      "See the messages in \"" + stopped + "/message.out\"." + CR +
                                      "The graphs show the output times written.");
    dialogs->AnswerFolder(copy);
    Click(d, "BtnChangeNameRun2");

    OnModal<TFrmCompareGraph>([&](TFrmCompareGraph* g) {
      charted = true;
      EXPECT_EQ(g->windowTitle(), "Comparison");
      EXPECT_EQ(g->parentWidget(), d);
      EXPECT_EQ(g->GraphTitle, "Concentration of pesticide in waterbody");
      ASSERT_EQ(g->CompareChart().Series.size(), 2u);
      EXPECT_EQ(g->CompareChart().Series[0].Title, "NLStandard_sp+Cpf  7.50 d");

      // What is on screen: both runs, black and blue.
      const QImage shown = Shown(g);
      EXPECT_GT(Inked(shown, shown.rect()), shown.width() * shown.height() / 50);
      EXPECT_TRUE(HasColourOrShade(shown, QColor(0, 0, 255)));

      const std::string bmp = out.file("compare.bmp");
      dialogs->AnswerSaveFile(bmp);
      Click(g, "BitBtnSave");
      EXPECT_EQ(dialogs.LastInfo(), "Bitmap saved to \"" + bmp + "\"");
      QImage back;
      ASSERT_TRUE(back.load(QString::fromStdString(bmp), "BMP"));
      EXPECT_EQ(back.size(), g->CompareChartPanel()->Plot()->size());

      // Printed to a PDF.
      {
        const std::string pdf = out.file("compare.pdf");
        std::unique_ptr<TPagePrinter> old = InstallPagePrinter(std::make_unique<TPdfPagePrinter>(pdf));
        Click(g, "BitBtnPrint");
        InstallPagePrinter(std::move(old));
        EXPECT_EQ(dialogs.LastInfo(), "Chart is being printed.");
        EXPECT_EQ(readFile(pdf).substr(0, 5), "%PDF-");
        EXPECT_GT(fs::file_size(pdf), 10000u);
      }
      Click(g, "BitBtnClose");
    });
    Click(d, "BitBtnView");
    ASSERT_TRUE(charted);
    Click(d, "BitBtnClose");
  });
  OpenCompareConc(nullptr, "Concentration of pesticide in waterbody", kCompareWaterLayer, example, 0);
  EXPECT_TRUE(charted);
}

TEST_F(CompareWindows, InTimeAgainstMeasuredPeriods) {
  const std::string example = AddRun("example", "example");
  const std::string file = root.write("periods.dat",
                                      "0 1 10  0.002 0.0002\n"
                                      "0 1 100 0.004 0.0004\n"
                                      "2 3 10  0.001 0.0001\n"
                                      "2 3 100 0.003 0.0003\n");
  bool charted = false;
  OnModal<TFrmCompareConcTime>([&](TFrmCompareConcTime* d) {
    EXPECT_EQ(d->windowTitle(), "Compare concentration of pesticide in time");
    EXPECT_EQ(Text(d, "EdtNameRun1"), "example");
    EXPECT_EQ(Text(d, "EdtNodeRun1"), "2.00 m");
    EXPECT_EQ(d->findChild<QWidget*>("EdtTimeRun1"), nullptr);  // no time row in time
    Click(d, "RadioGroupTypeItem1");
    dialogs->AnswerOpenFile(file);
    Click(d, "BtnChangeFilename");
    EXPECT_EQ(Text(d, "EdtDistance"), "10.00 m");
    EXPECT_TRUE(Enabled(d, "BtnChangeDistance"));
    EXPECT_FALSE(Enabled(d, "BtnChangeDepthLayer"));
    PickLine<TFrmSelectNode>(2);
    Click(d, "BtnChangeDistance");
    EXPECT_EQ(Text(d, "EdtDistance"), "100.00 m");
    PickLine<TFrmSelectNode>(80);
    Click(d, "BtnChangeNodeRun1");
    EXPECT_EQ(Text(d, "EdtNodeRun1"), "318.00 m");
    Click(d, "ChckStandDevs");

    OnModal<TFrmCompareGraph>([&](TFrmCompareGraph* g) {
      charted = true;
      EXPECT_EQ(g->GraphTitle, "Concentration of pesticide in time");
      const fe::TChart& chart = g->CompareChart();
      ASSERT_EQ(chart.Series.size(), 3u);  // step line, deviations, run
      EXPECT_EQ(chart.Series[0].Title, "Measured  100.00 m");
      EXPECT_EQ(chart.Series[2].Title, "example  318.00 m");
      // The axis dialog works on the chart window's chart.
      OnModal<TFrmAxisOptions>([](TFrmAxisOptions* a) {
        auto* end = a->findChild<QLineEdit*>("EdtXAxisEnd");
        ASSERT_NE(end, nullptr);
        end->setText("10");
        Click(a, "BitBtnOK");
      });
      Click(g, "BtnAxisOptions");
      EXPECT_EQ(g->CompareChart().AxisRange(fe::TAxisSide::Bottom), std::make_pair(0.0, 10.0));
      const QImage shown = Shown(g);
      EXPECT_TRUE(HasColourOrShade(shown, QColor(0, 128, 128)));
      Click(g, "BitBtnClose");
    });
    Click(d, "BitBtnView");
    Click(d, "BitBtnClose");
  });
  OpenCompareConcTime(nullptr, "Concentration of pesticide in time", kCompareWaterLayer, example);
  EXPECT_TRUE(charted);
  EXPECT_TRUE(dialogs->Errors().empty());

  // A graph type the dialog does not know builds nothing and says nothing.
  TFrmCompareConcTime other(nullptr, "Concentration of pesticide in time", 300, example);
  other.show();
  const std::size_t records = dialogs->Records().size();
  Click(&other, "RadioGroupTypeItem0");
  Click(&other, "BitBtnView");
  EXPECT_EQ(dialogs->Records().size(), records);
}

// The graph windows' "Compare" buttons open the dialogs on their run, the
// sediment comparison at the subsystem of the third profile.
TEST_F(CompareWindows, GraphWindowsOpenTheComparisonsOnTheirRun) {
  const std::string example = AddRun("example", "example");
  TConcentrationGraphForm conc(nullptr, example);
  conc.show();
  QApplication::processEvents();
  std::string node;
  OnModal<TFrmCompareConc>([&](TFrmCompareConc* d) {
    EXPECT_EQ(d->parentWidget(), &conc);
    EXPECT_EQ(d->Comparison().GraphType(), kCompareSediment);
    EXPECT_EQ(d->Comparison().GraphTitle, "Concentration of pesticide in waterbody");
    node = Text(d, "EdtNodeRun1");
    Click(d, "BitBtnClose");
  });
  Click(&conc, "BtnCompare2");
  EXPECT_EQ(node, "318.00 m");

  TConcentrationTimeGraphForm time(nullptr, example);
  time.show();
  QApplication::processEvents();
  OnModal<TFrmCompareConcTime>([&](TFrmCompareConcTime* d) {
    EXPECT_EQ(d->Comparison().GraphType(), kCompareWaterLayer);
    EXPECT_EQ(d->Comparison().GraphTitle, "Concentration of pesticide in time");
    node = Text(d, "EdtNodeRun1");
    Click(d, "BitBtnClose");
  });
  Click(&time, "BtnCompare1");
  EXPECT_EQ(node, "2.00 m");
  EXPECT_TRUE(dialogs->Errors().empty());
}

}  // namespace
}  // namespace kirmel::test
