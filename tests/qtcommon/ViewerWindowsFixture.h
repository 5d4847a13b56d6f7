// What the tests of the results viewer's windows share: the readers'
// messages shown as errors through the scripted dialog service, and a
// printer installed for one test.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "frontend/editor/Parser.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "qtcommon/ScriptedDialogsFixture.h"

namespace kirmel::test {

// Readers' messages go to the scripted dialogs as errors for the test.
class ViewerWindowsFixture : public testing::Test {
 protected:
  ViewerWindowsFixture() { viewer::ShowReaderMessagesAsErrors(); }
  ~ViewerWindowsFixture() override { fe::ProgramParser().SetMessageSink({}); }
  ScopedScriptedDialogs dialogs;
};

// Installs a printer for one test and the one before afterwards.
class ScopedPrinter {
 public:
  explicit ScopedPrinter(std::unique_ptr<viewer::TPagePrinter> p) : printer_(p.get()) {
    old_ = viewer::InstallPagePrinter(std::move(p));
  }
  ~ScopedPrinter() { viewer::InstallPagePrinter(std::move(old_)); }
  template <class T>
  T& Get() { return *static_cast<T*>(printer_); }

 private:
  viewer::TPagePrinter* printer_;
  std::unique_ptr<viewer::TPagePrinter> old_;
};

}  // namespace kirmel::test
