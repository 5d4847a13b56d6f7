// Start-up with and without the example under the root, the labels, New,
// About, printer set-up without a printer and the menu lock.
#include <QMouseEvent>
#include <QTimer>
#include <fstream>

#include "MainFormFixture.h"
#include "frontend/gui/About.h"
#include "frontend/gui/Program.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

TEST_F(MainFormTest, StartsOnDefaultsWithoutTheExample) {
  Start();
  for (const char* sub : {"SCENARIOS", "PESTICIDES", "RUNS", "GUI"})
    EXPECT_TRUE(fs::is_directory(root.path() / sub)) << sub;
  EXPECT_TRUE(dialogs->Records().empty());
  EXPECT_EQ(form->windowTitle(), "KIRMEL-GUI (Graphical User Interface) v1.0");
  EXPECT_EQ(Edit("EdtNameScenario")->text(), "DefaultScenario");
  EXPECT_EQ(Edit("EdtNamePesticide")->text(), "DefaultPesticide");
  EXPECT_EQ(LabelText("DitchLengthLabel"), "320 m");
  EXPECT_EQ(LabelText("DitchLengthLabel2"), "Length=320 m");
  EXPECT_EQ(LabelText("DitchNodesLabel"), "80");
  EXPECT_EQ(LabelText("SedimentLengthLabel"), "0.1 m");
  EXPECT_EQ(LabelText("SedimentNodesLabel"), "14");
  EXPECT_EQ(Edit("TTDays")->text(), "30");
  EXPECT_EQ(Edit("TimestepColumn")->text(), "600");
  EXPECT_EQ(Edit("SatGasPressure")->text(), "0.0025");
  // A new model writes what the viewer needs, and says so.
  EXPECT_TRUE(form->Editor().Settings().IsNeededOutput());
  EXPECT_TRUE(Find<QCheckBox>("ofNeeded")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("ofEcho")->isEnabled());
}

TEST_F(MainFormTest, StartsOnTheExampleAndLoadsItOnce) {
  SeedExamples();
  Start();
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(Edit("EdtNameScenario")->text(), "NLStandard_sp");
  EXPECT_EQ(Edit("EdtNamePesticide")->text(), "Cpf");
  EXPECT_EQ(Data().ScenarioName(), "NLStandard_sp");
  EXPECT_EQ(Data().PesticideName(), "Cpf");
  EXPECT_EQ(LabelText("DitchNodesLabel"), QString::number(Data().Ditch().NodeCount()));
  EXPECT_EQ(Edit("ConstantHeight")->text().toStdString(),
            fe::FormatGeneral(Data().Hydrology().WaterHeight(), '.'));
  EXPECT_TRUE(Find<QCheckBox>("ofNeeded")->isChecked());  // the example's switches

  // Showing the window again (after minimising) keeps the user's edits.
  Enter("Depth", "0.33");
  form->hide();
  form->show();
  Settle();
  EXPECT_EQ(Data().Metrics().WaterDepth(), 0.33);
  EXPECT_EQ(Edit("Depth")->text(), "0.33");
}

TEST_F(MainFormTest, AScenarioThatCannotBeReadKeepsThePesticideAndThePages) {
  SeedExamples();
  // A value the model refuses, in the scenario's hydrology file.
  const fs::path hy = root.path() / "SCENARIOS" / "NLStandard_sp" / "HY.INP";
  std::ofstream(hy, std::ios::app) << "  te = 400.\r\n";
  Start();
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_NE(Errors()[0].find("HY.INP"), std::string::npos);
  EXPECT_EQ(Edit("EdtNameScenario")->text(), "DefaultScenario");
  EXPECT_EQ(Edit("EdtNamePesticide")->text(), "Cpf");
  EXPECT_EQ(Edit("TTDays")->text(), "30");
}

TEST_F(MainFormTest, NewResetsTheModelWithTheNeededOutput) {
  SeedExamples();
  Start();
  ClickBox("ofAll");
  Enter("Width", "2");
  Enter("TTDays", "3");
  Enter("MolecularMass", "99");
  Data().Solids().SetBackgroundConcentration(0.5);

  // The changes are dropped on purpose.
  dialogs->AnswerYesNoCancel(qt::TChoice::No);
  Click("NewScenarioButton");
  EXPECT_EQ(dialogs->Records().back().Text, "Save changes to scenario NLStandard_sp?");
  EXPECT_EQ(Edit("EdtNameScenario")->text(), "DefaultScenario");
  EXPECT_EQ(Data().Metrics().BottomWidth(), 0.4);
  EXPECT_EQ(Edit("Width")->text(), "0.4");
  EXPECT_EQ(Data().TotalTime().AsDays(), 30);
  EXPECT_EQ(Data().KTop(), 7);
  EXPECT_EQ(Data().OutputTimestep(), 0.5);
  EXPECT_EQ(Data().Ditch().NodeCount(), 80);
  EXPECT_EQ(Data().Drift().Loadings().Entry(0).EndPos(), 320);
  EXPECT_EQ(Data().Solids().BackgroundConcentration(), 0);
  EXPECT_TRUE(form->Editor().Settings().IsNeededOutput());
  EXPECT_TRUE(Find<QCheckBox>("ofNeeded")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("ofAll")->isChecked());
  // The pesticide stays.
  EXPECT_EQ(Data().Solids().MolecularMass(), 99);
  EXPECT_EQ(Edit("EdtNamePesticide")->text(), "Cpf");

  Data().Solids().SetBackgroundConcentration(0.25);
  dialogs->AnswerYesNoCancel(qt::TChoice::No);
  Click("NewPesticideButton");
  EXPECT_EQ(dialogs->Records().back().Text, "Save changes to pesticide Cpf?");
  EXPECT_EQ(Edit("EdtNamePesticide")->text(), "DefaultPesticide");
  EXPECT_EQ(Edit("MolecularMass")->text(), "350.6");
  // The scenario's background concentration in air is not the pesticide's.
  EXPECT_EQ(Data().Solids().BackgroundConcentration(), 0.25);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(MainFormTest, PageSetupWithoutPrinterAndMenusCanBeLocked) {
  Start();
  // No printer here: the page set-up is still offered, for pages saved as PDF.
  dialogs->AnswerPrinterSetup(true);
  form->findChild<QAction*>("Printersetup1")->trigger();
  EXPECT_EQ(dialogs.LastRecord().Kind, qt::TDialogKind::PrinterSetup);
  EXPECT_TRUE(dialogs->Infos().empty());

  form->SetMenusEnabled(false);
  for (const char* name : {"Edit1", "View1", "Help1", "SelectScenario1", "SaveScenario1",
                           "SelectPesticide1", "SavePesticide1", "Save1", "Run1", "Printersetup1"})
    EXPECT_FALSE(form->findChild<QAction*>(name)->isEnabled()) << name;
  EXPECT_TRUE(form->findChild<QAction*>("Exit1")->isEnabled());
  form->SetMenusEnabled(true);
  EXPECT_TRUE(form->findChild<QAction*>("Run1")->isEnabled());

  // The View menu selects the page and its sub-page.
  form->findChild<QAction*>("Volatilization1")->trigger();
  EXPECT_EQ(Find<QTabWidget>("PageControlMain")->currentWidget()->objectName(), "PagePesticide");
  EXPECT_EQ(Find<QTabWidget>("PageControlPesticide")->currentWidget()->objectName(),
            "PageVolatilization");
}

TEST_F(MainFormTest, AboutOpensTheGreetingsOnADoubleClick) {
  Start();
  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* about = qobject_cast<gui::TAboutForm*>(QApplication::activeModalWidget());
    if (!about) return;
    seen << about->windowTitle();
    for (QLabel* l : about->findChildren<QLabel*>()) seen << l->text();
    QTimer::singleShot(0, [&] {
      if (auto* greetings = qobject_cast<gui::TGreetingsForm*>(QApplication::activeModalWidget())) {
        for (QLabel* l : greetings->findChildren<QLabel*>()) seen << l->text();
        greetings->accept();
      }
    });
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(about->findChild<QWidget*>("Panel1"), &dbl);
    about->findChild<QPushButton*>("OKButton")->click();
  });
  form->findChild<QAction*>("About1")->trigger();
  EXPECT_TRUE(seen.contains("About"));
  EXPECT_TRUE(seen.contains("Version 1.0"));
  EXPECT_TRUE(seen.contains("Revision 1"));
  EXPECT_EQ(seen.count("Release date March 22nd, 1999"), 2);
  EXPECT_TRUE(seen.contains("Internal version 1.0.4"));
}

TEST(Program, SplashTimeFromTheEnvironment) {
  const char* old = std::getenv("KIRMEL_SPLASH_MS");
  std::string saved = old ? old : "";
  unsetenv("KIRMEL_SPLASH_MS");
  EXPECT_EQ(gui::SplashMilliseconds(), 3500);
  setenv("KIRMEL_SPLASH_MS", "0", 1);
  EXPECT_EQ(gui::SplashMilliseconds(), 0);
  setenv("KIRMEL_SPLASH_MS", "-5", 1);
  EXPECT_EQ(gui::SplashMilliseconds(), 3500);
  if (old) setenv("KIRMEL_SPLASH_MS", saved.c_str(), 1);
}

}  // namespace
}  // namespace kirmel::test
