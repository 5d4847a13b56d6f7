// The numeric fields of the main window.
#include <QLineEdit>
#include <cmath>

#include "frontend/gui/MainForm.h"
#include "frontend/model/Numbers.h"
#include "frontend/model/Utils.h"
#include "frontend/qt/Fields.h"

namespace kirmel::gui {
namespace {

constexpr double kSecondsPerDay = 86400;

QString General(double value) {
  return QString::fromStdString(fe::FormatGeneral(value, qt::DecimalSeparator()));
}

// Shows a refusal and takes the focus back to the field.
bool Refuse(QLineEdit* edit, const std::string& message) {
  qt::ShowError(message);
  qt::FocusControl(edit);
  return false;
}

}  // namespace

void TMainForm::UpdateFields() {
  for (const TNumericField& field : fields_) field.Edit->setText(General(field.Get()));
  ttDays_->setText(General(Data().TotalTime().AsDays()));
  timestepColumn_->setText(General(Data().Ditch().Timestep().AsSeconds()));
}

bool TMainForm::NumericFieldExit(const TNumericField& field) {
  double value = 0;
  if (!qt::GetEditFloat(field.Edit, value, field.Get())) return false;
  try {
    field.Set(value);
  } catch (const fe::EOutOfRange& e) {
    // The model keeps its value and the field the refused text.
    return Refuse(field.Edit, e.Message(qt::DecimalSeparator()));
  }
  return true;
}

bool TMainForm::TTDaysExit() {
  // An emptied field changes nothing.
  if (ttDays_->text().isEmpty()) return true;
  double days = 0;
  if (!qt::GetEditFloat(ttDays_, days, Data().TotalTime().AsDays())) return false;
  try {
    fe::CheckRange("Total time", days, 0.1, 500);
  } catch (const fe::EOutOfRange& e) {
    return Refuse(ttDays_, e.Message(qt::DecimalSeparator()));
  }
  Data().TotalTime().SetTime(0, 0, 0, days * 24 * 3600);
  return true;
}

bool TMainForm::TimestepColumnExit() {
  double seconds = 0;
  if (!qt::GetEditFloat(timestepColumn_, seconds, Data().Ditch().Timestep().AsSeconds()))
    return false;
  if (seconds < 1) return Refuse(timestepColumn_, "Time step must be greater than 1");
  // The kernel takes steps of at most one day, a whole number of them in a
  // day.
  double steps = kSecondsPerDay / seconds;
  if (seconds > kSecondsPerDay || steps - std::floor(steps) > 1e-5)
    return Refuse(timestepColumn_, "Multiple timesteps should fit in one day");
  Data().Ditch().Timestep().SetTime(0, 0, 0, seconds);
  Data().Sediment().Timestep().SetTime(0, 0, 0, seconds);
  return true;
}

}  // namespace kirmel::gui
