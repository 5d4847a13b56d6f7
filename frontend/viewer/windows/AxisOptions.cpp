#include "frontend/viewer/windows/AxisOptions.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "frontend/model/Numbers.h"
#include "frontend/qt/Buttons.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/WindowFit.h"

namespace kirmel::viewer {

namespace {

QLineEdit* Edit(const char* name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

QGroupBox* AxisBox(const char* caption, QLineEdit* start, QLineEdit* end, QLineEdit* text,
                   QLineEdit* step, QLineEdit* minor) {
  auto* box = new QGroupBox(QString::fromLatin1(caption));
  auto* form = new QFormLayout(box);
  form->addRow(QStringLiteral("Starts at:"), start);
  form->addRow(QStringLiteral("Ends at:"), end);
  form->addRow(QStringLiteral("Text:"), text);
  form->addRow(QStringLiteral("Major ticks step:"), step);
  form->addRow(QStringLiteral("Number of minor ticks:"), minor);
  return box;
}

// A field's minimum width, taken by the dialog's layout at once: its group
// box passes a change on to the dialog only from the event loop otherwise.
void SetMinimumWidth(QLineEdit* field, int width) {
  field->setMinimumWidth(width);
  field->parentWidget()->updateGeometry();
}

std::string General(double value) { return fe::FormatGeneral(value, qt::DecimalSeparator(), 15); }

}  // namespace

TFrmAxisOptions::TFrmAxisOptions(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("FrmAxisOptions"));
  setWindowTitle(QStringLiteral("Axis options"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  x_ = {Edit("EdtXAxisStart"), Edit("EdtXAxisEnd"), Edit("EdtXAxisText"),
        Edit("EdtXAxisTicksStep"), Edit("EdtXAxisMinorTicks")};
  y_ = {Edit("EdtYAxisStart"), Edit("EdtYAxisEnd"), Edit("EdtYAxisText"),
        Edit("EdtYAxisTicksStep"), Edit("EdtYAxisMinorTicks")};
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(AxisBox("Options for X-Axis:", x_.Start, x_.End, x_.Text, x_.TicksStep,
                           x_.MinorTicks));
  boxes->addWidget(AxisBox("Options for Y-Axis:", y_.Start, y_.End, y_.Text, y_.TicksStep,
                           y_.MinorTicks));


  auto* layout = new QVBoxLayout(this);
  layout->addLayout(boxes);
  layout->addLayout(qt::OkCancelRow(this, [this] { BitBtnOKClick(); }, QStringLiteral("BitBtnOK"),
                                    QStringLiteral("BitBtnCancel")));
}

fe::TAxisSide TFrmAxisOptions::XSide() const {
  return Chart->Bottom.Visible ? fe::TAxisSide::Bottom : fe::TAxisSide::Top;
}

fe::TAxisSide TFrmAxisOptions::YSide() const {
  return Chart->Left.Visible ? fe::TAxisSide::Left : fe::TAxisSide::Right;
}

void TFrmAxisOptions::showEvent(QShowEvent* event) {
  qt::Guarded([this] { FormShow(); });
  QDialog::showEvent(event);
}

void TFrmAxisOptions::ShowAxis(fe::TAxisSide side, const TAxisEdits& edits) {
  const fe::TAxis& axis = Chart->Axis(side);
  // The range the chart shows: an automatic end stands where the data put it.
  const auto [lo, hi] = Chart->AxisRange(side);
  edits.Start->setText(QString::fromStdString(General(lo)));
  edits.End->setText(QString::fromStdString(General(hi)));
  const QString title = QString::fromStdString(axis.Title);
  edits.Text->setText(title);
  // Wide enough for the title the window gave the axis, up to a third of
  // the screen and as far as FitTitleFields leaves it; a longer one shows
  // its start.
  const QFontMetrics metrics(edits.Text->font());
  int width = metrics.horizontalAdvance(title) + metrics.averageCharWidth() * 3;
  if (const QScreen* shown = screen())
    width = std::min(width, shown->availableGeometry().width() / 3);
  SetMinimumWidth(edits.Text, std::max(width, edits.Text->sizeHint().width()));
  edits.Text->setCursorPosition(0);
  edits.TicksStep->setText(QString::fromStdString(General(axis.Increment)));
  edits.MinorTicks->setText(QString::fromStdString(
      fe::IntToStr(axis.MinorTicksVisible ? axis.MinorTickCount : 0)));
}

void TFrmAxisOptions::FormShow() {
  if (!Chart) return;
  ShowAxis(XSide(), x_);
  ShowAxis(YSide(), y_);
  FitTitleFields();
  // Opens at the size the titles need.
  layout()->activate();
  resize(size().expandedTo(minimumSizeHint()));
}

void TFrmAxisOptions::FitTitleFields() {
  const QScreen* shown = screen();
  if (!shown) return;
  layout()->activate();
  const QMargins frame = qt::WindowFrameMargins(this);
  const int excess = minimumSizeHint().width() + frame.left() + frame.right() -
                     shown->availableGeometry().width();
  if (excess <= 0) return;
  // The widest either may be so that both together are `excess` narrower:
  // the narrower keeps its width when it takes no more than half of that.
  const int x = x_.Text->minimumWidth(), y = y_.Text->minimumWidth();
  const int room = x + y - excess;
  const int widest = std::max(room - std::min(x, y), room / 2);
  for (QLineEdit* field : {x_.Text, y_.Text})
    SetMinimumWidth(field,
                    std::max(std::min(field->minimumWidth(), widest), field->sizeHint().width()));
}

bool TFrmAxisOptions::ApplyAxis(fe::TAxis& axis, const TAxisEdits& edits) {
  double start = 0;
  double end = 0;
  if (!qt::GetEditFloat(edits.Start, start, 0)) return false;
  if (!qt::GetEditFloat(edits.End, end, 100)) return false;
  if (start >= end) {
    qt::ShowError("Starts at must be less than Ends at.");
    qt::FocusControl(edits.Start);
    return false;
  }
  axis.SetMinimum(start);
  axis.SetMaximum(end);

  double step = 0;
  if (!qt::GetEditFloat(edits.TicksStep, step, 5)) return false;
  if (step < 0) {
    qt::ShowError("Major ticks step must be >= 0.");
    qt::FocusControl(edits.TicksStep);
    return false;
  }
  axis.Increment = step;

  int minor = 0;
  if (!qt::GetEditInteger(edits.MinorTicks, minor, 3)) return false;
  if (minor < 0) {
    qt::ShowError("Number of minor ticks must be >= 0.");
    qt::FocusControl(edits.MinorTicks);
    return false;
  }
  axis.MinorTicksVisible = minor > 0;
  if (minor > 0) axis.MinorTickCount = minor;

  axis.Title = edits.Text->text().toStdString();
  return true;
}

void TFrmAxisOptions::BitBtnOKClick() {
  if (!Chart) return;
  if (!ApplyAxis(Chart->Axis(XSide()), x_)) return;
  if (!ApplyAxis(Chart->Axis(YSide()), y_)) return;
  accept();
}

bool ShowAxisOptions(QWidget* owner, fe::TChart& chart) {
  TFrmAxisOptions dialog(owner);
  dialog.Chart = &chart;
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace kirmel::viewer
