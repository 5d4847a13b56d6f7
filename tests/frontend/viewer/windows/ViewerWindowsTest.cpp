// The results viewer's windows driven as a user drives them: the graph menu,
// the two mass-balance windows on the example's golden run, the enlarged
// graph window with its axis dialog, table, bitmap and printing, and the
// pick lists.  Charts are checked on their model; renders and printed pages
// must carry ink where the charts are.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/GoldenRuns.h"
#include "common/SeriesTitles.h"
#include "common/TempDir.h"
#include "frontend/model/Numbers.h"
#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/TableForm.h"
#include "frontend/qt/WindowFit.h"
#include "frontend/viewer/windows/AxisOptions.h"
#include "frontend/viewer/windows/ChartPanel.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/GraphForm.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "frontend/viewer/windows/MassBalanceForms.h"
#include "frontend/viewer/windows/PickLists.h"
#include "frontend/viewer/windows/SeriesStyle.h"
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

// A printer for the tests: no printer at all.
class TNoPrinter : public TPagePrinter {
 public:
  bool Installed() override { return false; }
  QPaintDevice* BeginDocument(const std::string&) override { return nullptr; }
  bool EndDocument() override { return false; }
};

using ViewerWindows = ViewerWindowsFixture;

// ---- mass-balance windows ----

TEST_F(ViewerWindows, WaterLayerMassBalanceOfTheExample) {
  TMassBalanceWLGraphForm form(nullptr, kExample + "/");
  form.show();
  Settle();
  ASSERT_FALSE(form.ReadFailed());
  EXPECT_TRUE(dialogs->Errors().empty());
  EXPECT_EQ(form.windowTitle(), "Mass balance of pesticide in water layer");
  const TChart& pos = form.Positive().Chart;
  const TChart& neg = form.Negative().Chart;
  EXPECT_EQ(form.Positive().objectName(), "WLGraphPositive");
  EXPECT_EQ(pos.Title, "Positive terms");
  EXPECT_EQ(neg.Title, "Negative terms");
  EXPECT_EQ(neg.Left.Title, "Mass (mg)    ");
  EXPECT_EQ(neg.Bottom.Title, "Time (d)");
  // Drawn largest first, so the larger sums lie beneath.
  ASSERT_EQ(pos.Series.size(), 3u);
  ASSERT_EQ(neg.Series.size(), 4u);
  EXPECT_EQ(Titles(pos), (std::vector<std::string>{"Loadings", "From sediment", "Remaining"}));
  EXPECT_EQ(Titles(neg), (std::vector<std::string>{"Volatilized", "Transformed", "Flowed out",
                                                   "To sediment"}));
  EXPECT_EQ(pos.Series[0].Kind, fe::TSeriesKind::Area);
  EXPECT_EQ(pos.Series[0].Color, fe::colors::Fuchsia);
  EXPECT_EQ(pos.Series[2].Kind, fe::TSeriesKind::Line);
  EXPECT_EQ(neg.Series[2].Color, fe::colors::Aqua);
  for (const TChart* c : {&pos, &neg})
    for (const TSeries& s : c->Series) {
      ASSERT_EQ(s.Points.size(), 61u) << s.Title;
      EXPECT_FALSE(s.Marker.Visible);
    }

  // The row of t = 0.5 d, in mg; the losses drawn positive and stacked.
  auto at = [](const TChart& c, int series) { return c.Series[series].Points[1]; };
  EXPECT_EQ(at(pos, 0).X, 0.5);
  EXPECT_NEAR(at(pos, 0).Y, 300, 1e-9);     // loadings
  EXPECT_NEAR(at(pos, 1).Y, 0, 1e-9);       // from sediment
  EXPECT_NEAR(at(pos, 2).Y, 266.2, 1e-9);   // remaining
  EXPECT_NEAR(at(neg, 3).Y, 21.61, 1e-9);   // to sediment
  EXPECT_NEAR(at(neg, 2).Y, 21.61 + 4.753, 1e-9);
  EXPECT_NEAR(at(neg, 1).Y, 21.61 + 4.753 + 0.5863, 1e-9);
  EXPECT_NEAR(at(neg, 0).Y, 33.80, 0.005);  // the whole stack

  // One value axis for both: 0 .. 1.1 x the larger maximum; time automatic.
  const double max = std::max(fe::ChartMaxY(pos), fe::ChartMaxY(neg));
  EXPECT_GT(fe::ChartMaxY(pos), fe::ChartMaxY(neg));
  for (const TChart* c : {&pos, &neg}) {
    EXPECT_FALSE(c->Left.Automatic);
    EXPECT_EQ(c->AxisRange(fe::TAxisSide::Left), std::make_pair(0.0, 1.1 * max));
    EXPECT_TRUE(c->Bottom.Automatic);
    EXPECT_EQ(c->AxisRange(fe::TAxisSide::Bottom), std::make_pair(0.0, 30.0));
  }

  // What is on screen: both charts drawn, with their colours.
  const QImage upper = form.Positive().grab().toImage();
  const QImage lower = form.Negative().grab().toImage();
  EXPECT_GT(Inked(upper, upper.rect()), upper.width() * upper.height() / 5);
  EXPECT_TRUE(HasColour(upper, QColor(255, 0, 255)));
  EXPECT_TRUE(HasColour(lower, QColor(128, 128, 128)));
  EXPECT_TRUE(HasColour(lower, QColor(128, 0, 0)));
  // The time axes line up, though the legends differ in width.
  for (double day : {0.0, 30.0})
    EXPECT_EQ(form.Positive().Plot()->xAxis->coordToPixel(day),
              form.Negative().Plot()->xAxis->coordToPixel(day));
}

TEST_F(ViewerWindows, SedimentMassBalanceOfTheExample) {
  TMassBalanceSedGraphForm form(nullptr, kExample);
  form.show();
  Settle();
  ASSERT_FALSE(form.ReadFailed());
  EXPECT_EQ(form.windowTitle(), "Mass balance of pesticide in sediment");
  const TChart& pos = form.Positive().Chart;
  const TChart& neg = form.Negative().Chart;
  ASSERT_EQ(pos.Series.size(), 3u);
  ASSERT_EQ(neg.Series.size(), 3u);
  for (const TChart* c : {&pos, &neg})
    for (const TSeries& s : c->Series) ASSERT_EQ(s.Points.size(), 61u) << s.Title;
  EXPECT_EQ(Titles(pos), (std::vector<std::string>{"From water layer", "Upward seepage", "Remaining"}));
  EXPECT_EQ(Titles(neg), (std::vector<std::string>{"To water layer", "Transformed", "Downw. seepage"}));
  // t = 0.5 d: 21.61 mg came from the water layer, 21.59 mg remain (the
  // initial mass, 0, added), 0.01717 mg were transformed.
  EXPECT_NEAR(pos.Series[0].Points[1].Y, 21.61, 1e-9);
  EXPECT_NEAR(pos.Series[2].Points[1].Y, 21.59, 1e-9);
  EXPECT_NEAR(neg.Series[1].Points[1].Y, 0.01717, 1e-12);
  // t = 30 d: to the water layer 27.61 mg on top of 8.493 mg transformed.
  EXPECT_NEAR(neg.Series[0].Points.back().Y, 27.61 + 8.493, 1e-9);
  // The shared axis comes from the upper chart's largest value, 115.5 mg.
  EXPECT_NEAR(fe::ChartMaxY(pos), 115.5, 1e-9);
  for (const TChart* c : {&pos, &neg}) {
    EXPECT_FALSE(c->Left.Automatic);
    EXPECT_EQ(c->Left.Minimum, 0);
    EXPECT_NEAR(c->Left.Maximum, 1.1 * 115.5, 1e-9);
  }
  const QImage lower = form.Negative().grab().toImage();
  EXPECT_TRUE(HasColour(lower, QColor(0, 255, 255)));
  EXPECT_TRUE(HasColour(lower, QColor(0, 128, 0)));
}

TEST_F(ViewerWindows, FileCutShortKeepsTheRowsBefore) {
  // A run that stopped early, its last sediment line cut mid-way.
  TempDir run;
  std::string text = readFile(kExample + "/wbmball.out");
  text.resize(text.rfind("  -.8493E-02"));
  run.write("wbmball.out", text);
  TMassBalanceSedGraphForm form(nullptr, run.str());
  form.show();
  Settle();
  EXPECT_FALSE(form.ReadFailed());
  EXPECT_TRUE(form.isVisible());
  ASSERT_EQ(dialogs->Errors().size(), 1u);
  const std::string error = dialogs->Errors()[0];
  EXPECT_EQ(error.rfind(run.file("wbmball.out") + ", line 73: ", 0), 0u) << error;
  ASSERT_FALSE(form.Positive().Chart.Series.empty());
  ASSERT_EQ(form.Positive().Chart.Series[0].Points.size(), 60u);
  EXPECT_EQ(form.Positive().Chart.Series[0].Points.back().X, 29.5);

  // A run that stopped before its first output: headers only, nothing drawn,
  // and the file named where it stopped.
  const std::string header = readFile(kExample + "/wlmb.out");
  run.write("wlmb.out", header.substr(0, header.find("   0.000")));
  TMassBalanceWLGraphForm empty(nullptr, run.str());
  empty.show();
  Settle();
  EXPECT_TRUE(empty.isVisible());
  ASSERT_EQ(dialogs->Errors().size(), 2u);
  EXPECT_EQ(dialogs->Errors()[1],
            run.file("wlmb.out") + ", line 10: the file ends before its first output time");
  for (const TSeries& s : empty.Negative().Chart.Series) EXPECT_TRUE(s.Points.empty());
  EXPECT_EQ(empty.Negative().Chart.Left.Maximum, 0);
  // Both charts are still drawn, with their titles, axes and legends: more
  // than a plot that was never given its chart shows.
  for (TChartPanel* panel : {&empty.Positive(), &empty.Negative()}) {
    const QImage drawn = panel->Plot()->grab().toImage();
    fe::ChartPlot blank;
    blank.resize(panel->Plot()->size());
    const QImage none = blank.grab().toImage();
    EXPECT_GT(Inked(drawn, drawn.rect()), Inked(none, none.rect()) + 1000);
  }
}

// ---- graph menu ----

TEST_F(ViewerWindows, GraphMenuOpensFreshWindowsAndClosesThoseWithoutFiles) {
  TempDir run;
  fs::copy_file(kExample + "/wlmb.out", run.file("wlmb.out"));
  TGraphMenuForm menu;
  menu.OutputDir = run.str();
  menu.show();
  EXPECT_EQ(menu.windowTitle(), "View output");
  EXPECT_EQ(menu.GraphType(), 0);

  // The concentration and distribution windows find none of their files:
  // each names the echo they need first, as the kernel names it, and
  // closes.  The echo of a run that ended normally was not asked for.
  run.write("kirmel.status", "0\nrun-1\n");
  for (int i = 0; i < 3; ++i) {
    menu.SetGraphType(i);
    Click(&menu, "ViewButton");
  }
  const std::string noEcho = "Cannot open file \"" + run.file("input.out") +
                             "\": the graphs need this echo of the input.\rKIRMEL writes it only "
                             "when \"Echo of input\" is on (the scenario's Output page; op_input = "
                             "1 in OPOUT.INP).";
  EXPECT_EQ(dialogs->Errors(), (std::vector<std::string>{noEcho, noEcho, noEcho}));

  // A kernel that stopped on its input left its echo cut there and no
  // results: said so, with where it said why, before the reader's line.
  const std::string echo = readFile(kExample + "/input.out");
  const std::string cut = echo.substr(0, echo.find(" Section 2: Time parameters"));
  run.write("input.out", cut);
  run.write("message.out", " INPUT ERROR\n");
  run.write("RUN.LOG", " ERROR in RDDATA: On data file this variable is INTEGER\n");
  run.write("kirmel.status", "1\nrun-2\n");
  dialogs->Clear();
  menu.SetGraphType(TGraphMenuForm::ConcentrationInWaterbody);
  Click(&menu, "ViewButton");
  const std::string stoppedInInput =
      "KIRMEL stopped while reading the input of this run (\"" + run.str() +
      "\").\rKIRMEL stopped with exit status 1.\rSee the messages in \"" +
      run.file("message.out") + "\".\rThe last messages of KIRMEL on its console (\"" +
      run.file("RUN.LOG") + "\"):\r  ERROR in RDDATA: On data file this variable is INTEGER";
  EXPECT_EQ(dialogs->Errors(),
            std::vector<std::string>{stoppedInInput + "\r" + run.file("input.out") + ", line " +
                                     std::to_string(std::count(cut.begin(), cut.end(), '\n')) +
                                     ": the heading word \"Time\" was not found"});
  dialogs->Clear();

  // Water layer: the window opens modally over the menu with the run's data.
  menu.SetGraphType(TGraphMenuForm::MassBalanceWaterLayer);
  int points = 0;
  OnModal<TMassBalanceWLGraphForm>([&](TMassBalanceWLGraphForm* w) {
    EXPECT_EQ(w->parentWidget(), &menu);
    ASSERT_FALSE(w->Positive().Chart.Series.empty());
    points = static_cast<int>(w->Positive().Chart.Series[0].Points.size());
    Click(w, "BitBtnClose");
  });
  Click(&menu, "ViewButton");
  EXPECT_EQ(points, 61);
  EXPECT_TRUE(menu.isVisible());

  // Chosen again, a fresh window reads the files again: now one is gone,
  // and the window closes itself.  In a run without results the reader's
  // message is followed by why; in a run with results the file may be one
  // that its switches left out, and nothing more is said.
  fs::remove(run.file("wlmb.out"));
  Click(&menu, "ViewButton");
  menu.SetGraphType(TGraphMenuForm::MassBalanceSediment);
  Click(&menu, "ViewButton");
  fs::copy_file(kExample + "/wlsoco.out", run.file("wlsoco.out"));
  Click(&menu, "ViewButton");
  EXPECT_EQ(dialogs->Errors(),
            (std::vector<std::string>{
                "Cannot open file \"" + run.file("wlmb.out") + "\"\r" + stoppedInInput,
                "Cannot open file \"" + run.file("wbmball.out") + "\"\r" + stoppedInInput,
                "Cannot open file \"" + run.file("wbmball.out") + "\""}));
  Click(&menu, "CloseButton");
  EXPECT_FALSE(menu.isVisible());
}

// ---- enlarged graph window ----

TEST_F(ViewerWindows, ZoomAxisDialogRefusesThenAppliesAndWritesBack) {
  TMassBalanceWLGraphForm form(nullptr, kExample);
  form.show();
  Settle();
  const TChart before = form.Positive().Chart;
  const double top = form.Negative().Chart.Left.Maximum;

  bool enlarged = false;
  OnModal<TGraphForm>([&](TGraphForm* g) {
    enlarged = true;
    EXPECT_EQ(g->windowTitle(), "Mass balance of pesticide in water layer");
    const TChart& copy = g->Chart1();
    EXPECT_EQ(Titles(copy), Titles(form.Negative().Chart));
    ASSERT_FALSE(copy.Series.empty());
    EXPECT_EQ(copy.Series[0].Kind, fe::TSeriesKind::Area);
    EXPECT_EQ(copy.Series[0].Points.size(), 61u);
    EXPECT_EQ(copy.Title, "Negative terms");
    EXPECT_FALSE(copy.Left.Automatic);
    EXPECT_EQ(copy.Left.Maximum, top);
    EXPECT_TRUE(copy.Bottom.Automatic);
    // The mass-balance charts open it without series controls and markers box.
    EXPECT_TRUE(Child(g, "ChckSeries1")->isHidden());
    EXPECT_TRUE(Child(g, "TableBtn1")->isHidden());
    EXPECT_TRUE(Child(g, "ChckMarkers")->isHidden());

    OnModal<TFrmAxisOptions>([&](TFrmAxisOptions* a) {
      auto edit = [&](const char* name) { return Child<QLineEdit>(a, name); };
      EXPECT_EQ(a->windowTitle(), "Axis options");
      EXPECT_EQ(edit("EdtXAxisStart")->text(), "0");
      EXPECT_EQ(edit("EdtXAxisEnd")->text(), "30");
      EXPECT_EQ(edit("EdtXAxisText")->text(), "Time (d)");
      EXPECT_EQ(edit("EdtYAxisEnd")->text().toStdString(), fe::FormatGeneral(top, '.'));
      EXPECT_EQ(edit("EdtYAxisTicksStep")->text(), "0");
      EXPECT_EQ(edit("EdtYAxisMinorTicks")->text(), "3");

      // A start at the end is refused before the Y axis changes; the X axis
      // before it stays applied.
      edit("EdtYAxisStart")->setText("50");
      edit("EdtYAxisEnd")->setText("50");
      Click(a, "BitBtnOK");
      EXPECT_TRUE(a->isVisible());
      EXPECT_EQ(dialogs.LastError(), "Starts at must be less than Ends at.");
      EXPECT_EQ(g->Chart1().Left.Maximum, top);
      EXPECT_FALSE(g->Chart1().Bottom.Automatic);

      edit("EdtYAxisStart")->setText("0");
      edit("EdtYAxisMinorTicks")->setText("-1");
      Click(a, "BitBtnOK");
      EXPECT_TRUE(a->isVisible());
      EXPECT_EQ(dialogs.LastError(), "Number of minor ticks must be >= 0.");

      edit("EdtYAxisTicksStep")->setText("-5");
      edit("EdtYAxisMinorTicks")->setText("0");
      Click(a, "BitBtnOK");
      EXPECT_EQ(dialogs.LastError(), "Major ticks step must be >= 0.");

      edit("EdtYAxisTicksStep")->setText("10");
      edit("EdtYAxisText")->setText("Loss (mg)");
      edit("EdtXAxisEnd")->setText("15");
      Click(a, "BitBtnOK");
      EXPECT_FALSE(a->isVisible());
    });
    Click(g, "BtnAxisOptions");
    EXPECT_EQ(g->Chart1().AxisRange(fe::TAxisSide::Left), std::make_pair(0.0, 50.0));
    EXPECT_EQ(g->Chart1().AxisRange(fe::TAxisSide::Bottom), std::make_pair(0.0, 15.0));
    Click(g, "BitBtnClose");
  });
  Click(&form, "SpeedBtnZoom2");
  ASSERT_TRUE(enlarged);
  EXPECT_EQ(dialogs->Errors().size(), 3u);

  // The lower chart keeps the user's axes; its series and the upper chart
  // are as they were.
  const TChart& neg = form.Negative().Chart;
  EXPECT_FALSE(neg.Left.Automatic);
  EXPECT_EQ(neg.AxisRange(fe::TAxisSide::Left), std::make_pair(0.0, 50.0));
  EXPECT_EQ(neg.Left.Title, "Loss (mg)");
  EXPECT_EQ(neg.Left.Increment, 10);
  EXPECT_FALSE(neg.Left.MinorTicksVisible);
  EXPECT_FALSE(neg.Bottom.Automatic);
  EXPECT_EQ(neg.AxisRange(fe::TAxisSide::Bottom), std::make_pair(0.0, 15.0));
  EXPECT_EQ(neg.Bottom.Increment, 0);  // 0: the chart chooses its ticks
  ASSERT_EQ(neg.Series.size(), 4u);
  EXPECT_TRUE(neg.Series[0].Active);
  EXPECT_EQ(form.Positive().Chart.Left.Maximum, before.Left.Maximum);
  EXPECT_TRUE(form.Positive().Chart.Bottom.Automatic);
}

// The axis dialog's Text fields show the titles of the chart's axes whole,
// beside the frame and margins of the field: the longest a window gives,
// and a longer one typed in the dialog before, as far as a third of the
// screen allows.  Opened as the program opens its windows, the dialog
// stays inside the screen, also with a title longer than the screen: the
// fields give way, as they do where a third of the screen each would not
// leave room for the rest (the test programs' screen is 800 wide).
TEST_F(ViewerWindows, AxisDialogShowsLongTitlesWhole) {
  qt::TWindowFitting fitting;
  TChart chart;
  chart.Left.Title = "Avg. concentration top layer (µg/L)";
  chart.Bottom.Title = "Distance along the waterbody from its upstream end (m)";
  TFrmAxisOptions dialog(nullptr);
  dialog.Chart = &chart;
  for (int longer = 0; longer < 2; ++longer) {
    dialog.show();
    Settle();
    const QRect screen = dialog.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(dialog.frameGeometry()))
        << dialog.frameGeometry().width() << " wide at " << dialog.frameGeometry().x();
    const bool across = dialog.frameGeometry().width() >= screen.width() - 2;
    for (const char* name : {"EdtXAxisText", "EdtYAxisText"}) {
      auto* edit = Child<QLineEdit>(&dialog, name);
      const int title = edit->fontMetrics().horizontalAdvance(edit->text());
      EXPECT_TRUE(edit->width() - 12 >= std::min(title, screen.width() / 3 - 12) || across)
          << name << " " << edit->width();
    }
    EXPECT_EQ(Child<QLineEdit>(&dialog, "EdtYAxisText")->text(),
              "Avg. concentration top layer (µg/L)");
    dialog.hide();
    for (int i = 0; i < 4; ++i) chart.Bottom.Title += chart.Bottom.Title;  // wider than a screen
  }
}

// The enlarged window as the concentration graphs open it: series switched
// off, markers, a series listed as a table, the bitmap, printing.
TEST_F(ViewerWindows, EnlargedChartSeriesTableBitmapAndPrint) {
  TempDir dir;
  TMassBalanceWLGraphForm form(nullptr, kExample);
  form.show();
  Settle();
  TGraphOptions options;
  options.GraphTitle = "Mass balance of pesticide in water layer";
  options.LegendTitle = "Terms";
  options.TableTitlePrefix = "Mass of ";
  options.XDescription = "time (d)";
  options.YDescription = "mass (mg)";

  OnModal<TGraphForm>([&](TGraphForm* g) {
    // Three series: three boxes with their titles, the rest hidden.
    EXPECT_EQ(Child<QCheckBox>(g, "ChckSeries2")->text(), "From sediment");
    EXPECT_FALSE(Child(g, "ChckSeries3")->isHidden());
    EXPECT_FALSE(Child(g, "TableBtn3")->isHidden());
    for (int i = 4; i <= 10; ++i) {
      EXPECT_TRUE(Child(g, QStringLiteral("ChckSeries%1").arg(i))->isHidden());
      EXPECT_TRUE(Child(g, QStringLiteral("TableBtn%1").arg(i))->isHidden());
    }
    EXPECT_TRUE(Child(g, "LblSediment")->isHidden());
    Click(g, "ChckSeries2");
    ASSERT_EQ(g->Chart1().Series.size(), 3u);
    EXPECT_FALSE(g->Chart1().Series[1].Active);
    Click(g, "ChckMarkers");
    for (const TSeries& s : g->Chart1().Series) EXPECT_TRUE(s.Marker.Visible);

    // The table of the first series.
    OnModal<qt::TTableForm>([&](qt::TTableForm* t) {
      EXPECT_EQ(t->windowTitle(), "Mass of Loadings");
      EXPECT_EQ(Child<QLabel>(t, "XDescLabel")->text(), "time (d)");
      EXPECT_EQ(Child<QLabel>(t, "YDescLabel")->text(), "mass (mg)");
      auto* list = Child<QListWidget>(t, "XYList");
      ASSERT_EQ(list->count(), 61);
      EXPECT_EQ(list->item(1)->text(), "      0.5000      300.0000");
      Click(t, "BitBtn2");
    });
    Click(g, "TableBtn1");

    // A bitmap of what the window shows, read back; a place that cannot be
    // written says so instead of confirming.
    const std::string bmp = dir.file("chart.bmp");
    dialogs->AnswerSaveFile(bmp);
    Click(g, "BitBtnSave");
    EXPECT_EQ(dialogs.LastInfo(), "Bitmap saved to \"" + bmp + "\"");
    QImage back;
    ASSERT_TRUE(back.load(QString::fromStdString(bmp), "BMP"));
    EXPECT_EQ(back.size(), g->Chart1Panel()->Plot()->size());
    EXPECT_TRUE(HasColour(back, QColor(255, 0, 255)));
    EXPECT_GT(Inked(back, back.rect()), back.width() * back.height() / 5);
    const std::size_t infos = dialogs->Infos().size();
    dialogs->AnswerSaveFile(dir.file("no/such/dir/chart.bmp"));
    Click(g, "BitBtnSave");
    EXPECT_EQ(dialogs->Infos().size(), infos);
    EXPECT_EQ(dialogs->Errors(), (std::vector<std::string>{"Could not save the bitmap to \"" +
                                                           dir.file("no/such/dir/chart.bmp") +
                                                           "\"."}));

    // Printed on the upper half of a page: the chart and the heading of the
    // legend there, nothing below.
    {
      ScopedPrinter printer(std::make_unique<TImagePagePrinter>());
      Click(g, "BitBtnPrint");
      EXPECT_EQ(dialogs.LastInfo(), "Chart is being printed.");
      const QImage& page = printer.Get<TImagePagePrinter>().Page();
      const int half = page.height() / 2;
      EXPECT_GT(Inked(page, QRect(80, 200, page.width() - 160, half - 300)), 50000);
      EXPECT_EQ(Inked(page, QRect(10, half + 10, page.width() - 20, half - 20)), 0);
    }
    // To a PDF: a real document, with more on it than the frame.
    {
      const std::string pdf = dir.file("chart.pdf");
      ScopedPrinter printer(std::make_unique<TPdfPagePrinter>(pdf));
      Click(g, "BitBtnPrint");
      EXPECT_EQ(dialogs.LastInfo(), "Chart is being printed.");
      const std::string frameOnly = dir.file("frame.pdf");
      InstallPagePrinter(std::make_unique<TPdfPagePrinter>(frameOnly));
      PrintGraphPage("Mass balance of pesticide in water layer", TPageFrame::Half,
                     [](QPainter&, const QRect&) {}, "");
      const std::string text = readFile(pdf);
      EXPECT_EQ(text.substr(0, 5), "%PDF-");
      EXPECT_GT(text.size(), readFile(frameOnly).size() + 3000);
    }
    // No printer; a printer that cannot start the document.
    {
      ScopedPrinter printer(std::make_unique<TNoPrinter>());
      const std::size_t infos = dialogs->Infos().size();
      dialogs->AnswerConfirm(false);  // no PDF instead
      Click(g, "BitBtnPrint");
      EXPECT_EQ(dialogs.LastRecord().Text,
                "No printer installed.\rSave the page as a PDF file instead?");
      EXPECT_EQ(dialogs->Infos().size(), infos);
      InstallPagePrinter(std::make_unique<TPdfPagePrinter>(dir.file("no/such/dir/c.pdf")));
      const std::size_t before = dialogs->Infos().size();
      Click(g, "BitBtnPrint");
      EXPECT_EQ(dialogs->Infos().size(), before);
      EXPECT_NE(dialogs.LastError().find("could not be printed"), std::string::npos);
    }
    Click(g, "BitBtnClose");
  });
  EnlargeChart(&form, form.Positive(), options);

  // Series switched off and markers shown in the copy only.
  for (const TSeries& s : form.Positive().Chart.Series) {
    EXPECT_TRUE(s.Active);
    EXPECT_FALSE(s.Marker.Visible);
  }
}

TEST_F(ViewerWindows, DepthProfileKeepsItsOrderAndItsTopAxisIsTheXAxis) {
  TChartPanel panel(QStringLiteral("SedimentGraph1"), QStringLiteral("SpeedButton3"));
  TChart& source = panel.Chart;
  source.Bottom.Visible = false;
  source.Top.Title = "Total conc. (µg/L)";
  source.Left.SetManual(-0.1045, 0);
  for (int k = 1; k <= 2; ++k) {
    TSeries s;
    s.Title = k == 1 ? "0.50 d" : "1.00 d";
    SetLineSeriesStyle(s, k);
    s.HorizontalAxis = fe::TAxisSide::Top;
    s.XOrder = fe::TSortOrder::None;
    s.YOrder = fe::TSortOrder::Descending;
    s.Marker.Visible = k == 1;
    s.Add(5.0 * k, -0.005);
    s.Add(9.0 * k, -0.015);
    s.Add(2.0 * k, -0.095);
    source.Series.push_back(s);
  }
  TGraphForm g;
  g.SourceChart = &source;
  g.LblSediment()->show();
  g.show();
  Settle();
  const TChart& copy = g.Chart1();
  ASSERT_EQ(copy.Series.size(), 2u);
  const TSeries& second = copy.Series[1];
  EXPECT_EQ(second.HorizontalAxis, fe::TAxisSide::Top);
  EXPECT_EQ(second.XOrder, fe::TSortOrder::None);
  EXPECT_EQ(second.YOrder, fe::TSortOrder::Descending);
  EXPECT_EQ(second.Color, fe::colors::Blue);
  EXPECT_EQ(second.Pattern, fe::TLinePattern::Dot);
  EXPECT_EQ(second.Marker.Shape, fe::TMarkerShape::DownTriangle);
  ASSERT_EQ(second.Points.size(), 3u);
  EXPECT_EQ(second.Points[1].X, 18.0);
  EXPECT_FALSE(copy.Bottom.Visible);
  EXPECT_EQ(copy.Top.Title, "Total conc. (µg/L)");
  EXPECT_EQ(copy.AxisRange(fe::TAxisSide::Left), std::make_pair(-0.1045, 0.0));
  // The first series shows its markers, so the box is checked and all do.
  EXPECT_TRUE(Child<QCheckBox>(&g, "ChckMarkers")->isChecked());
  EXPECT_TRUE(copy.Series[1].Marker.Visible);
  EXPECT_TRUE(Child(&g, "LblSediment")->isVisible());

  // The axis dialog edits the top axis as the X axis.
  OnModal<TFrmAxisOptions>([&](TFrmAxisOptions* a) {
    EXPECT_EQ(Child<QLineEdit>(a, "EdtXAxisStart")->text(), "2");
    EXPECT_EQ(Child<QLineEdit>(a, "EdtXAxisEnd")->text(), "18");
    EXPECT_EQ(Child<QLineEdit>(a, "EdtXAxisText")->text(), "Total conc. (µg/L)");
    EXPECT_EQ(Child<QLineEdit>(a, "EdtYAxisStart")->text(), "-0.1045");
    Child<QLineEdit>(a, "EdtXAxisStart")->setText("");  // empty: the default 0
    Child<QLineEdit>(a, "EdtXAxisEnd")->setText("20");
    Click(a, "BitBtnOK");
  });
  Click(&g, "BtnAxisOptions");
  EXPECT_TRUE(dialogs->Errors().empty());
  g.close();
  EXPECT_EQ(source.AxisRange(fe::TAxisSide::Top), std::make_pair(0.0, 20.0));
  EXPECT_FALSE(source.Top.Automatic);
  EXPECT_TRUE(source.Bottom.Automatic);
  EXPECT_FALSE(source.Bottom.Visible);
  EXPECT_FALSE(source.Series[1].Marker.Visible);
}

// ---- printing of the mass-balance windows ----

TEST_F(ViewerWindows, MassBalancePrintsBothChartsOnAFullPage) {
  TMassBalanceSedGraphForm form(nullptr, kExample);
  form.show();
  Settle();
  ScopedPrinter printer(std::make_unique<TImagePagePrinter>(QSize(1240, 1754)));
  Click(&form, "SpeedBtnPrint");
  EXPECT_EQ(dialogs->Infos(), std::vector<std::string>{"Chart is being printed."});
  const QImage& page = printer.Get<TImagePagePrinter>().Page();
  // Frame: band 125, area 4, 129, 1232 x 1496; margins 123 and 149; charts
  // 524 high at y 278 and 951.
  const QRect upper(127, 278, 1232 - 2 * 123, 524);
  const QRect lower(127, 951, 1232 - 2 * 123, 524);
  EXPECT_GT(Inked(page, upper), 60000);
  EXPECT_GT(Inked(page, lower), 20000);
  EXPECT_EQ(Inked(page, QRect(140, 810, 900, 130)), 0);  // between the charts
  EXPECT_TRUE(HasColour(page, QColor(0, 255, 255)));
}

// ---- pick lists ----

TEST_F(ViewerWindows, PickListsGiveTheLineChosenOrNothing) {
  const std::vector<std::string> times = {"0.00 d", "0.50 d", "1.00 d"};
  OnModal<TFrmSelectTimestep>([](TFrmSelectTimestep* p) {
    EXPECT_EQ(p->windowTitle(), "Select timestep");
    auto* list = Child<QListWidget>(p, "LstTimesteps");
    ASSERT_EQ(list->count(), 3);
    emit list->itemDoubleClicked(list->item(2));
  });
  EXPECT_EQ(SelectTimestep(nullptr, times), 3);

  OnModal<TFrmSelectNode>([](TFrmSelectNode* p) {
    auto* list = Child<QListWidget>(p, "LstNodes");
    list->setCurrentRow(1);
    Click(p, "BitBtnCancel");
  });
  EXPECT_EQ(SelectNode(nullptr, times), 0);

  // OK with no line selected; an empty list.
  for (const auto& lines : {times, std::vector<std::string>{}}) {
    OnModal<TFrmSelectNode>([](TFrmSelectNode* p) { Click(p, "BitBtnOK"); });
    EXPECT_EQ(SelectNode(nullptr, lines), 0);
  }

  // Shown again, the list starts afresh.
  TFrmSelectNode p;
  p.Nodes = times;
  p.show();
  p.List()->setCurrentRow(0);
  Click(&p, "BitBtnOK");
  EXPECT_EQ(p.Selected, 1);
  p.Nodes.pop_back();
  p.show();
  EXPECT_EQ(p.Selected, 0);
  EXPECT_EQ(p.List()->count(), 2);
}

TEST(SeriesStyles, TableRowsAndCopy) {
  TSeries s;
  SetLineSeriesStyle(s, 5);
  EXPECT_EQ(s.Color, fe::colors::Green);
  EXPECT_EQ(s.Pattern, fe::TLinePattern::DashDotDot);
  EXPECT_EQ(s.Marker.Shape, fe::TMarkerShape::DiagCross);
  EXPECT_EQ(s.Marker.Fill, fe::colors::Black);
  EXPECT_FALSE(s.Marker.Visible);
  SetLineSeriesStyle(s, 10);
  EXPECT_EQ(s.Color, fe::colors::Purple);
  EXPECT_THROW(SetLineSeriesStyle(s, 0), std::out_of_range);
  EXPECT_THROW(SetLineSeriesStyle(s, 11), std::out_of_range);
}

}  // namespace
}  // namespace kirmel::test
