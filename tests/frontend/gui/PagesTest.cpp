// Output segments, output files, the initial-concentration and drift grids,
// and the refresh after the segment editors.
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "MainFormFixture.h"
#include "frontend/qt/StringGrid.h"

namespace kirmel::test {
namespace {

QStringList Lines(QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

TEST_F(MainFormTest, OutputSegmentsShowHideAndTheirLimits) {
  Start();
  auto* selected = Find<QListWidget>("OutputList");
  auto* remaining = Find<QListWidget>("RemainingList");
  EXPECT_EQ(Lines(selected), (QStringList{"1      0.00 -     4.00", "80    316.00 -   320.00"}));
  EXPECT_EQ(remaining->count(), 78);

  // Show the last remaining line: the selection moves up to the new last one.
  remaining->setCurrentRow(77);
  Click("ShowButton");
  EXPECT_TRUE(Data().Ditch().Node(79).Output());
  EXPECT_EQ(remaining->currentRow(), 76);
  // Up to nine segments.
  for (int i = 0; i < 6; ++i) {
    remaining->setCurrentRow(0);
    Click("ShowButton");
  }
  EXPECT_EQ(selected->count(), 9);
  EXPECT_EQ(Data().Ditch().OutputNodeCount(), 9);
  EXPECT_EQ(remaining->currentRow(), 0);
  remaining->setCurrentRow(3);
  Click("ShowButton");
  EXPECT_EQ(Errors(), std::vector<std::string>{"Maximum number of nodes for output reached"});
  EXPECT_EQ(Data().Ditch().OutputNodeCount(), 9);

  // Hide down to one; the last one stays.
  selected->setCurrentRow(1);
  Click("HideButton");
  EXPECT_FALSE(Data().Ditch().Node(2).Output());
  EXPECT_EQ(selected->currentRow(), 1);
  while (selected->count() > 1) {
    selected->setCurrentRow(selected->count() - 1);
    Click("HideButton");
  }
  Click("HideButton");
  EXPECT_EQ(LastError(), "At least one segment must stay selected for output");
  EXPECT_EQ(Data().Ditch().OutputNodeCount(), 1);
  EXPECT_TRUE(Data().Ditch().Node(1).Output());
}

TEST_F(MainFormTest, AllAndNeededLockAndSetTheBoxes) {
  Start();
  const char* boxes[] = {"ofEcho", "ofInitCalcWl", "ofInitCalcSed", "ofConcWLSegment",
                         "ofConcSed", "ofDistributionWL", "ofDistributionSed", "ofMassBalanceWL",
                         "ofMassBalanceSegment", "ofMassBalanceAllSed", "ofMassBalanceSed"};
  const fe::TSettings& s = form->Editor().Settings();
  auto states = [&] {
    std::string out;
    for (const char* b : boxes) {
      auto* box = Find<QCheckBox>(b);
      out += box->isChecked() ? (box->isEnabled() ? 'X' : 'x') : (box->isEnabled() ? 'O' : 'o');
    }
    return out;
  };
  // Needed (the default): echo, concentrations, distributions, water-layer
  // and all-sediment mass balances; locked.
  EXPECT_EQ(states(), "xooxxxxxoxo");

  ClickBox("ofAll");
  EXPECT_EQ(states(), "xxxxxxxxxxx");
  EXPECT_FALSE(Find<QCheckBox>("ofNeeded")->isChecked());
  EXPECT_TRUE(s.IsAllOutput());

  ClickBox("ofAll");
  EXPECT_EQ(states(), "OOOOOOOOOOO");
  EXPECT_FALSE(s.op_input || s.op_dbdit || s.op_wbmbnodenr);

  ClickBox("ofEcho");
  ClickBox("ofMassBalanceSed");
  EXPECT_TRUE(s.op_input && s.op_wbmbnodenr);
  EXPECT_FALSE(s.op_wlmb);

  ClickBox("ofNeeded");
  EXPECT_EQ(states(), "xooxxxxxoxo");
  EXPECT_TRUE(s.IsNeededOutput());
  ClickBox("ofNeeded");
  EXPECT_EQ(states(), "XOOXXXXXOXO");  // unlocked, as they were
  EXPECT_TRUE(s.IsNeededOutput());

  // A set that is neither shows both unchecked and the boxes free.
  ClickBox("ofInitCalcWl");
  form->ShowOutputOptions();
  EXPECT_FALSE(Find<QCheckBox>("ofNeeded")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("ofAll")->isChecked());
  EXPECT_EQ(states(), "XXOXXXXXOXO");
}

TEST_F(MainFormTest, InitialConcentrationGrid) {
  Start();
  auto* grid = Find<qt::TStringGrid>("StrGridICSegments");
  EXPECT_EQ(grid->RowCount(), 81);
  EXPECT_EQ(grid->Cell(0, 0), "Position (m)");
  EXPECT_EQ(grid->Cell(1, 0), "Initial (µg/L)");
  EXPECT_EQ(grid->Cell(0, 2), "    4.00 -     8.00");
  EXPECT_EQ(grid->Cell(1, 2), "0");

  FocusOn(grid);
  grid->SetCell(1, 2, "12.5");
  grid->SetCell(1, 3, "");
  Leave();
  EXPECT_EQ(Data().Ditch().Node(2).InitialConcentration(), 12.5);
  EXPECT_EQ(grid->Cell(1, 3), "0");

  // A refused value is shown on its cell; the rows before it are taken.
  FocusOn(grid);
  grid->SetCell(1, 4, "7");
  grid->SetCell(1, 5, "200000");
  Leave();
  EXPECT_EQ(Errors(), std::vector<std::string>{"Initial mass concentration must lie between 0 and 100000"});
  EXPECT_EQ(Data().Ditch().Node(4).InitialConcentration(), 7);
  EXPECT_EQ(Data().Ditch().Node(5).InitialConcentration(), 0);
  EXPECT_EQ(grid->Row(), 5);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(Focused(), grid);
  grid->SetCell(1, 5, "x");
  Leave();
  EXPECT_EQ(LastError(), "Illegal real value");
  grid->SetCell(1, 5, "1");
  Leave();
  EXPECT_EQ(Errors().size(), 2u);

  // Set all, for the water layer and for the sediment.
  Edit("InitialConcEdit")->setText("5");
  Click("SetAllButton");
  EXPECT_EQ(Data().Ditch().Node(80).InitialConcentration(), 5);
  EXPECT_EQ(grid->Cell(1, 80), "5");
  Edit("InitialConcEdit")->setText("100001");
  Click("SetAllButton");
  EXPECT_EQ(LastError(), "Initial mass concentration in water layer must lie between 0 and 100000");
  EXPECT_EQ(Data().Ditch().Node(80).InitialConcentration(), 5);

  Find<QRadioButton>("ICSedimentRadio")->click();
  Settle();
  EXPECT_EQ(grid->RowCount(), 15);
  EXPECT_EQ(grid->Cell(0, 1), "0.0000 - 0.0010");
  Click("SetAllButton");
  EXPECT_EQ(Data().Sediment().Node(14).InitialConcentration(), 100001);
}

// Typing into the grid and then clicking the other list's radio button: what
// was typed belongs to the list the grid showed while it was typed.
TEST_F(MainFormTest, InitialConcentrationsTypedBeforeARadioSwitchStayInTheirList) {
  Start();
  auto* grid = Find<qt::TStringGrid>("StrGridICSegments");
  auto* water = Find<QRadioButton>("ICDitchRadio");
  auto* sediment = Find<QRadioButton>("ICSedimentRadio");
  // Types into a cell as a user does: the first key opens the cell's
  // editor, the others go to it.
  auto type = [&](int row, const char* text) {
    grid->SetCurrentCell(1, row);
    for (const char* c = text; *c; ++c) {
      QWidget* target = QApplication::focusWidget();
      QTest::keyClick(target ? target : grid, *c);
    }
    Settle();
  };
  // The text in the cell editor that is open, "" when none is.
  auto editing = [&] {
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return editor && grid->isAncestorOf(editor) ? editor->text() : QString();
  };
  auto initial = [](auto& list, int i) { return list.Node(i).InitialConcentration(); };
  fe::TDitch& ditch = Data().Ditch();
  fe::TSediment& layers = Data().Sediment();

  FocusOn(grid);
  type(2, "12.5");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  Settle();
  type(3, "7");
  ASSERT_EQ(editing(), "7");  // still in the cell's editor
  QTest::mouseClick(sediment, Qt::LeftButton);
  Settle();
  EXPECT_TRUE(sediment->isChecked());
  EXPECT_EQ(initial(ditch, 2), 12.5);
  EXPECT_EQ(initial(ditch, 3), 7);
  EXPECT_EQ(initial(layers, 2), 0);
  EXPECT_EQ(initial(layers, 3), 0);
  EXPECT_EQ(grid->RowCount(), layers.NodeCount() + 1);
  EXPECT_EQ(grid->Cell(1, 2), "0");

  // And back, typing into the sediment's rows.
  FocusOn(grid);
  type(2, "40");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  Settle();
  type(3, "55");
  ASSERT_EQ(editing(), "55");
  QTest::mouseClick(water, Qt::LeftButton);
  Settle();
  EXPECT_TRUE(water->isChecked());
  EXPECT_EQ(initial(layers, 2), 40);
  EXPECT_EQ(initial(layers, 3), 55);
  EXPECT_EQ(initial(ditch, 2), 12.5);
  EXPECT_EQ(initial(ditch, 3), 7);
  EXPECT_EQ(grid->RowCount(), ditch.NodeCount() + 1);
  EXPECT_EQ(grid->Cell(1, 2), "12.5");
  EXPECT_TRUE(Errors().empty());

  // A refused value keeps its list on show, with its radio button checked.
  FocusOn(grid);
  type(4, "x");
  QTest::mouseClick(sediment, Qt::LeftButton);
  Settle();
  EXPECT_EQ(Errors(), std::vector<std::string>{"Illegal real value"});
  EXPECT_TRUE(water->isChecked());
  EXPECT_FALSE(sediment->isChecked());
  EXPECT_EQ(grid->RowCount(), ditch.NodeCount() + 1);
  EXPECT_EQ(grid->Cell(1, 4), "x");
  EXPECT_EQ(initial(layers, 4), 0);
}

TEST_F(MainFormTest, DriftGrid) {
  Start();
  auto* grid = Find<qt::TStringGrid>("StrGridDriftLoadings");
  const fe::TDriftLoadings& list = Data().Drift().Loadings();
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(grid->Cell(3, 0), "Mass (g/m²)");
  EXPECT_EQ(grid->Cell(2, 1), "320");

  FocusOn(grid);
  grid->SetCell(0, 1, "1.5");
  grid->SetCell(3, 1, "0.2");
  Leave();
  EXPECT_EQ(list.Entry(0).EntryTime(), 1.5);
  EXPECT_EQ(list.Entry(0).Mass(), 0.2);

  grid->SetCurrentCell(0, 1);
  Click("DriftInsertButton");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Entry(1).Mass(), 0.2);
  EXPECT_EQ(grid->RowCount(), 3);

  FocusOn(grid);
  grid->SetCell(1, 2, "20000");
  Leave();
  EXPECT_EQ(Errors(), std::vector<std::string>{"Start location must lie between 0 and 10000"});
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->Col(), 1);
  grid->SetCell(1, 2, "30");
  Leave();
  EXPECT_EQ(list.Entry(1).StartPos(), 30);

  grid->SetCurrentCell(0, 1);
  Click("DriftRemoveButton");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Entry(0).StartPos(), 30);
  Click("DriftRemoveButton");  // the last entry stays
  EXPECT_EQ(list.Count(), 1);

  dialogs->AnswerConfirm(false).AnswerConfirm(true);
  Click("DriftClearButton");
  EXPECT_EQ(list.Entry(0).StartPos(), 30);
  Click("DriftClearButton");
  EXPECT_EQ(dialogs.LastRecord().Text, "Are you sure you want to clear the list?");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Entry(0).StartPos(), 20);
  EXPECT_EQ(list.Entry(0).EndPos(), 320);
}

TEST_F(MainFormTest, RefreshAfterTheSegmentEditors) {
  Start();
  // The sediment cut to 3 layers: ktop 7 becomes 3.
  ASSERT_EQ(Data().KTop(), 7);
  fe::TSediment& sediment = Data().Sediment();
  while (sediment.NodeCount() > 3) sediment.RemoveNode(&sediment.Node(sediment.NodeCount()));
  sediment.SetSedimentLength(0.003);
  Find<QRadioButton>("ICSedimentRadio")->click();
  form->AfterSedimentEditor();
  EXPECT_EQ(Data().KTop(), 3);
  EXPECT_EQ(LabelText("SedimentNodesLabel"), "3");
  EXPECT_EQ(LabelText("SedimentLengthLabel"), "0.003 m");
  EXPECT_EQ(Find<qt::TStringGrid>("StrGridICSegments")->RowCount(), 4);

  // The water body shortened to 10 segments of 2 m.
  fe::TDitch& ditch = Data().Ditch();
  while (ditch.NodeCount() > 10) ditch.RemoveNode(&ditch.Node(ditch.NodeCount()));
  for (int i = 1; i <= 10; ++i) ditch.Node(i).SetLength(2);
  ditch.SetLength(20);
  form->AfterDitchEditor();
  EXPECT_EQ(LabelText("DitchLengthLabel2"), "Length=20 m");
  EXPECT_EQ(LabelText("DitchNodesLabel"), "10");
  EXPECT_EQ(Find<QListWidget>("OutputList")->count() + Find<QListWidget>("RemainingList")->count(), 10);
}

}  // namespace
}  // namespace kirmel::test
