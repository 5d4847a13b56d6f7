// Closing the window, New and Select never drop changes the user has not
// saved: they ask, and Cancel, No and Yes do what they say.
#include <QAction>
#include <cerrno>

#include "MainFormFixture.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using qt::TChoice;

class UnsavedChangesTest : public MainFormTest {
 protected:
  void SetUp() override {
    SeedExamples();
    Start();
  }
  std::string Hy() { return readFile(root.str() + "/SCENARIOS/NLStandard_sp/HY.INP"); }
  std::string Su() { return readFile(root.str() + "/PESTICIDES/Cpf/SU.INP"); }
  // The texts of the three-answer questions so far, and forgets all dialogs.
  std::vector<std::string> Questions() {
    std::vector<std::string> out;
    for (const qt::TDialogRecord& r : dialogs->Records())
      if (r.Kind == qt::TDialogKind::YesNoCancel) out.push_back(r.Text);
    dialogs->Clear();
    return out;
  }
  void Reopen() {
    form->show();
    form->activateWindow();
    Settle();
  }
};

using Texts = std::vector<std::string>;

TEST_F(UnsavedChangesTest, ClosingAsksAndCancelNoAndYesDoWhatTheySay) {
  const std::string hy = Hy();
  ASSERT_NE(hy.find("  u = 10. "), std::string::npos);

  // Nothing changed: no question, the window closes.
  Click("ExitButton");
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Questions(), Texts{});
  Reopen();

  // A flow velocity changed from 10 to 30.  Cancel keeps the window and the
  // change, and writes nothing.
  Enter("ConstantFlow", "30");
  dialogs->AnswerYesNoCancel(TChoice::Cancel);
  Click("ExitButton");
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Questions(), Texts{"Save changes to scenario NLStandard_sp?"});
  EXPECT_EQ(Data().Hydrology().FlowVelocity(), 30);
  EXPECT_EQ(Hy(), hy);

  // No closes (the window's close box) and saves nothing.
  dialogs->AnswerYesNoCancel(TChoice::No);
  form->close();
  Settle();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Questions(), Texts{"Save changes to scenario NLStandard_sp?"});
  EXPECT_EQ(Hy(), hy);
  Reopen();

  // Yes (File > Exit) saves as Save does, without its own question, then
  // closes; afterwards nothing counts as changed.
  dialogs->AnswerYesNoCancel(TChoice::Yes);
  form->findChild<QAction*>("Exit1")->trigger();
  Settle();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Questions(), Texts{"Save changes to scenario NLStandard_sp?"});
  EXPECT_NE(Hy().find("  u = 30. "), std::string::npos);
  Reopen();
  form->close();
  EXPECT_EQ(Questions(), Texts{});
  Reopen();

  // A value typed but not yet left counts; so does the pesticide, asked
  // after the scenario.
  Enter("MolecularMass", "300");
  QLineEdit* flow = Edit("ConstantFlow");
  FocusOn(flow);
  flow->setText("40");
  dialogs->AnswerYesNoCancel(TChoice::No).AnswerYesNoCancel(TChoice::Cancel);
  form->close();
  Settle();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Data().Hydrology().FlowVelocity(), 40);
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(Questions(), (Texts{"Save changes to scenario NLStandard_sp?",
                                "Save changes to pesticide Cpf?"}));
}

TEST_F(UnsavedChangesTest, ASaveThatFailsOrIsCancelledKeepsTheWindowAndTheModel) {
  const std::string hy = Hy();
  Enter("ConstantFlow", "30");
  // The disk is full: the error is shown, the files stay, the window stays.
  form->Editor().SetSaveFault([](files::TSaveStep step, const std::string& name) {
    return step == files::TSaveStep::WriteFile && name == "HY.INP" ? ENOSPC : 0;
  });
  dialogs->AnswerYesNoCancel(TChoice::Yes);
  form->close();
  Settle();
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_NE(Errors()[0].find("HY.INP\": No space left on device"), std::string::npos) << Errors()[0];
  EXPECT_EQ(Hy(), hy);
  EXPECT_EQ(Data().ScenarioName(), "NLStandard_sp");
  form->Editor().SetSaveFault({});
  dialogs->Clear();

  // New and Select ask the same question before they replace anything;
  // Cancel keeps the model.
  dialogs->AnswerYesNoCancel(TChoice::Cancel);
  Click("NewScenarioButton");
  EXPECT_EQ(Data().ScenarioName(), "NLStandard_sp");
  EXPECT_EQ(Data().Hydrology().FlowVelocity(), 30);
  dialogs->AnswerYesNoCancel(TChoice::Cancel);
  Click("SelectScenarioButton");  // no folder browser
  EXPECT_EQ(Questions(), (Texts{"Save changes to scenario NLStandard_sp?",
                                "Save changes to scenario NLStandard_sp?"}));

  // No: New replaces it, and the new scenario is unchanged.
  dialogs->AnswerYesNoCancel(TChoice::No);
  Click("NewScenarioButton");
  EXPECT_EQ(Data().ScenarioName(), "DefaultScenario");
  EXPECT_FALSE(form->Editor().ScenarioChanged());
  EXPECT_EQ(Hy(), hy);

  // A changed new scenario saves through SaveAs; cancelling its
  // chooser is no save, so the scenario is not replaced.
  Enter("ConstantFlow", "35");
  dialogs->AnswerYesNoCancel(TChoice::Yes).AnswerSaveFolder(std::nullopt);
  Click("SelectScenarioButton");
  EXPECT_EQ(Data().ScenarioName(), "DefaultScenario");
  EXPECT_EQ(Data().Hydrology().FlowVelocity(), 35);
  // Yes and a folder: saved as "Mine", then the selection goes on.
  const std::string scenarios = root.str() + "/SCENARIOS";
  dialogs->AnswerYesNoCancel(TChoice::Yes)
      .AnswerSaveFolder(scenarios + "/Mine")
      .AnswerFolder(scenarios + "/NLStandard_sp");
  Click("SelectScenarioButton");
  EXPECT_EQ(Data().ScenarioName(), "NLStandard_sp");
  EXPECT_EQ(Data().Hydrology().FlowVelocity(), 10);
  EXPECT_NE(readFile(scenarios + "/Mine/HY.INP").find("  u = 35. "), std::string::npos);

  // The pesticide buttons ask about the pesticide only.
  Enter("MolecularMass", "300");
  dialogs->AnswerYesNoCancel(TChoice::Cancel);
  Click("NewPesticideButton");
  EXPECT_EQ(Data().PesticideName(), "Cpf");
  dialogs->AnswerYesNoCancel(TChoice::No);
  Click("NewPesticideButton");
  EXPECT_EQ(Data().PesticideName(), "DefaultPesticide");
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(Questions(), (Texts{"Save changes to scenario NLStandard_sp?",
                                "Save changes to scenario DefaultScenario?",
                                "Save changes to scenario DefaultScenario?",
                                "Save changes to pesticide Cpf?", "Save changes to pesticide Cpf?"}));
}

// A Save As whose new version is in place, but whose last flush the system
// did not confirm, says so; the window then shows the new name and counts the
// model as saved under it, so that no later question offers to write the
// changes over the scenario the user saved them away from.
TEST_F(UnsavedChangesTest, ASaveAsInPlaceButNotConfirmedKeepsTheNewName) {
  const std::string hy = Hy();
  const std::string scenarios = root.str() + "/SCENARIOS";
  const std::string pesticides = root.str() + "/PESTICIDES";
  Enter("ConstantFlow", "30");
  Enter("MolecularMass", "300");
  form->Editor().SetSaveFault([](files::TSaveStep step, const std::string&) {
    return step == files::TSaveStep::SyncParent ? EIO : 0;
  });
  dialogs->AnswerSaveFolder(scenarios + "/Copy");
  Click("SaveAsScenarioButton");
  dialogs->AnswerSaveFolder(pesticides + "/CpfCopy");
  Click("SaveAsPesticideButton");
  ASSERT_EQ(Errors().size(), 2u);
  EXPECT_EQ(Errors()[0], "\"" + scenarios + "/Copy\" has been saved, but the system did not confirm "
                         "that it is on disk: Input/output error");
  EXPECT_EQ(Errors()[1], "\"" + pesticides + "/CpfCopy\" has been saved, but the system did not "
                         "confirm that it is on disk: Input/output error");
  EXPECT_EQ(Data().ScenarioName(), "Copy");
  EXPECT_EQ(Edit("EdtNameScenario")->text(), "Copy");
  EXPECT_EQ(Data().PesticideName(), "CpfCopy");
  EXPECT_EQ(Edit("EdtNamePesticide")->text(), "CpfCopy");
  EXPECT_NE(readFile(scenarios + "/Copy/HY.INP").find("  u = 30. "), std::string::npos);
  form->Editor().SetSaveFault({});
  dialogs->Clear();

  form->close();
  Settle();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(Questions(), Texts{});
  EXPECT_EQ(Hy(), hy);
}

}  // namespace
}  // namespace kirmel::test
