// Installs the scripted dialog service for one test; an unscripted choice
// dialog fails the test.
#pragma once

#include <gtest/gtest.h>

#include <memory>

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

 private:
  qt::TScriptedDialogs* dialogs_;
  std::unique_ptr<qt::Dialogs> previous_;
};

}  // namespace kirmel::test
