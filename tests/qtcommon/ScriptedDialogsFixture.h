// Installs the scripted dialog service for one test; an unscripted choice
// dialog fails the test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "frontend/qt/Dialogs.h"

namespace kirmel::test {

class ScopedScriptedDialogs {
 public:
  ScopedScriptedDialogs() {
    auto scripted = std::make_unique<qt::TScriptedDialogs>();
    scripted->SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
    dialogs_ = scripted.get();
    previous_ = qt::InstallDialogs(std::move(scripted));
  }
  ~ScopedScriptedDialogs() {
    EXPECT_EQ(dialogs_->PendingAnswers(), 0) << "scripted answers left unused";
    qt::InstallDialogs(std::move(previous_));
  }
  ScopedScriptedDialogs(const ScopedScriptedDialogs&) = delete;
  ScopedScriptedDialogs& operator=(const ScopedScriptedDialogs&) = delete;

  qt::TScriptedDialogs& operator*() { return *dialogs_; }
  qt::TScriptedDialogs* operator->() { return dialogs_; }

  // The text of the last error (information) dialog, and the last dialog of
  // any kind.  When there was none the test fails there and goes on with an
  // empty record, so a message that stops coming fails one test instead of
  // ending the test program.
  std::string LastError() const { return Last(dialogs_->Errors(), "error"); }
  std::string LastInfo() const { return Last(dialogs_->Infos(), "information"); }
  qt::TDialogRecord LastRecord() const {
    if (!dialogs_->Records().empty()) return dialogs_->Records().back();
    ADD_FAILURE() << "no dialog was shown";
    return {qt::TDialogKind::Error, "", ""};
  }

 private:
  static std::string Last(const std::vector<std::string>& texts, const char* kind) {
    if (!texts.empty()) return texts.back();
    ADD_FAILURE() << "no " << kind << " dialog was shown";
    return {};
  }

  qt::TScriptedDialogs* dialogs_;
  std::unique_ptr<qt::Dialogs> previous_;
};

}  // namespace kirmel::test
