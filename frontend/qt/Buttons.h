// Push buttons as the front end's windows make them.
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace kirmel::qt {

// A push button with its object name; Enter in another control does not
// press it.
QPushButton* NewButton(const QString& caption, const QString& name);

// "OK" (the default button), which runs `onOk` guarded, and "Cancel", which
// rejects `dialog`, at the right of a row; each has the object name given.
QHBoxLayout* OkCancelRow(QDialog* dialog, std::function<void()> onOk, const QString& okName,
                         const QString& cancelName);

}  // namespace kirmel::qt
