// The Save As chooser as a user works it: the folders of one parent, a pick
// from the list, a new name typed, OK and Cancel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "common/TempDir.h"
#include "frontend/qt/SaveFolderDialog.h"
#include "qtcommon/OnModal.h"
#include "qtcommon/ScriptedDialogsFixture.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

QStringList Items(QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

TEST(SaveFolderDialog, ListsTheFoldersAndTakesAPickOrANewName) {
  TempDir dir;
  for (const char* name : {"beta", "Alpha", "Foss\xc3\xa9", ".saving"}) fs::create_directory(dir.path() / name);
  dir.write("file.txt", "x");

  qt::TSaveFolderDialog dialog(QStringLiteral("Save pesticide as"), dir.str(), "beta");
  dialog.show();
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("FolderList"));
  auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("NameEdit"));
  auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OKButton"));
  ASSERT_TRUE(list && name && ok);
  EXPECT_EQ(dialog.windowTitle(), "Save pesticide as");
  // Folders only, no dot folders, by name whatever the case.
  EXPECT_EQ(Items(list), (QStringList{"Alpha", "beta", QString::fromUtf8("Foss\xc3\xa9")}));
  // The current name is in the field and selected in the list.
  EXPECT_EQ(name->text(), "beta");
  ASSERT_NE(list->currentItem(), nullptr);
  EXPECT_EQ(list->currentItem()->text(), "beta");

  // A click in the list gives that name.
  const QRect alpha = list->visualItemRect(list->item(0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, alpha.center());
  EXPECT_EQ(name->text(), "Alpha");

  // A new name, typed: nothing is selected, nothing is made, and the path
  // keeps the blanks for the caller to judge.
  name->clear();
  EXPECT_FALSE(ok->isEnabled());
  QTest::keyClicks(name, QStringLiteral("New one "));
  EXPECT_TRUE(ok->isEnabled());
  EXPECT_EQ(list->currentItem(), nullptr);
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Path(), dir.str() + "/New one ");
  EXPECT_FALSE(fs::exists(dir.path() / "New one "));
}

TEST(SaveFolderDialog, ADoubleClickChoosesAndCancelChoosesNothing) {
  TempDir dir;
  fs::create_directory(dir.path() / "Cpf");
  {
    qt::TSaveFolderDialog dialog(QStringLiteral("Save pesticide as"), dir.str(), "");
    dialog.show();
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("FolderList"));
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("OKButton"))->isEnabled());
    const QPoint cpf = list->visualItemRect(list->item(0)).center();
    // A double click: the first click, then the second one.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cpf);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cpf);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Path(), dir.str() + "/Cpf");
  }
  {
    qt::TSaveFolderDialog dialog(QStringLiteral("Save pesticide as"), dir.str(), "Cpf");
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  // A parent that is gone lists nothing; a name can still be typed.
  qt::TSaveFolderDialog dialog(QStringLiteral("Save pesticide as"), dir.str() + "/missing", "x");
  EXPECT_EQ(dialog.findChild<QListWidget*>(QStringLiteral("FolderList"))->count(), 0);
  EXPECT_EQ(dialog.Path(), dir.str() + "/missing/x");
}

TEST(SaveFolderDialog, ARefusedNameKeepsTheDialogOpenWithTheName) {
  TempDir dir;
  fs::create_directory(dir.path() / "Cpf");
  ScopedScriptedDialogs dialogs;
  qt::TSaveFolderDialog dialog(QStringLiteral("Save scenario as"), dir.str(), "");
  dialog.SetCheck([&](const std::string& path) {
    return path == dir.str() + "/Sc'q" ? std::string("no quotes") : std::string();
  });
  dialog.show();
  auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("NameEdit"));
  auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OKButton"));
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("FolderList"));
  QTest::keyClicks(name, QStringLiteral("Sc'q"));
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(dialogs->Errors(), std::vector<std::string>{"no quotes"});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);  // not (yet) chosen
  EXPECT_EQ(name->text(), "Sc'q");

  // Corrected, it closes; a double click on a folder passes the check too.
  name->setText(QStringLiteral("Scq"));
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Path(), dir.str() + "/Scq");
  dialog.SetCheck([](const std::string&) { return std::string("never"); });
  dialog.setResult(QDialog::Rejected);
  dialog.show();
  const QPoint cpf = list->visualItemRect(list->item(0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cpf);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cpf);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialogs->Errors().size(), 2u);
  dialog.hide();

  // The program's own chooser passes its check on to the dialog.
  bool keptOpen = false;
  OnModal<qt::TSaveFolderDialog>([&](qt::TSaveFolderDialog* chooser) {
    auto* field = chooser->findChild<QLineEdit*>(QStringLiteral("NameEdit"));
    auto* choose = chooser->findChild<QPushButton*>(QStringLiteral("OKButton"));
    field->setText(QStringLiteral("Sc'q"));
    QTest::mouseClick(choose, Qt::LeftButton);
    keptOpen = chooser->isVisible();
    field->setText(QStringLiteral("Scq"));
    QTest::mouseClick(choose, Qt::LeftButton);
  });
  const std::optional<std::string> chosen = qt::TQtDialogs().ChooseSaveFolder(
      "Save scenario as", dir.str(), "", [&](const std::string& path) {
        return path == dir.str() + "/Sc'q" ? std::string("no quotes") : std::string();
      });
  EXPECT_TRUE(keptOpen);
  EXPECT_EQ(chosen, dir.str() + "/Scq");
  EXPECT_EQ(dialogs->Errors().size(), 3u);
}

}  // namespace
}  // namespace kirmel::test
