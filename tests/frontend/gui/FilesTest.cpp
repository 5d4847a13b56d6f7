// Saving, selecting and creating scenarios and pesticides through the
// buttons, with the folder browser and the questions scripted.
#include <unistd.h>

#include <QListWidget>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "MainFormFixture.h"
#include "common/SmallFilesystem.h"
#include "frontend/qt/StringGrid.h"
#include "platform/FolderSave.h"

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
  // The name of unsaved work, in any case, is refused (a run would refuse
  // it); the chooser stays open with the name typed, to be corrected.
  dialogs->AnswerSaveFolder(scenarios + "/defaultscenario").AnswerSaveFolder(scenarios + "/Mine/");
  Click("SaveScenarioButton");
  ASSERT_EQ(dialogs->Records().size(), 3u);
  const qt::TDialogRecord chooser = dialogs->Records().at(0);
  EXPECT_EQ(chooser.Kind, qt::TDialogKind::SaveFolder);
  EXPECT_EQ(chooser.Title, "Save scenario as");
  EXPECT_EQ(chooser.Text, scenarios);
  EXPECT_EQ(chooser.Name, "");
  EXPECT_EQ(Errors(), std::vector<std::string>{"\"defaultscenario\" cannot be the name of a saved "
                                               "scenario: the name DefaultScenario is kept for "
                                               "unsaved work."});
  EXPECT_EQ(dialogs->Records().at(2).Kind, qt::TDialogKind::SaveFolder);
  EXPECT_EQ(dialogs->Records().at(2).Name, "defaultscenario");
  EXPECT_FALSE(fs::exists(scenarios + "/defaultscenario"));
  EXPECT_EQ(Edit("EdtNameScenario")->text(), "Mine");
  dialogs->Clear();
  EXPECT_TRUE(fs::exists(scenarios + "/Mine/OPOUT.INP"));
  EXPECT_TRUE(fs::exists(scenarios + "/Mine/SL.INP"));

  // Now with its own name: a question, and No saves nothing.
  Enter("Width", "3");
  dialogs->AnswerConfirm(false);
  Click("SaveScenarioButton");
  EXPECT_EQ(dialogs.LastRecord().Text, "Are you sure you want to save the changes to the scenario?");
  EXPECT_EQ(readFile(scenarios + "/Mine/WLPA.INP").find("wibot = 3."), std::string::npos);
  dialogs->AnswerConfirm(true);
  Click("SaveScenarioButton");
  EXPECT_NE(readFile(scenarios + "/Mine/WLPA.INP").find("wibot = 3."), std::string::npos);

  // SaveAs over an existing scenario asks first (OK/Cancel); it lists the
  // scenarios with the current one's name in the field.
  Enter("Width", "4");
  dialogs->AnswerSaveFolder(scenarios + "/Mine").AnswerQuestion(false);
  Click("SaveAsScenarioButton");
  EXPECT_EQ(dialogs->Records().at(dialogs->Records().size() - 2).Text, scenarios);
  EXPECT_EQ(dialogs->Records().at(dialogs->Records().size() - 2).Name, "Mine");
  EXPECT_EQ(dialogs.LastRecord().Kind, qt::TDialogKind::Question);
  EXPECT_EQ(dialogs.LastRecord().Text,
            "A scenario with this name already exists." + CR + "Overwrite existing scenario?");
  EXPECT_EQ(readFile(scenarios + "/Mine/WLPA.INP").find("wibot = 4."), std::string::npos);
  dialogs->AnswerSaveFolder(scenarios + "/Mine").AnswerQuestion(true);
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

  // Refused one after the other in one chooser, which the user then cancels.
  dialogs->Clear();
  dialogs->AnswerSaveFolder(scenarios).AnswerSaveFolder(pesticides + "/x")
      .AnswerSaveFolder(scenarios + "/a+b").AnswerSaveFolder(scenarios + "/..")
      .AnswerSaveFolder(std::nullopt);
  Click("SaveAsScenarioButton");
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

// The folders in a folder, by name.
std::vector<std::string> Folders(const std::string& dir) {
  std::vector<std::string> out;
  for (const fs::directory_entry& e : fs::directory_iterator(dir))
    if (e.is_directory()) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(MainFormTest, SaveAsTakesANewNameAndLeavesNoFolderForARefusedOne) {
  SeedExamples();
  Start();
  const std::string pesticides = root.str() + "/PESTICIDES";
  const std::string fosse = "Foss\xc3\xa9";

  // A new name typed in the chooser, which lists the pesticides (never the
  // inside of Cpf) with the current name in its field.
  dialogs->AnswerSaveFolder(pesticides + "/" + fosse);
  Click("SaveAsPesticideButton");
  ASSERT_EQ(dialogs->Records().size(), 1u);  // no question for a new name
  EXPECT_EQ(dialogs->Records()[0].Kind, qt::TDialogKind::SaveFolder);
  EXPECT_EQ(dialogs->Records()[0].Title, "Save pesticide as");
  EXPECT_EQ(dialogs->Records()[0].Text, pesticides);
  EXPECT_EQ(dialogs->Records()[0].Name, "Cpf");
  EXPECT_TRUE(fs::exists(pesticides + "/" + fosse + "/SU.INP"));
  EXPECT_EQ(Data().PesticideName(), fosse);
  EXPECT_EQ(Edit("EdtNamePesticide")->text().toStdString(), fosse);

  // An empty folder (one made just before, as a folder browser's "New
  // folder" does) holds no pesticide: no question.
  fs::create_directory(pesticides + "/Made");
  dialogs->Clear();
  dialogs->AnswerSaveFolder(pesticides + "/Made");
  Click("SaveAsPesticideButton");
  EXPECT_EQ(dialogs->Records().size(), 1u);
  EXPECT_TRUE(fs::exists(pesticides + "/Made/SU.INP"));
  EXPECT_EQ(Data().PesticideName(), "Made");

  // Refused names: the message, no folder, the name kept.
  struct TCase {
    std::string Name;
    std::string Error;
  };
  const std::string notAllowed = "may not contain";
  const std::vector<TCase> cases = {
      {"Pest'Q", notAllowed},
      {"Pest+Plus", notAllowed},
      {" Lead", "The name of a pesticide may not begin or end with a blank: \" Lead\"."},
      {"Trail ", "The name of a pesticide may not begin or end with a blank: \"Trail \"."},
      {"a/b", "The name of a pesticide may not contain \"/\""},
      {".", "\".\" cannot be the name of a pesticide."}};
  for (const TCase& c : cases) {
    dialogs->Clear();
    dialogs->AnswerSaveFolder(pesticides + "/" + c.Name).AnswerSaveFolder(std::nullopt);
    Click("SaveAsPesticideButton");
    ASSERT_EQ(Errors().size(), 1u) << c.Name;
    EXPECT_NE(Errors()[0].find(c.Error), std::string::npos) << Errors()[0];
    // The chooser stayed open with the name as typed.
    ASSERT_EQ(dialogs->Records().size(), 3u);
    EXPECT_EQ(dialogs->Records()[2].Name, c.Name);
  }
  EXPECT_EQ(Folders(pesticides), (std::vector<std::string>{"Cpf", fosse, "Made"}));
  EXPECT_EQ(Data().PesticideName(), "Made");

  // A name in another case is that folder: the question, and the folder's
  // own name.
  dialogs->Clear();
  dialogs->AnswerSaveFolder(pesticides + "/cpf").AnswerQuestion(true);
  Click("SaveAsPesticideButton");
  EXPECT_EQ(dialogs.LastRecord().Text,
            "A pesticide with this name already exists." + CR + "Overwrite existing pesticide?");
  EXPECT_EQ(Data().PesticideName(), "Cpf");
  EXPECT_EQ(Folders(pesticides), (std::vector<std::string>{"Cpf", fosse, "Made"}));

  // A file of that name is not a folder to save in.
  root.write("PESTICIDES/notes", "mine\n");
  dialogs->Clear();
  dialogs->AnswerSaveFolder(pesticides + "/notes").AnswerSaveFolder(std::nullopt);
  Click("SaveAsPesticideButton");
  EXPECT_EQ(Errors(), std::vector<std::string>{"The pesticide cannot be saved as \"notes\": the directory " +
                                               pesticides + " holds a file of that name."});
  EXPECT_EQ(readFile(pesticides + "/notes"), "mine\n");
  EXPECT_EQ(Data().PesticideName(), "Cpf");
}

// Where the filesystem cannot exchange two folders, a save killed between
// its two moves leaves the scenario only aside, under a hidden name.  Select
// lists it again, loads it, and Save As to its name asks before replacing it.
TEST_F(MainFormTest, AScenarioLeftAsideByAKilledSaveIsFoundAgain) {
  SeedExamples();
  Start();
  const std::string scenarios = root.str() + "/SCENARIOS";
  const std::string mine = scenarios + "/Mine";
  Enter("Width", "2.5");
  dialogs->AnswerSaveFolder(mine);
  Click("SaveAsScenarioButton");
  root.write("SCENARIOS/Mine/notes.txt", "mine");
  const std::string saved = readFile(mine + "/WLPA.INP");
  auto killedBetweenTheMoves = [&] {
    fs::rename(mine, scenarios + "/" + files::AsidePrefix("Mine") + "0123");
    fs::create_directory(scenarios + "/" + files::SavingPrefix("Mine") + "4567");
    dialogs->Clear();
  };

  killedBetweenTheMoves();
  dialogs->AnswerFolder(std::nullopt);
  Click("SelectScenarioButton");
  EXPECT_EQ(readFile(mine + "/notes.txt"), "mine");  // back before the browser lists

  killedBetweenTheMoves();
  Click("NewScenarioButton");
  dialogs->AnswerFolder(mine);
  Click("SelectScenarioButton");
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(Data().ScenarioName(), "Mine");
  EXPECT_EQ(Data().Metrics().BottomWidth(), 2.5);

  killedBetweenTheMoves();
  Enter("Width", "3");
  dialogs->AnswerSaveFolder(mine).AnswerQuestion(false);
  Click("SaveAsScenarioButton");
  EXPECT_EQ(dialogs.LastRecord().Text,
            "A scenario with this name already exists." + CR + "Overwrite existing scenario?");
  EXPECT_EQ(readFile(mine + "/WLPA.INP"), saved);
  EXPECT_EQ(readFile(mine + "/notes.txt"), "mine");
}

TEST_F(MainFormTest, SaveAsThatFailsKeepsTheNameAndLeavesNoFolder) {
  SeedExamples();
  const std::string pesticides = root.str() + "/PESTICIDES";
  fs::rename(pesticides, root.str() + "/Seed");
  fs::create_directory(pesticides);
  SmallFilesystem small(pesticides, "64k");
  if (!small.Mounted()) GTEST_SKIP() << "needs root to mount a small filesystem";
  fs::copy(root.str() + "/Seed/Cpf", pesticides + "/Cpf");
  // Fill it: a folder can still be made, a file cannot be written.
  {
    std::ofstream fill(pesticides + "/fill", std::ios::binary);
    const std::string block(4096, 'x');
    for (int i = 0; i < 64 && fill; ++i) fill.write(block.data(), block.size());
  }
  Start();
  ASSERT_EQ(Data().PesticideName(), "Cpf");
  dialogs->AnswerSaveFolder(pesticides + "/Full");
  Click("SaveAsPesticideButton");
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0].rfind("Cannot write file \"" + pesticides + "/Full/SU.INP\"", 0), 0u)
      << Errors()[0];
  EXPECT_FALSE(fs::exists(pesticides + "/Full"));
  EXPECT_EQ(Data().PesticideName(), "Cpf");
  EXPECT_EQ(Edit("EdtNamePesticide")->text(), "Cpf");
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
  dialogs->AnswerSaveFolder(scenarios + "/Changed").AnswerSaveFolder(pesticides + "/Changed");
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
