// The segment editors as a user drives them: opened from the main window,
// typed into, generated, scaled and closed, with the scripted dialog service
// answering the questions.
#include <QKeyEvent>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "MainFormFixture.h"
#include "frontend/gui/SegmentForms.h"
#include "frontend/qt/StringGrid.h"

namespace kirmel::test {
namespace {

const char* const kOutside = "There are segments outside the specified boundary.\rDo you want to delete them?";

class SegmentEditorTest : public MainFormTest {
 protected:
  // Runs `steps` once a modal dialog of type T is up, inside its loop; a
  // dialog that the steps leave open is closed after them.
  template <class T>
  static void WhenModal(std::function<void(T*)> steps) {
    QTimer::singleShot(0, [steps] {
      auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
      if (!dialog) {
        ADD_FAILURE() << "no " << T::staticMetaObject.className() << " is open";
        return;
      }
      steps(dialog);
      if (dialog->isVisible()) dialog->hide();
    });
  }

  // Opens an editor with a button or menu item of the main window and works
  // in it.
  void InEditor(const std::function<void()>& open, const std::function<void()>& steps) {
    bool ran = false;
    WhenModal<gui::TSegmentEditor>([&](gui::TSegmentEditor* e) {
      editor = e;
      editor->activateWindow();
      Settle();
      steps();
      ran = true;
    });
    open();
    Settle();
    EXPECT_TRUE(ran);
  }
  void InWaterEditor(const std::function<void()>& steps) {
    InEditor([this] { Click("EditDitchButton"); }, steps);
  }

  template <class T = QWidget>
  T* E(const char* name) {
    T* w = editor->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  qt::TStringGrid* Grid() { return E<qt::TStringGrid>("StrGridSegments"); }
  void Press(const char* name) {
    E<QPushButton>(name)->click();
    Settle();
  }
  // Focus moves only in the active window; the offscreen platform does not
  // give it back to the editor when a dialog over it closes.
  void Activate() {
    if (QApplication::activeWindow() != editor) editor->activateWindow();
    Settle();
  }
  // Moves the focus within the editor without pressing anything.
  void LeaveTo(const char* name) {
    Activate();
    E(name)->setFocus();
    Settle();
  }
  // Focuses the grid, as a click into it does.
  void FocusGrid() {
    Activate();
    Grid()->setFocus();
    Settle();
  }
  // Types into a field of the editor and leaves it with the focus.
  void Type(const char* name, const QString& text) {
    QLineEdit* edit = E<QLineEdit>(name);
    Activate();
    edit->setFocus();
    Settle();
    edit->setText(text);
    LeaveTo("BitBtnRemove");
  }
  QString LengthText() { return E<QLineEdit>("LengthEdit")->text(); }

  // Fills the generate dialog and presses OK.
  void Generate(const char* radio, const char* field, const QString& text) {
    WhenModal<gui::TGenerateNodesForm>([=](gui::TGenerateNodesForm* g) {
      g->findChild<QRadioButton*>(QString::fromLatin1(radio))->setChecked(true);
      g->findChild<QLineEdit*>(QString::fromLatin1(field))->setText(text);
      g->findChild<QPushButton*>("OKButton")->click();
      EXPECT_FALSE(g->isVisible());
    });
    Press("BitBtnGenerate");
  }
  void Distribute(int n) { Generate("DistributeRadio", "NumSegmentsEdit", QString::number(n)); }
  void OfLength(const QString& l) { Generate("DistanceRadio", "LengthEdit", l); }
  void Quadratic(int n) { Generate("SquareRadio", "NumSqSegmentsEdit", QString::number(n)); }
  void Scale(const QString& factor) {
    WhenModal<gui::TScaleForm>([=](gui::TScaleForm* s) {
      EXPECT_EQ(s->findChild<QLineEdit*>("FactorEdit")->text(), "1");
      s->findChild<QLineEdit*>("FactorEdit")->setText(factor);
      s->findChild<QPushButton*>("OKButton")->click();
    });
    Press("BitBtnScale");
  }

  // One column of the grid, rows 1 .. last.
  std::vector<std::string> Column(int col) {
    std::vector<std::string> out;
    for (int row = 1; row < Grid()->RowCount(); ++row) out.push_back(Grid()->Cell(col, row));
    return out;
  }
  std::vector<double> WaterLengths() {
    std::vector<double> out;
    for (int i = 1; i <= Data().Ditch().NodeCount(); ++i) out.push_back(Data().Ditch().Node(i).Length());
    return out;
  }
  std::vector<double> LayerThicknesses() {
    std::vector<double> out;
    for (int i = 1; i <= Data().Sediment().NodeCount(); ++i)
      out.push_back(Data().Sediment().Node(i).Length());
    return out;
  }

  // What a refused action must leave as it was: the segments, the totals in
  // the model and in the field, and every cell of the grid.
  struct TState {
    std::vector<double> lengths;
    double total;
    QString field;
    std::vector<std::string> cells;
    bool operator==(const TState&) const = default;
  };
  TState State() {
    const fe::TSegmentList list = editor->List();
    TState s{{}, list.Total(), LengthText(), {}};
    for (int i = 1; i <= list.Count(); ++i) s.lengths.push_back(list.SegmentLength(i));
    for (int col = 0; col < Grid()->ColCount(); ++col)
      for (const std::string& cell : Column(col)) s.cells.push_back(cell);
    return s;
  }
  // The error before the last one.
  std::string PreviousError() {
    const std::vector<std::string> errors = Errors();
    return errors.size() >= 2 ? errors[errors.size() - 2] : std::string();
  }
  void ExpectUnchangedBy(const std::string& error, const std::function<void()>& action) {
    const TState before = State();
    const std::size_t errors = Errors().size();
    action();
    ASSERT_EQ(Errors().size(), errors + 1) << error;
    EXPECT_EQ(LastError(), error);
    EXPECT_TRUE(State() == before) << error;
  }

  gui::TSegmentEditor* editor = nullptr;
};

TEST_F(SegmentEditorTest, WaterLayerCutGenerateRemoveAndClose) {
  Start();
  InWaterEditor([&] {
    EXPECT_EQ(editor->windowTitle(), "Water layer segments");
    EXPECT_EQ(LengthText(), "320");
    EXPECT_EQ(Grid()->RowCount(), 81);
    EXPECT_EQ(Grid()->Cell(0, 0), "Segment nr.");
    EXPECT_EQ(Grid()->Cell(1, 0), "Position (m)");
    EXPECT_EQ(Grid()->Cell(2, 0), "Length (m)");
    EXPECT_EQ(Grid()->Cell(1, 80), "316.0 - 320.0");

    // Segment 80 made 5 m long reaches beyond 320 m: Close asks, and No
    // keeps the editor open with the segments and the focus where they are.
    // Back in the grid, segment 80 is corrected without another question.
    FocusGrid();
    Grid()->SetCell(2, 80, "5");
    LeaveTo("BitBtnClose");
    EXPECT_EQ(Data().Ditch().Node(80).Length(), 5);
    dialogs->AnswerConfirm(false);
    Press("BitBtnClose");
    EXPECT_TRUE(editor->isVisible());
    ASSERT_EQ(dialogs->Records().size(), 1u);
    EXPECT_EQ(dialogs.LastRecord().Text, kOutside);
    EXPECT_EQ(LengthText(), "320");
    EXPECT_EQ(WaterLengths().back(), 5);
    EXPECT_EQ(QApplication::focusWidget(), E("BitBtnClose"));
    FocusGrid();
    Grid()->SetCell(2, 80, "4");
    LeaveTo("BitBtnRemove");
    EXPECT_EQ(dialogs->Records().size(), 1u);
    EXPECT_EQ(WaterLengths(), std::vector<double>(80, 4));
    EXPECT_EQ(Grid()->Cell(1, 80), "316.0 - 320.0");

    // 100 m: the 55 segments beyond it go after the question.
    dialogs->AnswerConfirm(true);
    Type("LengthEdit", "100");
    EXPECT_EQ(dialogs.LastRecord().Text, kOutside);
    EXPECT_EQ(Data().Ditch().NodeCount(), 25);
    EXPECT_EQ(Data().Ditch().Length(), 100);
    Distribute(10);
    EXPECT_EQ(WaterLengths(), std::vector<double>(10, 10));
    EXPECT_EQ(Grid()->Cell(1, 10), "90.0 - 100.0");

    // 95 m: No keeps everything and shows 100 again; Yes cuts the last
    // segment to 5 m.
    dialogs->AnswerConfirm(false);
    Type("LengthEdit", "95");
    EXPECT_EQ(LengthText(), "100");
    EXPECT_EQ(Data().Ditch().Length(), 100);
    EXPECT_EQ(WaterLengths(), std::vector<double>(10, 10));
    dialogs->AnswerConfirm(true);
    Type("LengthEdit", "95");
    EXPECT_EQ(Data().Ditch().Length(), 95);
    EXPECT_EQ(Data().Ditch().NodeCount(), 10);
    EXPECT_EQ(Data().Ditch().Node(10).Length(), 5);
    EXPECT_EQ(Grid()->Cell(1, 10), "90.0 - 95.0");
    EXPECT_EQ(Grid()->Cell(2, 10), "5");

    // Back to 100 m (no question: nothing lies beyond), then 30 m segments.
    Type("LengthEdit", "100");
    OfLength("30");
    EXPECT_EQ(WaterLengths(), (std::vector<double>{30, 30, 30, 10}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"30", "30", "30", "10"}));

    // A length typed into the grid goes through the segment's setter; the
    // positions follow.
    FocusGrid();
    Grid()->SetCell(2, 4, "12");
    LeaveTo("BitBtnRemove");
    EXPECT_EQ(Data().Ditch().Node(4).Length(), 12);
    EXPECT_EQ(Grid()->Cell(1, 4), "90.0 - 102.0");
    FocusGrid();
    Grid()->SetCell(2, 2, "2000");
    LeaveTo("BitBtnRemove");
    EXPECT_EQ(LastError(), "Length of segment must lie between 0.05 and 1000");
    EXPECT_EQ(Data().Ditch().Node(2).Length(), 30);
    EXPECT_EQ(Grid()->Row(), 2);
    EXPECT_EQ(Grid()->Col(), 2);
    Grid()->SetCell(2, 2, "x");
    LeaveTo("BitBtnRemove");
    EXPECT_EQ(LastError(), "Illegal real value");
    Grid()->SetCell(2, 2, "30");
    Grid()->SetCell(2, 4, "10");

    // Remove takes the current row; the last segment cannot go.
    Grid()->SetCurrentCell(2, 1);
    Press("BitBtnRemove");  // commits the grid first, then removes row 1
    EXPECT_EQ(WaterLengths(), (std::vector<double>{30, 30, 10}));
    Distribute(0);
    EXPECT_EQ(WaterLengths(), std::vector<double>{100});
    Grid()->SetCurrentCell(2, 1);
    Press("BitBtnRemove");
    EXPECT_EQ(WaterLengths(), std::vector<double>{100});

    // No segment is selected for output: closing selects the last one.
    EXPECT_EQ(Data().Ditch().OutputNodeCount(), 0);
    Press("BitBtnClose");
    EXPECT_FALSE(editor->isVisible());
  });
  EXPECT_TRUE(Data().Ditch().Node(1).Output());
  EXPECT_EQ(Find<QListWidget>("OutputList")->count(), 1);
  EXPECT_EQ(Find<QListWidget>("OutputList")->item(0)->text(), "1      0.00 -   100.00");
  EXPECT_EQ(Find<QListWidget>("RemainingList")->count(), 0);
  EXPECT_EQ(LabelText("DitchLengthLabel2"), "Length=100 m");
  EXPECT_EQ(LabelText("DitchNodesLabel"), "1");
  EXPECT_EQ(Errors().size(), 2u);
}

TEST_F(SegmentEditorTest, RefusalsLeaveListTotalAndGridAsTheyWere) {
  Start();
  InWaterEditor([&] {
    const std::string segment = "Length of segment must lie between 0.05 and 1000";
    // Clear list on a 5000 m water body.
    Type("LengthEdit", "5000");
    ASSERT_EQ(Data().Ditch().Length(), 5000);
    dialogs->AnswerConfirm(true);
    ExpectUnchangedBy(segment, [&] { Press("BitBtnClear"); });
    ASSERT_GE(dialogs->Records().size(), 2u);
    EXPECT_EQ(dialogs->Records()[dialogs->Records().size() - 2].Text,
              "Are you sure you want to delete all segments?");

    // The segments do not cover 5000 m: Close, Escape and the window's close
    // button all keep the editor open.
    const std::string shortText =
        "The cumulative length of the segments\ris smaller then the length of the waterbody.";
    ExpectUnchangedBy(shortText, [&] { Press("BitBtnClose"); });
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    ExpectUnchangedBy(shortText, [&] { QApplication::sendEvent(editor, &escape); });
    ExpectUnchangedBy(shortText, [&] { editor->close(); });
    EXPECT_TRUE(editor->isVisible());

    // 10 m into 500 segments; 0.05 m segments over 10 m would be 200, over
    // 100 m 2000.
    dialogs->AnswerConfirm(true);
    Type("LengthEdit", "10");
    EXPECT_EQ(dialogs.LastRecord().Text, kOutside);
    EXPECT_EQ(WaterLengths(), (std::vector<double>{4, 4, 2}));
    ExpectUnchangedBy(segment, [&] { Distribute(500); });
    Type("LengthEdit", "100");
    ExpectUnchangedBy("Too many segments", [&] { OfLength("0.05"); });
    ExpectUnchangedBy("Maximum number of segments reached", [&] { Distribute(501); });

    // Cutting 10 x 10 m to 90.02 m: the question, then the refusal; the
    // field shows 100 again.
    Distribute(10);
    dialogs->AnswerConfirm(true);
    ExpectUnchangedBy(segment, [&] { Type("LengthEdit", "90.02"); });
    EXPECT_EQ(LengthText(), "100");

    // The field's own checks.
    ExpectUnchangedBy("Illegal value", [&] { Type("LengthEdit", "abc"); });
    ExpectUnchangedBy("Length must be greater than zero", [&] { Type("LengthEdit", "0"); });
    ExpectUnchangedBy("Length must be between 0.05 and 10000", [&] { Type("LengthEdit", "1E5"); });

    // Scaling 300 m by 40; then by 0.5.
    Type("LengthEdit", "300");
    Distribute(3);
    ExpectUnchangedBy("Length must lie between 0.05 and 10000;\rMaximal scaling factor is 33.3",
                      [&] { Scale("40"); });
    Scale("0.5");
    EXPECT_EQ(WaterLengths(), (std::vector<double>{50, 50, 50}));
    EXPECT_EQ(Data().Ditch().Length(), 150);
    EXPECT_EQ(LengthText(), "150");
    EXPECT_EQ(Grid()->Cell(1, 3), "100.0 - 150.0");

    // The dialogs keep a refused value open: factor 0, length 0, a count
    // beyond any integer.  The water layer is not offered layers from 1 mm.
    WhenModal<gui::TScaleForm>([&](gui::TScaleForm* s) {
      s->findChild<QLineEdit*>("FactorEdit")->setText("0");
      s->findChild<QPushButton*>("OKButton")->click();
      EXPECT_TRUE(s->isVisible());
      s->findChild<QPushButton*>("CancelButton")->click();
    });
    ExpectUnchangedBy("Factor must be greater than zero", [&] { Press("BitBtnScale"); });
    WhenModal<gui::TGenerateNodesForm>([&](gui::TGenerateNodesForm* g) {
      EXPECT_FALSE(g->findChild<QRadioButton*>("SquareRadio")->isVisible());
      g->findChild<QRadioButton*>("DistanceRadio")->setChecked(true);
      g->findChild<QLineEdit*>("LengthEdit")->setText("0");
      g->findChild<QPushButton*>("OKButton")->click();
      EXPECT_TRUE(g->isVisible());
      g->findChild<QRadioButton*>("DistributeRadio")->setChecked(true);
      g->findChild<QLineEdit*>("NumSegmentsEdit")->setText("1E20");
      g->findChild<QPushButton*>("OKButton")->click();
      EXPECT_TRUE(g->isVisible());
      g->findChild<QPushButton*>("CancelButton")->click();
    });
    const TState before = State();
    Press("BitBtnGenerate");
    EXPECT_EQ(PreviousError(), "Length must be greater than zero");
    EXPECT_EQ(LastError(), "Illegal value");
    EXPECT_TRUE(State() == before);

    // Escape closes once the segments fit.
    QApplication::sendEvent(editor, &escape);
    Settle();
    EXPECT_FALSE(editor->isVisible());
  });
  EXPECT_EQ(LabelText("DitchLengthLabel"), "150 m");
  EXPECT_EQ(Data().Ditch().OutputNodeCount(), 1);
  EXPECT_TRUE(Data().Ditch().Node(3).Output());
}

// Minimising a window and restoring it shows it again; what was typed in it
// stays, in the editor and in its dialogs.
TEST_F(SegmentEditorTest, MinimiseAndRestoreKeepWhatWasTyped) {
  Start();
  const auto minimiseAndRestore = [](QWidget* window) {
    window->showMinimized();
    Settle();
    window->showNormal();
    Settle();
    EXPECT_TRUE(window->isVisible());
  };
  InWaterEditor([&] {
    FocusGrid();
    Grid()->SetCell(2, 3, "2.5");
    minimiseAndRestore(editor);
    Activate();
    EXPECT_EQ(Grid()->Cell(2, 3), "2.5");
    LeaveTo("BitBtnRemove");
    EXPECT_EQ(Data().Ditch().Node(3).Length(), 2.5);

    QLineEdit* length = E<QLineEdit>("LengthEdit");
    length->setFocus();
    Settle();
    length->setText("95");
    minimiseAndRestore(editor);
    Activate();
    EXPECT_EQ(LengthText(), "95");
    // Taking the field cuts the segments beyond 95 m after the question.
    dialogs->AnswerConfirm(true);
    LeaveTo("BitBtnRemove");
    EXPECT_EQ(Data().Ditch().Length(), 95);
    EXPECT_EQ(dialogs.LastRecord().Text, kOutside);

    Distribute(10);
    WhenModal<gui::TScaleForm>([&](gui::TScaleForm* s) {
      auto* factor = s->findChild<QLineEdit*>("FactorEdit");
      factor->setText("2");
      minimiseAndRestore(s);
      EXPECT_EQ(factor->text(), "2");
      s->findChild<QPushButton*>("OKButton")->click();
    });
    Press("BitBtnScale");
    EXPECT_EQ(Data().Ditch().Length(), 190);
    EXPECT_EQ(WaterLengths(), std::vector<double>(10, 19));

    WhenModal<gui::TGenerateNodesForm>([&](gui::TGenerateNodesForm* g) {
      g->findChild<QRadioButton*>("DistanceRadio")->setChecked(true);
      g->findChild<QLineEdit*>("LengthEdit")->setText("95");
      minimiseAndRestore(g);
      EXPECT_TRUE(g->findChild<QRadioButton*>("DistanceRadio")->isChecked());
      g->findChild<QPushButton*>("OKButton")->click();
    });
    Press("BitBtnGenerate");
    EXPECT_EQ(WaterLengths(), (std::vector<double>{95, 95}));

    // Opened again, the editor and the scale dialog start afresh.
    Press("BitBtnClose");
    EXPECT_FALSE(editor->isVisible());
  });
  Data().Ditch().SetLength(200);
  Data().Ditch().Node(2).SetLength(105);
  InWaterEditor([&] {
    EXPECT_EQ(LengthText(), "200");
    EXPECT_EQ(Column(2), (std::vector<std::string>{"95", "105"}));
    Scale("1");  // the field shows 1 again
  });
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SegmentEditorTest, SedimentLayersPropertiesTopLayersAndQuadraticGeneration) {
  Start();
  InEditor([&] { form->findChild<QAction*>("Sediment1")->trigger(); }, [&] {
    EXPECT_EQ(editor->windowTitle(), "Sediment segments");
    EXPECT_EQ(LengthText(), "0.1");
    EXPECT_EQ(Grid()->RowCount(), 15);
    const std::vector<std::string> headers = {"No.",          "Position (m)",   "Thickness (m)",
                                              "Bulk density (kg/m3)", "Porosity (-)",
                                              "Tortuosity (-)", "Mass ratio o.m. (-)"};
    for (int c = 0; c < 7; ++c) EXPECT_EQ(Grid()->Cell(c, 0), headers[static_cast<std::size_t>(c)]);
    EXPECT_EQ(Grid()->columnWidth(0), 35);
    EXPECT_EQ(Grid()->Cell(1, 14), "0.0800 - 0.1000");
    EXPECT_EQ(E<QLineEdit>("NumCompartmentsEdit")->text(), "7");

    // Quadratic: 10 layers over 0.1 m, 1 .. 19 mm, with the new layers' soil.
    Quadratic(10);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"0.001", "0.003", "0.005", "0.007", "0.009",
                                                   "0.011", "0.013", "0.015", "0.017", "0.019"}));
    EXPECT_EQ(Grid()->Cell(1, 10), "0.0810 - 0.1000");
    EXPECT_EQ(Grid()->Cell(3, 1), "400");
    EXPECT_EQ(Grid()->Cell(6, 1), "0.08");

    // Properties typed into the grid: the rows before a refused cell are
    // taken, the refused cell gets the focus.
    FocusGrid();
    Grid()->SetCell(4, 2, "0.5");
    Grid()->SetCell(3, 3, "1200");
    Grid()->SetCell(4, 3, "2");
    LeaveTo("BitBtnRemove");
    EXPECT_EQ(LastError(), "Porosity must lie between 0 and 1");
    EXPECT_EQ(Data().Sediment().Node(2).Porosity(), 0.5);
    EXPECT_EQ(Data().Sediment().Node(3).BulkDensity(), 1200);
    EXPECT_EQ(Data().Sediment().Node(3).Porosity(), 0.8);
    EXPECT_EQ(Grid()->Col(), 4);
    EXPECT_EQ(Grid()->Row(), 3);
    Grid()->SetCell(4, 3, "0.6");
    LeaveTo("BitBtnRemove");
    EXPECT_EQ(Data().Sediment().Node(3).Porosity(), 0.6);

    // The number of top layers.
    Type("NumCompartmentsEdit", "0");
    EXPECT_EQ(LastError(), "Number of top segments must lie between 1 and 200");
    EXPECT_EQ(Data().KTop(), 7);
    Type("NumCompartmentsEdit", "1E20");
    EXPECT_EQ(LastError(), "Illegal value");
    Type("NumCompartmentsEdit", "3");
    EXPECT_EQ(Data().KTop(), 3);

    // More layers than the list holds: refused before any change.
    ExpectUnchangedBy("Maximum number of segments reached", [&] { Quadratic(101); });

    // 0.02 m: the layers below go after the question; then 5 layers from
    // 1 mm come to 20.2 mm, and closing asks again and cuts the last one.
    dialogs->AnswerConfirm(true);
    Type("LengthEdit", "0.02");
    EXPECT_EQ(Column(2), (std::vector<std::string>{"0.001", "0.003", "0.005", "0.007", "0.004"}));
    // 30 layers of at least 1 mm do not fit in 0.02 m.
    ExpectUnchangedBy("30 segments starting with 1 mm do not fit in a thickness of 0.02 m",
                      [&] { Quadratic(30); });
    Quadratic(5);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"0.001", "0.0024", "0.0042", "0.0052", "0.0074"}));
    dialogs->AnswerConfirm(true);
    Press("BitBtnClose");
    EXPECT_EQ(dialogs.LastRecord().Text, kOutside);
    EXPECT_FALSE(editor->isVisible());
  });
  ASSERT_EQ(Data().Sediment().NodeCount(), 5);
  EXPECT_NEAR(Data().Sediment().Node(5).Length(), 0.0072, 1e-15);
  EXPECT_EQ(Data().Sediment().SedimentLength(), 0.02);
  EXPECT_EQ(Data().KTop(), 3);
  EXPECT_EQ(LabelText("SedimentNodesLabel"), "5");
  EXPECT_EQ(LabelText("SedimentLengthLabel"), "0.02 m");
}

}  // namespace
}  // namespace kirmel::test
