// Saving, selecting and creating scenarios and pesticides through the
// buttons, with the folder browser and the questions scripted.
#include <QListWidget>
#include <algorithm>
#include <iterator>

#include "MainFormFixture.h"
#include "frontend/qt/StringGrid.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
const std::string CR(1, '\r');

// Everything the pages show, to compare a model before saving and after
// loading it back.
std::vector<std::string> PageTexts(gui::TMainForm& form) {
  std::vector<std::string> out;
  for (QLineEdit* e : form.findChildren<QLineEdit*>())
    out.push_back(e->objectName().toStdString() + "=" + e->text().toStdString());
  for (QListWidget* l : form.findChildren<QListWidget*>())
    for (int i = 0; i < l->count(); ++i) out.push_back(l->objectName().toStdString() + ":" + l->item(i)->text().toStdString());
  for (qt::TStringGrid* g : form.findChildren<qt::TStringGrid*>())
    for (int r = 0; r < g->RowCount(); ++r)
      for (int c = 0; c < g->ColCount(); ++c) out.push_back(g->Cell(c, r));
  for (QCheckBox* b : form.findChildren<QCheckBox*>())
    out.push_back(b->objectName().toStdString() + (b->isChecked() ? "+" : "-"));
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(MainFormTest, SaveWithTheDefaultNameGoesThroughSaveAs) {
  Start();
  const std::string scenarios = root.str() + "/SCENARIOS";
  dialogs->AnswerFolder(scenarios + "/Mine/");
  Click("SaveScenarioButton");
  const qt::TDialogRecord browser = dialogs->Records().at(0);
  EXPECT_EQ(browser.Kind, qt::TDialogKind::FolderBrowser);
  EXPECT_EQ(browser.Text, scenarios);
  EXPECT_TRUE(browser.MayCreateFolders);
  EXPECT_EQ(Edit("EdtNameScenario")->text(), "Mine");
  EXPECT_TRUE(fs::exists(scenarios + "/Mine/OPOUT.INP"));
  EXPECT_TRUE(fs::exists(scenarios + "/Mine/SL.INP"));

  // Now with its own name: a question, and No saves nothing.
  Enter("Width", "3");
  dialogs->AnswerConfirm(false);
  Click("SaveScenarioButton");
  EXPECT_EQ(dialogs->Records().back().Text, "Are you sure you want to save the changes to the scenario?");
  EXPECT_EQ(readFile(scenarios + "/Mine/WLPA.INP").find("wibot = 3."), std::string::npos);
  dialogs->AnswerConfirm(true);
  Click("SaveScenarioButton");
  EXPECT_NE(readFile(scenarios + "/Mine/WLPA.INP").find("wibot = 3."), std::string::npos);

  // SaveAs over an existing scenario asks first (OK/Cancel); it opens on the
  // current scenario.
  Enter("Width", "4");
  dialogs->AnswerFolder(scenarios + "/Mine").AnswerQuestion(false);
  Click("SaveAsScenarioButton");
  EXPECT_EQ(dialogs->Records().at(dialogs->Records().size() - 2).Text, scenarios + "/Mine");
  EXPECT_EQ(dialogs->Records().back().Kind, qt::TDialogKind::Question);
  EXPECT_EQ(dialogs->Records().back().Text,
            "A scenario with this name already exists." + CR + "Overwrite existing scenario?");
  EXPECT_EQ(readFile(scenarios + "/Mine/WLPA.INP").find("wibot = 4."), std::string::npos);
  dialogs->AnswerFolder(scenarios + "/Mine").AnswerQuestion(true);
  Click("SaveAsScenarioButton");
  EXPECT_NE(readFile(scenarios + "/Mine/WLPA.INP").find("wibot = 4."), std::string::npos);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(MainFormTest, DirectoryRulesOfSelectAndSaveAs) {
  SeedExamples();
  Start();
  const std::string scenarios = root.str() + "/SCENARIOS";
  const std::string pesticides = root.str() + "/PESTICIDES";
  const std::string notScenario = "This is not a valid scenario." + CR +
                                  "Valid scenarios are in the directory " + scenarios + "." + CR +
                                  "Select a scenario from this directory.";
  dialogs->AnswerFolder(scenarios).AnswerFolder(scenarios + "/NLStandard_sp/sub")
      .AnswerFolder(pesticides + "/Cpf");
  Click("SelectScenarioButton");
  Click("SelectScenarioButton");
  Click("SelectScenarioButton");
  EXPECT_EQ(Errors(), std::vector<std::string>(3, notScenario));
  EXPECT_FALSE(dialogs->Records().at(0).MayCreateFolders);

  dialogs->Clear();
  dialogs->AnswerFolder(root.str() + "/PESTICIDES").AnswerFolder(scenarios + "/Cpf");
  Click("SelectPesticideButton");
  Click("SelectPesticideButton");
  EXPECT_EQ(Errors(), std::vector<std::string>(2, "This is not a valid pesticide." + CR +
                                                      "Valid pesticides are in the directory " +
                                                      pesticides + "." + CR +
                                                      "Select a pesticide from this directory."));

  dialogs->Clear();
  dialogs->AnswerFolder(scenarios).AnswerFolder(pesticides + "/x")
      .AnswerFolder(scenarios + "/a+b").AnswerFolder(scenarios + "/..");
  for (int i = 0; i < 4; ++i) Click("SaveAsScenarioButton");
  ASSERT_EQ(Errors().size(), 4u);
  EXPECT_EQ(Errors()[0], "The scenario should be in the directory " + scenarios);
  EXPECT_EQ(Errors()[1], "The scenario should be in the directory " + scenarios);
  EXPECT_NE(Errors()[2].find("may not contain"), std::string::npos);
  EXPECT_EQ(Errors()[3], "\"..\" cannot be the name of a scenario.");
  EXPECT_FALSE(fs::exists(scenarios + "/a+b"));
  EXPECT_FALSE(fs::exists(root.path() / "WLNU.INP"));
  EXPECT_EQ(Data().ScenarioName(), "NLStandard_sp");

  // The folder's name in another case is the same folder.
  dialogs->Clear();
  dialogs->AnswerFolder(root.str() + "/scenarios/NLStandard_sp");
  Click("SelectScenarioButton");
  EXPECT_TRUE(Errors().empty());

  // A scenario that cannot be read: the reader's message, then the window's.
  fs::create_directories(scenarios + "/Empty");
  Enter("Width", "2.5");
  dialogs->AnswerYesNoCancel(qt::TChoice::No).AnswerFolder(scenarios + "/Empty");
  Click("SelectScenarioButton");
  ASSERT_EQ(Errors().size(), 2u);
  EXPECT_EQ(Errors()[0], "Cannot open file \"" + scenarios + "/Empty/WLNU.INP\"");
  EXPECT_EQ(Errors()[1], "Error in reading scenario.");
  EXPECT_EQ(Data().Metrics().BottomWidth(), 2.5);
  EXPECT_EQ(Data().ScenarioName(), "NLStandard_sp");
}

TEST_F(MainFormTest, ASavedScenarioAndPesticideLoadBackEqual) {
  SeedExamples();
  Start();
  // Change something on every page.
  Enter("Depth", "0.15");
  Enter("ConstantFlow", "-2.5");
  Enter("TTDays", "45.25");
  Enter("TimestepColumn", "300");
  Enter("EdtOutputInterval", "0.25");
  Enter("SatGasPressure", "1.5E-7");
  Enter("WCFreundlich", "0.85");
  auto* ic = Find<qt::TStringGrid>("StrGridICSegments");
  FocusOn(ic);
  ic->SetCell(1, 3, "2.75");
  Leave();
  auto* drift = Find<qt::TStringGrid>("StrGridDriftLoadings");
  drift->SetCurrentCell(0, 1);
  Click("DriftInsertButton");
  FocusOn(drift);
  drift->SetCell(0, 2, "3");
  drift->SetCell(3, 2, "0.005");
  Leave();
  Find<QListWidget>("RemainingList")->setCurrentRow(10);
  Click("ShowButton");
  ClickBox("ofNeeded");
  ClickBox("ofInitCalcSed");
  ASSERT_TRUE(Errors().empty());

  const std::string scenarios = root.str() + "/SCENARIOS";
  const std::string pesticides = root.str() + "/PESTICIDES";
  dialogs->AnswerFolder(scenarios + "/Changed").AnswerFolder(pesticides + "/Changed");
  Click("SaveAsScenarioButton");
  Click("SaveAsPesticideButton");
  const std::vector<std::string> before = PageTexts(*form);
  Click("NewScenarioButton");
  Click("NewPesticideButton");
  ASSERT_NE(PageTexts(*form), before);

  dialogs->AnswerFolder(scenarios + "/Changed").AnswerFolder(pesticides + "/Changed");
  Click("SelectScenarioButton");
  Click("SelectPesticideButton");
  EXPECT_TRUE(Errors().empty());
  const std::vector<std::string> after = PageTexts(*form);
  std::vector<std::string> lost, gained;
  std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(lost));
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(gained));
  EXPECT_EQ(lost, gained);
  EXPECT_EQ(Data().ScenarioName(), "Changed");
  EXPECT_EQ(Data().PesticideName(), "Changed");
}

}  // namespace
}  // namespace kirmel::test
