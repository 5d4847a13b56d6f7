// The concentration graph, the concentration in time with its exposure
// table, and the distribution graph, driven as a user drives them: on the
// example's golden run, on copies that lack a file or hold a short one, on
// a run with buffer segments and on a year with output every half day.
// Charts are checked on their model; screens and printed pages must carry
// ink where the charts are.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "common/GoldenRuns.h"
#include "common/SeriesTitles.h"
#include "common/TempDir.h"
#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/StringGrid.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/ConcentrationGraph.h"
#include "frontend/viewer/windows/ConcentrationTimeGraph.h"
#include "frontend/viewer/windows/DistributionGraph.h"
#include "frontend/viewer/windows/GraphForm.h"
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
using fe::TChart;
using fe::TSeries;

const std::string kExample = GoldenRunDir("example");

std::vector<std::string> Items(QComboBox* list) {
  std::vector<std::string> out;
  for (int i = 0; i < list->count(); ++i) out.push_back(list->itemText(i).toStdString());
  return out;
}

// A copy of the example's run without the files named.
void CopyExample(const TempDir& run, const std::vector<std::string>& without = {}) {
  CopyGoldenRun("example", run.path(), without);
}

using ConcentrationWindows = ViewerWindowsFixture;

// ---- concentration graph ----

TEST_F(ConcentrationWindows, ConcentrationGraphOfTheExample) {
  TConcentrationGraphForm form(nullptr, kExample);
  form.show();
  Settle();
  ASSERT_FALSE(form.ReadFailed());
  EXPECT_TRUE(dialogs->Errors().empty());
  EXPECT_EQ(form.windowTitle(), "Concentration of pesticide in waterbody");

  // Five of 61 output times: 1, 16, 31, 46, 61.
  const TChart& wl = form.WaterlayerGraph().Chart;
  const std::vector<std::string> times{"0.00 d", "7.50 d", "15.00 d", "22.50 d", "30.00 d"};
  ASSERT_EQ(wl.Series.size(), 5u);
  EXPECT_EQ(Titles(wl), times);
  EXPECT_EQ(form.NumberOfSeries, 5);
  EXPECT_EQ(form.SeriesTimesteps, (std::array<int, 5>{0, 1080, 2160, 3240, 4320}));
  for (const TSeries& s : wl.Series) ASSERT_EQ(s.Points.size(), 80u);
  EXPECT_EQ(wl.Series[1].Color, fe::colors::Blue);  // style row 2
  EXPECT_EQ(wl.AxisRange(fe::TAxisSide::Bottom), std::make_pair(0.0, 320.0));
  EXPECT_FALSE(wl.Bottom.Automatic);
  EXPECT_NEAR(wl.Left.Maximum, 1.1 * 4.304, 1e-12);
  EXPECT_EQ(Child<QCheckBox>(&form, "CheckBox5")->text(), "30.00 d");

  // Two selected subsystems: first, first, last.
  for (int j = 1; j <= 3; ++j)
    EXPECT_EQ(Items(form.ComboBox(j)), (std::vector<std::string>{"2.00 m", "318.00 m"}));
  EXPECT_EQ(form.ComboBox(1)->currentIndex(), 0);
  EXPECT_EQ(form.ComboBox(2)->currentIndex(), 0);
  EXPECT_EQ(form.ComboBox(3)->currentIndex(), 1);
  const TChart& sed1 = form.SedimentGraph(1).Chart;
  const TChart& sed3 = form.SedimentGraph(3).Chart;
  EXPECT_EQ(sed1.Title, "at 2.00 m in waterbody");
  EXPECT_EQ(sed3.Title, "at 318.00 m in waterbody");
  EXPECT_EQ(sed1.Left.Title, "Depth (m)");
  EXPECT_EQ(form.SedimentGraph(2).Chart.Left.Title, "");
  ASSERT_EQ(sed1.Series.size(), 5u);
  ASSERT_EQ(sed3.Series.size(), 5u);
  EXPECT_EQ(Titles(sed3), times);
  EXPECT_NEAR(sed3.Left.Minimum, -0.099, 1e-15);
  EXPECT_EQ(sed3.Series[1].Points.size(), 14u);

  // Another time for series 2: its curve and title change in all four
  // charts, the other series and the axes stay.
  const TSeries before3 = wl.Series[2];
  const double top = wl.Left.Maximum;
  OnModal<TFrmSelectTimestep>([](TFrmSelectTimestep* p) {
    ASSERT_EQ(p->List()->count(), 61);
    p->List()->setCurrentRow(2);
    Click(p, "BitBtnOK");
  });
  Click(&form, "BtnSelTime2");
  EXPECT_EQ(form.SeriesTimesteps[1], 144);
  EXPECT_EQ(wl.Series[1].Title, "1.00 d");
  EXPECT_EQ(Child<QCheckBox>(&form, "CheckBox2")->text(), "1.00 d");
  for (int j = 1; j <= 3; ++j) {
    ASSERT_EQ(form.SedimentGraph(j).Chart.Series.size(), 5u);
    EXPECT_EQ(form.SedimentGraph(j).Chart.Series[1].Title, "1.00 d");
  }
  ASSERT_EQ(sed3.Series[1].Points.size(), 14u);
  EXPECT_NEAR(sed3.Series[1].Points[0].X, 186.8, 1e-9);  // layer 1 at 318 m, 1 d
  EXPECT_EQ(wl.Series[2].Points[40].Y, before3.Points[40].Y);
  EXPECT_EQ(wl.Left.Maximum, top);
  // Cancelled: nothing changes.
  OnModal<TFrmSelectTimestep>([](TFrmSelectTimestep* p) { Click(p, "BitBtnCancel"); });
  Click(&form, "BtnSelTime2");
  EXPECT_EQ(wl.Series[1].Title, "1.00 d");

  // A time switched off in every chart; markers in every chart.
  Click(&form, "CheckBox3");
  for (const TChart* c : {&wl, &sed1, &sed3}) {
    EXPECT_FALSE(c->Series[2].Active);
    EXPECT_TRUE(c->Series[1].Active);
  }
  Click(&form, "ChckMarkers");
  for (const TChart* c : {&wl, &sed1, &sed3})
    for (const TSeries& s : c->Series) EXPECT_TRUE(s.Marker.Visible);

  // Another subsystem in list 1: read and drawn with the boxes' state.
  form.ComboBox(1)->setCurrentIndex(1);
  EXPECT_EQ(sed1.Title, "at 318.00 m in waterbody");
  ASSERT_EQ(sed1.Series.size(), 5u);
  ASSERT_EQ(sed1.Series[1].Points.size(), 14u);
  EXPECT_EQ(sed1.Series[1].Points[0].X, sed3.Series[1].Points[0].X);
  EXPECT_FALSE(sed1.Series[2].Active);
  EXPECT_TRUE(sed1.Series[0].Marker.Visible);

  // Profile 2 enlarged carries the depth title there only.
  OnModal<TGraphForm>([](TGraphForm* g) {
    EXPECT_EQ(g->windowTitle(), "Concentration of pesticide at 2.00 m");
    EXPECT_EQ(g->Chart1().Left.Title, "Depth (m)");
    EXPECT_TRUE(g->LblSediment()->isVisible());
    ASSERT_FALSE(g->Chart1().Series.empty());
    EXPECT_TRUE(g->Chart1().Series[0].Marker.Visible);
    Click(g, "BitBtnClose");
  });
  Click(&form, "SpeedButton4");
  EXPECT_EQ(form.SedimentGraph(2).Chart.Left.Title, "");
  EXPECT_TRUE(dialogs->Errors().empty());

  // On screen: the water layer's curves in their colours; the profiles drawn.
  const QImage shown = form.WaterlayerGraph().grab().toImage();
  EXPECT_TRUE(HasColour(shown, QColor(0, 0, 255)));
  EXPECT_GT(Inked(form.SedimentGraph(3).grab().toImage(), QRect(0, 0, 2000, 2000)), 2500);
}

TEST_F(ConcentrationWindows, ConcentrationGraphPrintsAllFourChartsOnAPage) {
  TConcentrationGraphForm form(nullptr, kExample);
  form.show();
  Settle();
  ScopedPrinter printer(std::make_unique<TImagePagePrinter>(QSize(1240, 1754)));
  Click(&form, "SpeedBtnPrint");
  EXPECT_EQ(dialogs->Infos(), std::vector<std::string>{"Chart is being printed."});
  const QImage& page = printer.Get<TImagePagePrinter>().Page();
  // Area 4, 129, 1232 x 1496: water layer 278 .. 801; profiles 303 wide from
  // y 951, 38 apart.
  EXPECT_GT(Inked(page, QRect(127, 278, 986, 524)), 8000);
  for (int j = 0; j < 3; ++j) EXPECT_GT(Inked(page, QRect(127 + j * 341, 951, 303, 524)), 2500);
  EXPECT_GT(Inked(page, QRect(127, 900, 200, 50)), 0);  // "Sediment"
  EXPECT_EQ(Inked(page, QRect(140, 806, 900, 40)), 0);  // between the rows

  TempDir dir;
  const std::string pdf = dir.file("conc.pdf");
  InstallPagePrinter(std::make_unique<TPdfPagePrinter>(pdf));
  Click(&form, "SpeedBtnPrint");
  EXPECT_EQ(readFile(pdf).substr(0, 5), "%PDF-");
  EXPECT_GT(fs::file_size(pdf), 20000u);
}

// A subsystem's sediment file is missing: its message, that list emptied
// and its chart empty, the others drawn.  A time the other file lacks
// leaves that curve out.
TEST_F(ConcentrationWindows, ConcentrationGraphWithASedimentFileMissingOrShort) {
  TempDir run;
  CopyExample(run, {"wbsco080.out", "wbsco001.out"});
  std::string text = readFile(kExample + "/wbsco001.out");
  const std::size_t from = text.find("\n   7.500    1");
  const std::size_t to = text.find("\n   8.000    1");
  text.erase(from, to - from);  // the block of step 1080
  run.write("wbsco001.out", text);

  TConcentrationGraphForm form(nullptr, run.str());
  form.show();
  Settle();
  EXPECT_FALSE(form.ReadFailed());
  EXPECT_EQ(dialogs->Errors(),
            std::vector<std::string>{"Cannot open file \"" + run.file("wbsco080.out") + "\""});
  EXPECT_EQ(form.ComboBox(3)->count(), 0);
  EXPECT_TRUE(form.SedimentGraph(3).Chart.Series.empty());
  EXPECT_EQ(form.SedimentGraph(3).Chart.Title, "");
  const TChart& sed1 = form.SedimentGraph(1).Chart;
  ASSERT_EQ(sed1.Series.size(), 5u);
  EXPECT_EQ(sed1.Series[0].Points.size(), 14u);
  EXPECT_TRUE(sed1.Series[1].Points.empty());  // 7.50 d is not in the file
  EXPECT_EQ(sed1.Series[2].Points.size(), 14u);
  ASSERT_EQ(form.WaterlayerGraph().Chart.Series.size(), 5u);
  EXPECT_EQ(form.WaterlayerGraph().Chart.Series[1].Points.size(), 80u);
  // Printing the page with an empty chart works.
  ScopedPrinter printer(std::make_unique<TImagePagePrinter>());
  Click(&form, "SpeedBtnPrint");
  EXPECT_EQ(dialogs.LastInfo(), "Chart is being printed.");
}

// ---- concentration in time ----

TEST_F(ConcentrationWindows, ConcentrationInTimeOfTheExample) {
  TConcentrationTimeGraphForm form(nullptr, kExample);
  form.show();
  Settle();
  ASSERT_FALSE(form.ReadFailed());
  EXPECT_TRUE(dialogs->Errors().empty());
  EXPECT_EQ(form.windowTitle(), "Concentration of pesticide in time");

  const TChart& wl = form.WaterLayerGraph().Chart;
  const TChart& sed = form.SedimentGraph().Chart;
  const std::vector<std::string> places{"2.00 m", "78.00 m", "158.00 m", "238.00 m", "318.00 m"};
  ASSERT_EQ(wl.Series.size(), 5u);
  EXPECT_EQ(Titles(wl), places);
  EXPECT_EQ(form.SeriesNode, (std::array<int, 5>{1, 20, 40, 60, 80}));
  for (const TSeries& s : wl.Series) ASSERT_EQ(s.Points.size(), 61u);
  ASSERT_EQ(sed.Series.size(), 2u);
  EXPECT_EQ(Titles(sed), (std::vector<std::string>{"2.00 m", "318.00 m"}));
  EXPECT_EQ(sed.Series[1].Points.size(), 61u);
  for (const TChart* c : {&wl, &sed}) {
    EXPECT_FALSE(c->Left.Automatic);
    EXPECT_NEAR(c->Left.Maximum, 1.1 * fe::ChartMaxY(*c), 1e-12);
    EXPECT_TRUE(c->Bottom.Automatic);
  }
  EXPECT_EQ(Child<QCheckBox>(&form, "CheckBox5")->text(), "318.00 m");
  EXPECT_TRUE(Child(&form, "BtnSelNode5")->isVisible());
  EXPECT_EQ(Child<QCheckBox>(&form, "CheckBox11")->text(), "318.00 m");
  EXPECT_TRUE(Child(&form, "CheckBox11")->isVisible());
  for (int k = 12; k <= 18; ++k) EXPECT_FALSE(Child(&form, QStringLiteral("CheckBox%1").arg(k))->isVisible());

  // The exposure table: the last subsystem's, then the first's.
  EXPECT_EQ(Items(form.CbbMaxConc()), (std::vector<std::string>{"2.00 m", "318.00 m"}));
  EXPECT_EQ(form.CbbMaxConc()->currentIndex(), 1);
  qt::TStringGrid* grid = form.StrGridExpConc();
  auto row = [grid](int r) { return std::vector<std::string>{grid->Cell(0, r), grid->Cell(1, r), grid->Cell(2, r)}; };
  EXPECT_EQ(row(0), (std::vector<std::string>{"", "t (d)", "conc. (µg/L)"}));
  EXPECT_EQ(row(1), (std::vector<std::string>{"EC0", "0", "4.304"}));
  EXPECT_EQ(row(4), (std::vector<std::string>{"TWAEC28", "28", "1.327"}));
  form.CbbMaxConc()->setCurrentIndex(0);
  EXPECT_EQ(row(1), (std::vector<std::string>{"EC0", "1.88", "1.173E-11"}));

  // Another segment for series 2; the value axis keeps its range.
  const double top = wl.Left.Maximum;
  OnModal<TFrmSelectNode>([](TFrmSelectNode* p) {
    ASSERT_EQ(p->List()->count(), 80);
    p->List()->setCurrentRow(5);
    Click(p, "BitBtnOK");
  });
  Click(&form, "BtnSelNode2");
  EXPECT_EQ(form.SeriesNode[1], 6);
  EXPECT_EQ(wl.Series[1].Title, "22.00 m");
  ASSERT_FALSE(wl.Series[1].Points.empty());
  EXPECT_NEAR(wl.Series[1].Points[0].Y, 4.304, 1e-12);
  EXPECT_EQ(Child<QCheckBox>(&form, "CheckBox2")->text(), "22.00 m");
  EXPECT_EQ(wl.Left.Maximum, top);
  OnModal<TFrmSelectNode>([](TFrmSelectNode* p) { Click(p, "BitBtnCancel"); });
  Click(&form, "BtnSelNode2");
  EXPECT_EQ(form.SeriesNode[1], 6);

  Click(&form, "CheckBox10");
  EXPECT_FALSE(sed.Series[0].Active);
  EXPECT_TRUE(wl.Series[0].Active);
  Click(&form, "CheckBox1");
  EXPECT_FALSE(wl.Series[0].Active);

  OnModal<TGraphForm>([](TGraphForm* g) {
    EXPECT_EQ(g->windowTitle(), "Concentration of pesticide in time");
    EXPECT_EQ(g->Chart1().Series.size(), 2u);
    Click(g, "BitBtnClose");
  });
  Click(&form, "SpeedButton3");
  EXPECT_TRUE(dialogs->Errors().empty());

  // Printed: both charts and the framed table above them.
  ScopedPrinter printer(std::make_unique<TImagePagePrinter>(QSize(1240, 1754)));
  Click(&form, "SpeedBtnPrint");
  EXPECT_EQ(dialogs.LastInfo(), "Chart is being printed.");
  const QImage& page = printer.Get<TImagePagePrinter>().Page();
  // Area 4, 129, 1232 x 1496: charts 524 high at y 389 and 988; the table
  // from (65, 191).
  EXPECT_GT(Inked(page, QRect(127, 389, 986, 524)), 6000);
  EXPECT_GT(Inked(page, QRect(127, 988, 986, 524)), 5000);
  EXPECT_GT(Inked(page, QRect(60, 185, 300, 190)), 1500);
  EXPECT_EQ(Inked(page, QRect(600, 185, 400, 150)), 0);  // beside the table
}

// An exposure file is missing: the window says which and closes with
// nothing drawn.
TEST_F(ConcentrationWindows, ConcentrationInTimeClosesWithoutAnExposureFile) {
  TempDir run;
  CopyExample(run, {"ec080.out"});
  TConcentrationTimeGraphForm form(nullptr, run.str());
  form.show();
  Settle();
  EXPECT_TRUE(form.ReadFailed());
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(dialogs->Errors(),
            std::vector<std::string>{"Cannot open file \"" + run.file("ec080.out") + "\""});
  EXPECT_TRUE(form.WaterLayerGraph().Chart.Series.empty());
  EXPECT_TRUE(form.SedimentGraph().Chart.Series.empty());
  EXPECT_EQ(form.CbbMaxConc()->count(), 0);

  // The same for a sediment file: read before anything is drawn.
  fs::copy_file(kExample + "/ec080.out", run.file("ec080.out"));
  fs::remove(run.file("wbsco001.out"));
  TConcentrationTimeGraphForm again(nullptr, run.str());
  again.show();
  Settle();
  EXPECT_TRUE(again.ReadFailed());
  EXPECT_EQ(dialogs.LastError(), "Cannot open file \"" + run.file("wbsco001.out") + "\"");
  EXPECT_TRUE(again.WaterLayerGraph().Chart.Series.empty());
}

// ---- distribution ----

TEST_F(ConcentrationWindows, DistributionOfTheExample) {
  TDistributionGraphForm form(nullptr, kExample);
  form.show();
  Settle();
  ASSERT_FALSE(form.ReadFailed());
  EXPECT_TRUE(dialogs->Errors().empty());
  EXPECT_EQ(form.windowTitle(), "Distribution of pesticide");

  const TChart& mass = form.MassGraph().Chart;
  for (const TSeries& s : mass.Series) ASSERT_EQ(s.Points.size(), 61u);
  EXPECT_NEAR(mass.Left.Maximum, 1.1 * 0.30002, 1e-12);

  // Lists: first, first, last; one value range for all three lineic charts.
  for (int g = 1; g <= 3; ++g)
    EXPECT_EQ(Items(form.ComboBox(g)), (std::vector<std::string>{"at 2.00 m", "at 318.00 m"}));
  EXPECT_EQ(form.ComboBox(2)->currentIndex(), 0);
  EXPECT_EQ(form.ComboBox(3)->currentIndex(), 1);
  EXPECT_EQ(form.LineicMassGraph(1).Chart.Title, "at 2.00 m");
  EXPECT_EQ(form.LineicMassGraph(3).Chart.Title, "at 318.00 m");
  EXPECT_EQ(form.LineicMassGraph(1).Chart.Left.Title, "Lineic mass (mg/m')");
  EXPECT_EQ(form.LineicMassGraph(2).Chart.Left.Title, "");
  EXPECT_NEAR(form.LineicMax[2], 0.99998, 1e-12);
  EXPECT_LT(form.LineicMax[0], 1e-6);
  for (int g = 1; g <= 3; ++g) {
    const TChart& c = form.LineicMassGraph(g).Chart;
    ASSERT_FALSE(c.Series.empty());
    ASSERT_EQ(c.Series[0].Points.size(), 61u);
    EXPECT_NEAR(c.Left.Maximum, 1.1 * 0.99998, 1e-12);
  }

  // Choosing 2 m in list 3 lowers the shared range; 318 m in list 1 raises it.
  form.ComboBox(3)->setCurrentIndex(0);
  EXPECT_LT(form.LineicMassGraph(1).Chart.Left.Maximum, 1e-5);
  form.ComboBox(1)->setCurrentIndex(1);
  EXPECT_NEAR(form.LineicMassGraph(2).Chart.Left.Maximum, 1.1 * 0.99998, 1e-12);
  EXPECT_EQ(form.LineicMassGraph(1).Chart.Title, "at 318.00 m");

  // Lineic chart 2 enlarged: the value-axis title there only, no series controls.
  OnModal<TGraphForm>([](TGraphForm* g) {
    EXPECT_EQ(g->windowTitle(), "Distribution of pesticide at 2.00 m");
    EXPECT_EQ(g->Chart1().Left.Title, "Lineic mass (mg/m')");
    EXPECT_TRUE(Child(g, "ChckSeries1")->isHidden());
    EXPECT_TRUE(Child(g, "ChckMarkers")->isHidden());
    Click(g, "BitBtnClose");
  });
  Click(&form, "SpeedButton4");
  EXPECT_EQ(form.LineicMassGraph(2).Chart.Left.Title, "");

  const QImage shown = form.MassGraph().grab().toImage();
  EXPECT_TRUE(HasColour(shown, QColor(0, 255, 255)));
  EXPECT_TRUE(HasColour(shown, QColor(128, 128, 128)));

  ScopedPrinter printer(std::make_unique<TImagePagePrinter>(QSize(1240, 1754)));
  Click(&form, "SpeedBtnPrint");
  EXPECT_EQ(dialogs.LastInfo(), "Chart is being printed.");
  const QImage& page = printer.Get<TImagePagePrinter>().Page();
  EXPECT_GT(Inked(page, QRect(127, 278, 986, 524)), 100000);  // the areas are filled
  EXPECT_GT(Inked(page, QRect(127, 951, 303, 524)), 20000);
}

// A segment file one row short: the lineic charts end one output time
// earlier, the water body's chart keeps every row.  A missing one closes
// the window.
TEST_F(ConcentrationWindows, DistributionWithAShortAndAMissingFile) {
  TempDir run;
  CopyExample(run, {"db080.out"});
  std::string text = readFile(kExample + "/db080.out");
  text.resize(text.rfind("  30.000"));
  run.write("db080.out", text);
  TDistributionGraphForm form(nullptr, run.str());
  form.show();
  Settle();
  EXPECT_TRUE(dialogs->Errors().empty());
  EXPECT_EQ(form.NumberOfTimes, 60);
  ASSERT_FALSE(form.MassGraph().Chart.Series.empty());
  EXPECT_EQ(form.MassGraph().Chart.Series[0].Points.size(), 61u);
  for (int g = 1; g <= 3; ++g) {
    ASSERT_FALSE(form.LineicMassGraph(g).Chart.Series.empty());
    ASSERT_EQ(form.LineicMassGraph(g).Chart.Series[0].Points.size(), 60u);
    EXPECT_EQ(form.LineicMassGraph(g).Chart.Series[0].Points.back().X, 29.5);
  }

  fs::remove(run.file("db001.out"));
  TDistributionGraphForm missing(nullptr, run.str());
  missing.show();
  Settle();
  EXPECT_TRUE(missing.ReadFailed());
  EXPECT_EQ(dialogs->Errors(),
            std::vector<std::string>{"Cannot open file \"" + run.file("db001.out") + "\""});
  ASSERT_FALSE(missing.MassGraph().Chart.Series.empty());
  EXPECT_TRUE(missing.MassGraph().Chart.Series[0].Points.empty());
}

// ---- other runs ----

// A run with buffer segments: the chart shows the water body's segments,
// and a subsystem on a buffer node (the kernel writes no files for it) is
// not offered.
TEST_F(ConcentrationWindows, RunWithBufferSegments) {
  const std::string run = GoldenRunDir("buffers");
  TConcentrationGraphForm conc(nullptr, run);
  conc.show();
  Settle();
  TConcentrationTimeGraphForm time(nullptr, run);
  time.show();
  Settle();
  TDistributionGraphForm dist(nullptr, run);
  dist.show();
  Settle();
  EXPECT_TRUE(dialogs->Errors().empty());
  EXPECT_FALSE(conc.ReadFailed() || time.ReadFailed() || dist.ReadFailed());

  ASSERT_FALSE(conc.WaterlayerGraph().Chart.Series.empty());
  EXPECT_EQ(conc.WaterlayerGraph().Chart.Series[0].Points.size(), 5u);
  EXPECT_EQ(Items(conc.ComboBox(1)), (std::vector<std::string>{"2.00 m", "18.00 m"}));
  ASSERT_EQ(time.WaterLayerGraph().Chart.Series.size(), 5u);
  EXPECT_EQ(Titles(time.WaterLayerGraph().Chart),
            (std::vector<std::string>{"2.00 m", "6.00 m", "10.00 m", "14.00 m", "18.00 m"}));
  // Behind the two buffer nodes: water-body segments 1 .. 5 are nodes 3 .. 7
  // of WLSOCO.OUT, here at 0.25 d (dissolved, µg/L).
  const std::vector<double> at025{7.975, 6.406, 2.727, 0.6648, 0.1020};
  for (std::size_t s = 0; s < at025.size(); ++s) {
    const fe::TChartPoint p = time.WaterLayerGraph().Chart.Series[s].Points.at(1);
    EXPECT_EQ(p.X, 0.25);
    EXPECT_NEAR(p.Y, at025[s], 1e-9) << "series " << s + 1;
  }
  OnModal<TFrmSelectNode>([](TFrmSelectNode* p) {
    p->List()->setCurrentRow(2);
    Click(p, "BitBtnOK");
  });
  Click(&time, "BtnSelNode1");  // segment 3, node 5
  EXPECT_NEAR(time.WaterLayerGraph().Chart.Series[0].Points.at(1).Y, 2.727, 1e-9);
  EXPECT_EQ(time.StrGridExpConc()->Cell(1, 1), "1.25");  // node 7's table
  EXPECT_EQ(time.StrGridExpConc()->Cell(2, 1), "5.29");
  EXPECT_EQ(Items(dist.ComboBox(3)), (std::vector<std::string>{"at 2.00 m", "at 18.00 m"}));
}

// A year with output every half day: 731 output times, written here the way
// the kernel writes its files, on the example's run cut to 5 segments of
// 64 m with subsystems under the first and the last.
void WriteLongRun(const TempDir& run) {
  std::string input = readFile(kExample + "/input.out");
  auto replace = [&input](const std::string& from, const std::string& to) {
    const std::size_t at = input.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    input.replace(at, from.size(), to);
  };
  replace("\n 1 80\n", "\n 1 5\n");
  replace("\n 80 0 0\n", "\n 5 0 0\n");
  const std::size_t lengths = input.find(" 4.0 4.0");
  replace(input.substr(lengths, input.find('\n', lengths) - lengths), " 64.0 64.0 64.0 64.0 64.0");
  run.write("input.out", input);
  const int times = 731;
  char line[200];
  auto conc = [](int t, int s) { return 0.005 * std::exp(-t / 300.0) * s / 5.0; };
  std::string wl = "\n * water layer\n";
  for (int t = 0; t < times; ++t)
    for (int s = 1; s <= 5; ++s) {
      std::snprintf(line, sizeof line,
                    "%8.3f %4d %10.3f %13.4E %13.4E %13.4E %13.4E %9.2f %7.2f %7.2f %7.2f %7d\n",
                    t * 0.5, s, 64.0 * s - 32, conc(t, s), conc(t, s), 0.0, 0.0, 100.0, 90.0, 0.0,
                    10.0, t * 72);
      wl += line;
    }
  run.write("wlsoco.out", wl);
  for (int node : {1, 5}) {
    std::string wb = "\n * sediment\n";
    std::string ec = "\n * exposure\n";
    std::string db = "\n * distribution\n";
    for (int t = 0; t < times; ++t) {
      for (int k = 1; k <= 14; ++k) {
        std::snprintf(line, sizeof line, "%8.3f %4d %7.4f %13.4E %13.4E %13.4E %9.2f %7.2f %7.2f %7d\n",
                      t * 0.5, k, 0.001 * k, conc(t, node) * 10 / k, 0.0, 0.0, 100.0, 1.0, 99.0, t * 72);
        wb += line;
      }
      std::snprintf(line, sizeof line, "%8.3f  top %7.4f %13.4E %13.4E %13.4E %9.2f %7.2f %7.2f %7d\n",
                    t * 0.5, 0.009, conc(t, node) * 5, 0.0, 0.0, 100.0, 1.0, 99.0, t * 72);
      wb += line;
      std::snprintf(line, sizeof line, "%8.3f %12.3E %11s %11s %11s %11.3E %10d\n", t * 0.5,
                    conc(t, node), "-", "-", "-", 0.0, t * 72);
      ec += line;
      std::snprintf(line, sizeof line,
                    "%8.3f %11.4E %11.4E %11.4E %11.4E %11.4E %11.4E %11.4E %9.2f %9.2f %7d\n",
                    t * 0.5, 0.001, 0.0009, 0.0, 0.0001, 0.0005, 0.00001, 0.00049, 66.7, 33.3,
                    t * 72);
      db += line;
    }
    ec += " *\n              0            0.00    0.5000E-02\n              4            4.00    0.4000E-02\n"
          "             21           21.00    0.3000E-02\n             28           28.00    0.2000E-02\n";
    char name[20];
    std::snprintf(name, sizeof name, "wbsco%03d.out", node);
    run.write(name, wb);
    std::snprintf(name, sizeof name, "ec%03d.out", node);
    run.write(name, ec);
    std::snprintf(name, sizeof name, "db%03d.out", node);
    run.write(name, db);
    if (node == 5) run.write("dbdit.out", db);
  }
}

TEST_F(ConcentrationWindows, AYearOfHalfDaysOpensEveryWindow) {
  TempDir run;
  WriteLongRun(run);
  TConcentrationGraphForm conc(nullptr, run.str());
  conc.show();
  Settle();
  TConcentrationTimeGraphForm time(nullptr, run.str());
  time.show();
  Settle();
  TDistributionGraphForm dist(nullptr, run.str());
  dist.show();
  Settle();
  EXPECT_TRUE(dialogs->Errors().empty());
  EXPECT_FALSE(conc.ReadFailed() || time.ReadFailed() || dist.ReadFailed());

  EXPECT_EQ(conc.WaterLayerConc.NumberOfTimesteps(), 731);
  EXPECT_EQ(Titles(conc.WaterlayerGraph().Chart),
            (std::vector<std::string>{"0.00 d", "91.00 d", "182.50 d", "273.50 d", "365.00 d"}));
  EXPECT_EQ(conc.SedimentGraph(3).Chart.Title, "at 288.00 m in waterbody");
  ASSERT_EQ(conc.SedimentGraph(3).Chart.Series.size(), 5u);
  EXPECT_EQ(conc.SedimentGraph(3).Chart.Series[4].Points.size(), 14u);
  for (const TSeries& s : time.WaterLayerGraph().Chart.Series) EXPECT_EQ(s.Points.size(), 731u);
  ASSERT_EQ(time.SedimentGraph().Chart.Series.size(), 2u);
  ASSERT_FALSE(time.SedimentGraph().Chart.Series[1].Points.empty());
  EXPECT_EQ(time.SedimentGraph().Chart.Series[1].Points.back().X, 365);
  EXPECT_EQ(time.StrGridExpConc()->Cell(2, 4), "2");
  EXPECT_EQ(time.StrGridExpConc()->Cell(1, 1), "0");
  EXPECT_EQ(dist.NumberOfTimes, 731);
  ASSERT_FALSE(dist.LineicMassGraph(1).Chart.Series.empty());
  EXPECT_EQ(dist.LineicMassGraph(1).Chart.Series[0].Points.size(), 731u);
  ASSERT_FALSE(dist.MassGraph().Chart.Series.empty());
  ASSERT_FALSE(dist.MassGraph().Chart.Series[0].Points.empty());
  EXPECT_EQ(dist.MassGraph().Chart.Series[0].Points.back().X, 365);
}

}  // namespace
}  // namespace kirmel::test
