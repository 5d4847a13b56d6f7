// The segment editors of the water layer and the sediment.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "frontend/gui/SegmentForms.h"
#include "frontend/model/KirExcpt.h"
#include "frontend/model/Numbers.h"
#include "frontend/model/Utils.h"
#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/StringGrid.h"

namespace kirmel::gui {
namespace {

std::string General(double value) { return fe::FormatGeneral(value, qt::DecimalSeparator()); }

std::string F(const char* tmpl, double value) {
  return fe::Format(tmpl, {value}, qt::DecimalSeparator());
}

std::string Message(const fe::EKirmelError& e) { return e.Message(qt::DecimalSeparator()); }

}  // namespace

// ---- what both editors share ----

TSegmentEditor::TSegmentEditor(fe::TKirmelData& data, fe::TSegmentEditorKind kind,
                               TGenerateNodesForm& generate, TScaleForm& scale, QWidget* parent)
    : QDialog(parent),
      data_(data),
      commits_(this),
      kind_(kind),
      generate_(generate),
      scale_(scale),
      mode_(kind == fe::TSegmentEditorKind::WaterLayer ? 2 : 4) {}

void TSegmentEditor::Build(const char* lengthCaption, int gridColumns, QWidget* extra) {
  auto button = [this](const char* caption, const char* name, void (TSegmentEditor::*handler)()) {
    // Enter in a field or cell must not press a button.
    QPushButton* b = qt::NewButton(QString::fromLatin1(caption), QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, this, Handler(handler));
    return b;
  };

  lengthEdit_ = new QLineEdit;
  lengthEdit_->setObjectName(QStringLiteral("LengthEdit"));
  lengthEdit_->setMaximumWidth(110);
  commits_.Register(lengthEdit_, [this] { return CheckLength(); });
  auto* geometry = new QHBoxLayout;
  geometry->addWidget(new QLabel(QString::fromLatin1(lengthCaption)));
  geometry->addWidget(lengthEdit_);
  geometry->addWidget(new QLabel(QStringLiteral("m")));
  geometry->addStretch(1);
  geometry->addWidget(button("Scale...", "BitBtnScale", &TSegmentEditor::BitBtnScaleClick));
  auto* geometryGroup = new QGroupBox(QStringLiteral("Geometry"));
  geometryGroup->setLayout(geometry);

  grid_ = new qt::TStringGrid(1, 2);
  grid_->setObjectName(QStringLiteral("StrGridSegments"));
  grid_->SetColCount(gridColumns);
  grid_->SetRowCount(1);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 8);
  grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  commits_.Register(grid_, [this] { return StrGridSegmentsExit(); });
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(button("Remove", "BitBtnRemove", &TSegmentEditor::BitBtnRemoveClick));
  buttons->addWidget(button("Generate", "BitBtnGenerate", &TSegmentEditor::BitBtnGenerateClick));
  buttons->addWidget(button("Clear list", "BitBtnClear", &TSegmentEditor::BitBtnClearClick));
  buttons->addStretch(1);
  auto* segments = new QHBoxLayout;
  segments->addWidget(grid_, 1);
  segments->addLayout(buttons);
  auto* segmentsGroup = new QGroupBox(QStringLiteral("Segments"));
  segmentsGroup->setLayout(segments);

  auto* close = new QHBoxLayout;
  close->addStretch(1);
  close->addWidget(button("Close", "BitBtnClose", &TSegmentEditor::BitBtnCloseClick));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(geometryGroup);
  layout->addWidget(segmentsGroup, 1);
  if (extra) layout->addWidget(extra);
  layout->addLayout(close);
}

void TSegmentEditor::SetMode(int mode, const QString& caption) {
  (void)fe::TSegmentList(data_, kind_, mode);  // refuses a mode without a list
  mode_ = mode;
  setWindowTitle(caption);
}

fe::TSegmentList TSegmentEditor::List() const { return fe::TSegmentList(data_, kind_, mode_); }

void TSegmentEditor::LoadGeometry() {
  const fe::TSegmentList list = List();
  limits_ = list.Limits();
  length_ = list.Total();
  lengthEdit_->setText(QString::fromStdString(F("%g", length_)));
}

void TSegmentEditor::ShowLength() {
  lengthEdit_->setText(QString::fromStdString(General(length_)));
}

void TSegmentEditor::RefreshGrid() {
  fe::TSegmentList list = List();
  list.ComputeCoordinates();
  // The current cell stays where it is while that row still exists.
  const int col = grid_->Col();
  const int row = grid_->Row();
  grid_->SetRowCount(list.Count() + 1);
  FillGrid();
  if (col >= grid_->FixedCols() && row >= 1 && grid_->RowCount() > 1)
    grid_->SetCurrentCell(col, std::min(row, grid_->RowCount() - 1));
}

void TSegmentEditor::RemoveNode(int row) {
  fe::TSegmentList list = List();
  if (list.Count() < 2 || row < 1 || row > list.Count()) return;
  list.Remove(row);
  RefreshGrid();
}

bool TSegmentEditor::CheckLength() {
  // The last valid total goes back into the field; the focus stays where
  // the user moved it, so that a refusal does not hold him in the field.
  const auto fail = [this] {
    ShowLength();
    return false;
  };
  double value = 0;
  if (!qt::GetEditFloat(lengthEdit_, value, length_)) return fail();
  if (value <= 0) {
    qt::ShowError("Length must be greater than zero");
    return fail();
  }
  if (value < limits_.MinLength || value > limits_.MaxLength) {
    qt::ShowError(fe::Format("Length must be between %g and %g",
                             {limits_.MinLength, limits_.MaxLength}, qt::DecimalSeparator()));
    return fail();
  }
  fe::TSegmentList list = List();
  if (list.Count() > 0 && list.SumOfLengths() - value > fe::kSegmentTolerance) {
    if (!qt::Confirm("There are segments outside the specified boundary.\rDo you want to delete them?"))
      return fail();
    try {
      TruncateNodes(value);
    } catch (const fe::EOutOfRange& e) {
      qt::ShowError(Message(e));
      return fail();
    }
  }
  // Within the mode's limits, which are the model's own.
  list.SetTotal(value);
  length_ = value;
  return true;
}

void TSegmentEditor::TruncateNodes(double length) {
  List().Truncate(length);
  RefreshGrid();
}

bool TSegmentEditor::CheckAndStore() {
  if (!CheckLength()) return false;
  fe::TSegmentList list = List();
  if (length_ - list.SumOfLengths() > fe::kSegmentTolerance) {
    qt::ShowError(ShortMessage());
    return false;
  }
  if (list.Count() >= limits_.MinSegments && list.Count() > limits_.MaxSegments) {
    qt::ShowError(fe::Format("There cannot be more than %d segments", {limits_.MaxSegments},
                             qt::DecimalSeparator()));
    return false;
  }
  list.SetTotal(length_);
  return true;
}

void TSegmentEditor::LoadFromModel() {
  commits_.ForgetPending();
  qt::Guarded([this] {
    LoadGeometry();
    RefreshGrid();
  });
}

int TSegmentEditor::exec() {
  LoadFromModel();
  return QDialog::exec();
}

void TSegmentEditor::open() {
  LoadFromModel();
  QDialog::open();
}

// Escape and the window's close button close as Close does.
void TSegmentEditor::reject() { Handler(&TSegmentEditor::BitBtnCloseClick)(); }

// ---- buttons ----

std::function<void()> TSegmentEditor::Handler(void (TSegmentEditor::*handler)()) {
  return [this, handler] {
    qt::Guarded([&] {
      if (CommitEdits()) (this->*handler)();
    });
  };
}

void TSegmentEditor::BitBtnScaleClick() {
  if (!scale_.Execute()) return;
  List().ScaleBy(length_, scale_.Factor);
  LoadGeometry();
  RefreshGrid();
}

void TSegmentEditor::BitBtnGenerateClick() {
  generate_.ShowQuadratic = mode_ == 4;
  if (!generate_.Execute()) return;
  fe::TSegmentList list = List();
  switch (generate_.Choice()) {
    case TGenerateNodesForm::TChoice::Distribute:
      list.Distribute(length_, generate_.NumSegments);
      break;
    case TGenerateNodesForm::TChoice::Distance:
      list.GenerateOfLength(length_, generate_.SegmentLength);
      break;
    case TGenerateNodesForm::TChoice::Square:
      list.GenerateQuadratic(length_, generate_.NumSegments);
      break;
  }
  RefreshGrid();
}

void TSegmentEditor::BitBtnRemoveClick() { RemoveNode(grid_->Row()); }

void TSegmentEditor::BitBtnClearClick() {
  if (List().Count() == 0) return;
  if (!qt::Confirm("Are you sure you want to delete all segments?")) return;
  List().ClearToOne(length_);
  RefreshGrid();
}

void TSegmentEditor::BitBtnCloseClick() {
  if (!CheckAndStore()) return;
  Closing();
  done(QDialog::Accepted);
}

// ---- taking the field being edited ----

bool TSegmentEditor::CommitEdits() { return commits_.CommitEdits(); }

// ---- the water-layer segments ----

TNodesForm::TNodesForm(fe::TKirmelData& data, TGenerateNodesForm& generate, TScaleForm& scale,
                       QWidget* parent)
    : TSegmentEditor(data, fe::TSegmentEditorKind::WaterLayer, generate, scale, parent) {
  setObjectName(QStringLiteral("NodesForm"));
  Build("Length", 3, nullptr);
  grid_->SetCell(0, 0, "Segment nr.");
  grid_->SetCell(1, 0, "Position (m)");
  grid_->SetCell(2, 0, "Length (m)");
  grid_->setColumnWidth(0, 90);
  grid_->setColumnWidth(1, 150);
  grid_->horizontalHeader()->setStretchLastSection(true);
  resize(540, 460);
}

namespace {

// The water-layer segments of the editor's list, in order.
std::vector<fe::TDitchNode*> DitchNodes(fe::TDitch& ditch, int mode) {
  std::vector<fe::TDitchNode*> nodes;
  if (mode == 1) {
    for (int i = 1; i <= ditch.FrontBufferNodeCount(); ++i) nodes.push_back(&ditch.FrontBufferNode(i));
  } else if (mode == 2) {
    for (int i = 1; i <= ditch.NodeCount(); ++i) nodes.push_back(&ditch.Node(i));
  } else {
    for (int i = 1; i <= ditch.EndBufferNodeCount(); ++i) nodes.push_back(&ditch.EndBufferNode(i));
  }
  return nodes;
}

std::vector<fe::TSedimentNode*> SedimentNodes(fe::TSediment& sediment, int mode) {
  std::vector<fe::TSedimentNode*> nodes;
  if (mode == 3) {
    for (int i = 1; i <= sediment.EndBufferNodeCount(); ++i) nodes.push_back(&sediment.EndBufferNode(i));
  } else {
    for (int i = 1; i <= sediment.NodeCount(); ++i) nodes.push_back(&sediment.Node(i));
  }
  return nodes;
}

// Reads one cell into a setter.  False when the cell holds no number (already
// reported) or the setter refused it (reported on the cell).
template <class Set>
bool ReadCell(qt::TStringGrid* grid, int col, int row, double current, Set set) {
  double value = 0;
  if (!qt::GetGridFloat(grid, col, row, value, current)) return false;
  try {
    set(value);
  } catch (const fe::EOutOfRange& e) {
    qt::ShowGridError(grid, col, row, Message(e));
    return false;
  }
  return true;
}

}  // namespace

void TNodesForm::FillGrid() {
  const std::vector<fe::TDitchNode*> nodes = DitchNodes(data_.Ditch(), Mode());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    grid_->SetCell(0, row, fe::IntToStr(row));
    grid_->SetCell(1, row, F("%.1f", nodes[i]->StartX()) + " - " + F("%.1f", nodes[i]->EndX()));
    grid_->SetCell(2, row, General(nodes[i]->Length()));
  }
}

bool TNodesForm::StrGridSegmentsExit() {
  const std::vector<fe::TDitchNode*> nodes = DitchNodes(data_.Ditch(), Mode());
  const int rows = std::min(static_cast<int>(nodes.size()), grid_->RowCount() - 1);
  for (int row = 1; row <= rows; ++row) {
    fe::TDitchNode* node = nodes[static_cast<std::size_t>(row - 1)];
    if (!ReadCell(grid_, 2, row, node->Length(), [&](double v) { node->SetLength(v); }))
      return false;
  }
  RefreshGrid();
  return true;
}

const char* TNodesForm::ShortMessage() const {
  return "The cumulative length of the segments\ris smaller then the length of the waterbody.";
}

void TNodesForm::Closing() {
  fe::TDitch& ditch = data_.Ditch();
  if (ditch.NodeCount() > 0 && ditch.OutputNodeCount() == 0)
    ditch.Node(ditch.NodeCount()).SetOutput(true);
}

// ---- the sediment layers ----

TSedimentNodesForm::TSedimentNodesForm(fe::TKirmelData& data, TGenerateNodesForm& generate,
                                       TScaleForm& scale, QWidget* parent)
    : TSegmentEditor(data, fe::TSegmentEditorKind::Sediment, generate, scale, parent) {
  setObjectName(QStringLiteral("SedimentNodesForm"));

  numCompartmentsEdit_ = new QLineEdit;
  numCompartmentsEdit_->setObjectName(QStringLiteral("NumCompartmentsEdit"));
  numCompartmentsEdit_->setMaximumWidth(80);
  commits_.Register(numCompartmentsEdit_, [this] { return NumCompartmentsEditExit(); });
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("No. of segments")));
  top->addWidget(numCompartmentsEdit_);
  top->addStretch(1);
  auto* topGroup = new QGroupBox(QStringLiteral("Top layer sediment for depth averaged concentration"));
  topGroup->setLayout(top);

  Build("Thickness", 7, topGroup);
  const char* headers[] = {"No.",          "Position (m)",   "Thickness (m)",      "Bulk density (kg/m3)",
                           "Porosity (-)", "Tortuosity (-)", "Mass ratio o.m. (-)"};
  for (int c = 0; c < 7; ++c) grid_->SetCell(c, 0, headers[c]);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  grid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
  grid_->setColumnWidth(0, 35);
  resize(860, 520);
}

void TSedimentNodesForm::LoadGeometry() {
  TSegmentEditor::LoadGeometry();
  numCompartmentsEdit_->setText(QString::fromStdString(fe::IntToStr(data_.KTop())));
}

void TSedimentNodesForm::FillGrid() {
  const std::vector<fe::TSedimentNode*> nodes = SedimentNodes(data_.Sediment(), Mode());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const fe::TSedimentNode& n = *nodes[i];
    const int row = static_cast<int>(i) + 1;
    grid_->SetCell(0, row, fe::IntToStr(row));
    grid_->SetCell(1, row, F("%.4f", n.TopDepth()) + " - " + F("%.4f", n.BottomDepth()));
    grid_->SetCell(2, row, General(n.Length()));
    grid_->SetCell(3, row, General(n.BulkDensity()));
    grid_->SetCell(4, row, General(n.Porosity()));
    grid_->SetCell(5, row, General(n.Tortuosity()));
    grid_->SetCell(6, row, General(n.OrganicMatter()));
  }
  // The number of top layers means something only while there are layers.
  numCompartmentsEdit_->setEnabled(data_.Sediment().NodeCount() > 0);
}

bool TSedimentNodesForm::StrGridSegmentsExit() {
  const std::vector<fe::TSedimentNode*> nodes = SedimentNodes(data_.Sediment(), Mode());
  const int rows = std::min(static_cast<int>(nodes.size()), grid_->RowCount() - 1);
  for (int row = 1; row <= rows; ++row) {
    fe::TSedimentNode* n = nodes[static_cast<std::size_t>(row - 1)];
    if (!ReadCell(grid_, 2, row, n->Length(), [&](double v) { n->SetLength(v); }) ||
        !ReadCell(grid_, 3, row, n->BulkDensity(), [&](double v) { n->SetBulkDensity(v); }) ||
        !ReadCell(grid_, 4, row, n->Porosity(), [&](double v) { n->SetPorosity(v); }) ||
        !ReadCell(grid_, 5, row, n->Tortuosity(), [&](double v) { n->SetTortuosity(v); }) ||
        !ReadCell(grid_, 6, row, n->OrganicMatter(), [&](double v) { n->SetOrganicMatter(v); }))
      return false;
  }
  RefreshGrid();
  return true;
}

const char* TSedimentNodesForm::ShortMessage() const {
  return "The cumulative thickness of the segments\ris smaller then the thickness of the sediment.";
}

bool TSedimentNodesForm::NumCompartmentsEditExit() {
  double value = 0;
  if (!qt::GetEditFloat(numCompartmentsEdit_, value, data_.KTop())) return false;
  try {
    data_.SetKTop(fe::RoundHalfEven(value));
  } catch (const fe::EIllegalValue&) {
    qt::ShowError("Illegal value");
    qt::FocusControl(numCompartmentsEdit_);
    return false;
  } catch (const fe::EOutOfRange& e) {
    qt::ShowError(Message(e));
    qt::FocusControl(numCompartmentsEdit_);
    return false;
  }
  return true;
}

}  // namespace kirmel::gui
