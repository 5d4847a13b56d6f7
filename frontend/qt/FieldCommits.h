// Committing the field being edited, for a window whose fields write into
// the model when the user leaves them.
//
// Each registered control (an edit field, a string grid, or a widget that
// holds one) has an exit handler that takes its value and returns false when
// the value was refused (it has shown why).  Focus that leaves a control for
// another control of the same visible window runs the handler after the
// event that moved the focus, so that no message box opens in the middle of
// a mouse press.  Focus that goes to a message box, a dialog or another
// application will come back to the control; moving between the cells of a
// grid stays in it.  Before a button or menu item acts, CommitEdits runs the
// handler of the control still being left or edited.
#pragma once

#include <QMetaObject>
#include <functional>
#include <map>

class QWidget;

namespace kirmel::qt {

class TFieldCommits {
 public:
  explicit TFieldCommits(QWidget* window);
  ~TFieldCommits();
  TFieldCommits(const TFieldCommits&) = delete;
  TFieldCommits& operator=(const TFieldCommits&) = delete;

  // Runs `handler` when the user leaves `control`.
  void Register(QWidget* control, std::function<bool()> handler);
  // Takes the control being left or edited, as leaving it would; false when
  // its value was refused.
  bool CommitEdits();
  // Forgets a control that was being left (the window shows afresh).
  void ForgetPending() { pending_ = nullptr; }

 private:
  QWidget* RegisteredControlOf(QWidget* widget) const;
  void FocusChanged(QWidget* old, QWidget* now);
  bool Commit(QWidget* control);

  QWidget* window_;
  std::map<QWidget*, std::function<bool()>> handlers_;
  QWidget* pending_ = nullptr;
  QMetaObject::Connection focusConnection_;
};

}  // namespace kirmel::qt
