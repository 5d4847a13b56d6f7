// The segment editors and their two dialogs:
//   TNodesForm          the water-layer segments of the water body (or a buffer)
//   TSedimentNodesForm  the sediment layers with their soil properties and the
//                       number of top layers averaged in the output
//   TGenerateNodesForm  equal segments, segments of a given length, or layers
//                       growing from 1 mm
//   TScaleForm          the factor by which total and segments are scaled
//
// The main window creates the four once and reuses them.  An editor works on
// the model directly: the list operations are those of fe::TSegmentList, and
// every value typed into the grid goes through the segment's setter.  An
// editor closes (Close, Escape or the window's close button) only when the
// total is valid and the segments cover it.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "frontend/editor/SegmentLists.h"
#include "frontend/qt/FieldCommits.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kirmel::qt {
class TStringGrid;
}

namespace kirmel::gui {

// "Generate": which segments the editor makes.
class TGenerateNodesForm : public QDialog {
  Q_OBJECT

 public:
  enum class TChoice { Distribute, Distance, Square };

  explicit TGenerateNodesForm(QWidget* parent = nullptr);

  // Prepares and shows the dialog modally; true when OK took a valid number.
  bool Execute();
  // What opening does: not yet confirmed, and the quadratic choice shown
  // only with ShowQuadratic.  Not repeated when a restore from minimised
  // shows the dialog again.
  void Prepare();
  TChoice Choice() const;

  int NumSegments = 10;       // distribute and quadratic
  double SegmentLength = 1;   // m, segments with length of
  bool Cancelled = true;
  bool ShowQuadratic = false;  // the quadratic choice is offered only when set

 private:
  void OKButtonClick();
  bool ReadCount(QLineEdit* edit);

  QRadioButton* distributeRadio_;
  QRadioButton* distanceRadio_;
  QRadioButton* squareRadio_;
  QLineEdit* numSegmentsEdit_;
  QLineEdit* lengthEdit_;
  QLineEdit* numSqSegmentsEdit_;
  QLabel* squareUnit_;
};

// "Scaling": the factor for the total and the segments.
class TScaleForm : public QDialog {
  Q_OBJECT

 public:
  explicit TScaleForm(QWidget* parent = nullptr);

  // Starts from the factor 1 and shows the dialog modally; true when OK
  // took a factor above zero.  A restore from minimised keeps what was typed.
  bool Execute();

  double Factor = 1;
  bool Cancelled = true;

 private:
  void OKButtonClick();

  QLineEdit* factorEdit_;
};

// What the two editors share: the total length, the grid of segments and the
// buttons that change the list.
class TSegmentEditor : public QDialog {
  Q_OBJECT

 public:

  // The list to edit (see fe::TSegmentList for the modes) and the caption;
  // the main window sets both before it shows the editor.
  void SetMode(int mode, const QString& caption);
  int Mode() const { return mode_; }
  // The total length being edited (m).
  double Length() const { return length_; }
  fe::TSegmentList List() const;

  // Opening the editor (exec, open) reads the total and the segments from
  // the model afresh; a restore from minimised shows it again as it was,
  // with whatever was typed.
  int exec() override;
  void open() override;
  // What opening does: forgets a field that was being left, then
  // LoadGeometry and RefreshGrid.
  void LoadFromModel();

  // Reads the total and the limits of the mode from the model and shows the
  // total.
  virtual void LoadGeometry();
  // Recomputes the coordinates and refills the grid from the model.
  void RefreshGrid();
  // Removes the segment of grid row `row` (1 .. count) when two or more are left.
  void RemoveNode(int row);
  // Takes the total from its field: on success the model's total is set
  // (after the question whether segments beyond it may go, and their
  // removal); on failure the last valid total is shown again and the focus
  // stays where it is.
  bool CheckLength();
  void TruncateNodes(double length);
  // The checks of closing; stores the total.
  bool CheckAndStore();
  // Takes the field or grid being edited, as leaving it would; false when
  // its value was refused.
  bool CommitEdits();

 protected:
  TSegmentEditor(fe::TKirmelData& data, fe::TSegmentEditorKind kind, TGenerateNodesForm& generate,
                 TScaleForm& scale, QWidget* parent);

  // Builds the window; `extra` goes between the segments and Close.
  void Build(const char* lengthCaption, int gridColumns, QWidget* extra);
  virtual void FillGrid() = 0;
  // Reads the editable columns back through the setters (leaving the grid).
  virtual bool StrGridSegmentsExit() = 0;
  // "The cumulative ... is smaller ..." for this editor.
  virtual const char* ShortMessage() const = 0;
  // After a successful check on closing.
  virtual void Closing() {}

  void reject() override;

  fe::TKirmelData& data_;
  qt::TStringGrid* grid_ = nullptr;
  qt::TFieldCommits commits_;

 private:
  void BitBtnScaleClick();
  void BitBtnGenerateClick();
  void BitBtnRemoveClick();
  void BitBtnClearClick();
  void BitBtnCloseClick();
  void ShowLength();
  std::function<void()> Handler(void (TSegmentEditor::*handler)());

  fe::TSegmentEditorKind kind_;
  TGenerateNodesForm& generate_;
  TScaleForm& scale_;
  QLineEdit* lengthEdit_ = nullptr;
  int mode_;
  double length_ = 0;
  fe::TSegmentLimits limits_{};
};

// The water-layer segments: number, position and length.
class TNodesForm : public TSegmentEditor {
  Q_OBJECT

 public:
  TNodesForm(fe::TKirmelData& data, TGenerateNodesForm& generate, TScaleForm& scale,
             QWidget* parent = nullptr);

 protected:
  void FillGrid() override;
  bool StrGridSegmentsExit() override;
  const char* ShortMessage() const override;
  // At least one segment of the water body stays selected for output.
  void Closing() override;
};

// The sediment layers: number, depths, thickness and soil properties, and
// the number of top layers for the depth-averaged concentration.
class TSedimentNodesForm : public TSegmentEditor {
  Q_OBJECT

 public:
  TSedimentNodesForm(fe::TKirmelData& data, TGenerateNodesForm& generate, TScaleForm& scale,
                     QWidget* parent = nullptr);

  void LoadGeometry() override;

 protected:
  void FillGrid() override;
  bool StrGridSegmentsExit() override;
  const char* ShortMessage() const override;

 private:
  bool NumCompartmentsEditExit();

  QLineEdit* numCompartmentsEdit_;
};

}  // namespace kirmel::gui
