// The main window's pages, the About and greetings windows, the splash and
// the table window.
#include <QTabWidget>
#include <QWidget>

#include "frontend/chart/Chart.h"
#include "frontend/gui/About.h"
#include "frontend/gui/MainForm.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/SaveFolderDialog.h"
#include "frontend/qt/TableForm.h"
#include "tools/screenshots/Screens.h"

namespace kirmel::screens {
namespace {

void RenderMainWindow(TScreenContext& c) {
  struct TPage {
    const char* Page;
    const char* Name;
  };
  const TPage pages[] = {{"PageKirmel", "KIRMEL"},
                         {"PageDitch", "Scenario-Waterbody"},
                         {"PageHydrology", "Scenario-Hydrology"},
                         {"PageInitialisation", "Scenario-Initialisation"},
                         {"PageSimulation", "Scenario-Simulation"},
                         {"PageOutput", "Scenario-Output"},
                         {"PageTransformation", "Pesticide-Transformation"},
                         {"PageSorption", "Pesticide-Sorption"},
                         {"PageVolatilization", "Pesticide-Volatilization"},
                         {"PageLoading", "Pesticide-Loading"}};
  for (const TPage& page : pages) {
    qt::RevealPage(c.Main.findChild<QWidget*>(QString::fromLatin1(page.Page)));
    c.Save(&c.Main, std::string("TMainForm-") + page.Name);
  }
  qt::RevealPage(c.Main.findChild<QWidget*>(QStringLiteral("PageKirmel")));
}

void RenderSmallWindows(TScreenContext& c) {
  gui::TAboutForm about(&c.Main);
  c.Save(&about, "TAboutForm");
  about.hide();
  gui::TGreetingsForm greetings(&c.Main);
  c.Save(&greetings, "TGreetingsForm");
  greetings.hide();
  gui::TSplashForm splash;
  c.Save(&splash, "TSplashForm");
  splash.hide();

  // Save As, as the scenario's button opens it.
  qt::TSaveFolderDialog saveAs(QStringLiteral("Save scenario as"), c.Root + "/SCENARIOS",
                               "NLStandard_sp", &c.Main);
  c.Save(&saveAs, "TSaveFolderDialog");
  saveAs.hide();

  qt::TTableForm table(&c.Main);
  table.TableTitle = "Concentration in time - segment 1";
  table.XDescription = "Time (d)";
  table.YDescription = "Concentration (µg/L)";
  for (int i = 0; i <= 20; ++i) table.Series.Add(i * 0.5, 3.2 * i / (1.0 + i * i * 0.05));
  c.Save(&table, "TTableForm");
  table.hide();
}

TScreenRegistrar mainWindow("10-main-window", RenderMainWindow);
TScreenRegistrar smallWindows("11-main-dialogs", RenderSmallWindows);

}  // namespace
}  // namespace kirmel::screens
