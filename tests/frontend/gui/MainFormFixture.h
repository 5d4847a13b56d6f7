// A main window over a private root, driven like a user drives it: through
// object names, real focus changes and the scripted dialog service.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "common/TempDir.h"
#include "frontend/gui/MainForm.h"
#include "frontend/model/Numbers.h"
#include "frontend/qt/Fields.h"
#include "qtcommon/ScriptedDialogsFixture.h"

namespace kirmel::test {

class MainFormTest : public testing::Test {
 protected:
  MainFormTest() {
    const char* old = std::getenv("KIRMEL_ROOT");
    oldRoot_ = old ? std::optional<std::string>(old) : std::nullopt;
    setenv("KIRMEL_ROOT", root.str().c_str(), 1);
  }
  ~MainFormTest() override {
    form.reset();
    if (oldRoot_)
      setenv("KIRMEL_ROOT", oldRoot_->c_str(), 1);
    else
      unsetenv("KIRMEL_ROOT");
  }

  // Copies the example scenario and pesticide into the root.
  void SeedExamples() {
    namespace fs = std::filesystem;
    const fs::path examples = fs::path(KIRMEL_SOURCE_DIR) / "examples";
    fs::create_directories(root.path() / "SCENARIOS");
    fs::create_directories(root.path() / "PESTICIDES");
    fs::copy(examples / "SCENARIOS" / "NLStandard_sp", root.path() / "SCENARIOS" / "NLStandard_sp");
    fs::copy(examples / "PESTICIDES" / "Cpf", root.path() / "PESTICIDES" / "Cpf");
  }

  // Creates and shows the window and lets its start-up run.
  void Start() {
    form = std::make_unique<gui::TMainForm>();
    form->show();
    form->activateWindow();
    Settle();
    ASSERT_EQ(QApplication::activeWindow(), form.get()) << "the window must be active for focus";
  }

  static void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }

  template <class T = QWidget>
  T* Find(const char* name) {
    T* w = form->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
  QString LabelText(const char* name) { return Find<QLabel>(name)->text(); }
  void Click(const char* name) { Find<QPushButton>(name)->click(); Settle(); }
  void ClickBox(const char* name) { Find<QCheckBox>(name)->click(); Settle(); }

  // Moves the focus to a control on its page.
  void FocusOn(QWidget* w) {
    qt::RevealPage(w);
    w->setFocus();
    Settle();
  }
  // Types text into a field and leaves it, as a user does with Tab.
  void Enter(const char* name, const QString& text) {
    QLineEdit* e = Edit(name);
    FocusOn(e);
    e->setText(text);
    Leave();
  }
  // Takes the focus away from the field or grid being edited.
  void Leave() {
    QTabBar* bar = Find<QTabWidget>("PageControlMain")->tabBar();
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setFocus();
    Settle();
  }
  QWidget* Focused() { return form->focusWidget(); }
  std::vector<std::string> Errors() { return dialogs->Errors(); }
  // The last error shown; a test failure (not a crash) when none was.
  std::string LastError() { return dialogs.LastError(); }

  fe::TKirmelData& Data() { return form->Data(); }

  TempDir root;
  ScopedScriptedDialogs dialogs;
  std::unique_ptr<gui::TMainForm> form;

 private:
  std::optional<std::string> oldRoot_;
};

}  // namespace kirmel::test
