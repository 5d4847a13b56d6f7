// The chooser of Save As: the folders directly in one parent folder (the
// root's SCENARIOS or PESTICIDES) and a field for the name.  Picking a folder
// in the list puts its name into the field; a name typed there may be new.
// The dialog never enters a folder, so a scenario cannot be saved inside
// another one, and it creates nothing.  A name that the caller's check
// refuses shows the check's message and keeps the dialog open with the name.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "frontend/qt/Dialogs.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace kirmel::qt {

class TSaveFolderDialog : public QDialog {
  Q_OBJECT

 public:
  // Lists the folders in parentDir (not those whose name starts with a dot)
  // and starts the field with `name`, selecting that folder when it is
  // listed.
  TSaveFolderDialog(const QString& title, const std::string& parentDir, const std::string& name,
                    QWidget* parent = nullptr);

  // parentDir + "/" + the name as typed (blanks included, so that the
  // caller can refuse them).
  std::string Path() const;

  // What OK (or a double click) must pass before the dialog closes.
  void SetCheck(TFolderCheck check) { check_ = std::move(check); }

 private:
  void FillList();
  void NameEdited(const QString& text);
  // Closes the dialog with the typed name, unless the check refuses it.
  void Choose();

  std::string parentDir_;
  QListWidget* folderList_;
  QLineEdit* nameEdit_;
  QPushButton* okButton_ = nullptr;
  TFolderCheck check_;
};

}  // namespace kirmel::qt
