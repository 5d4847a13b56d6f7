// Windows open inside the screen they open on.  The main window and the
// graph windows, opened as a user opens them ("View output", a type of
// graph, "View"), lie inside the available geometry of the screen, frame
// and all, with every button, check box and list inside the window.
//
// The test programs' screen is 800 x 800; CTest runs these tests on laptop
// screens of 1366 x 768 and 1280 x 720 too (KIRMEL_TEST_SCREEN names the
// size they must find).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <string>

#include "common/GoldenRuns.h"
#include "frontend/qt/WindowFit.h"
#include "frontend/viewer/windows/GraphMenu.h"
#include "frontend/viewer/windows/GraphWindow.h"
#include "qtcommon/OnModal.h"
#include "qtcommon/Widgets.h"
#include "MainFormFixture.h"

namespace kirmel::test {
namespace {

std::string Describe(const QRect& r) {
  return std::to_string(r.width()) + "x" + std::to_string(r.height()) + " at " +
         std::to_string(r.x()) + "," + std::to_string(r.y());
}

// The window is inside its screen's available geometry, frame included, and
// each of its controls that shows is inside the window; its Close button
// (`close`) is among them.
void ExpectOnScreen(QWidget* window, const char* close) {
  const std::string name = window->objectName().toStdString();
  const QRect available = window->screen()->availableGeometry();
  EXPECT_TRUE(available.contains(window->frameGeometry()))
      << name << ": frame " << Describe(window->frameGeometry()) << ", screen "
      << Describe(available);
  const auto* closeButton = window->findChild<QAbstractButton*>(QString::fromLatin1(close));
  ASSERT_NE(closeButton, nullptr) << name << " has no " << close;
  EXPECT_TRUE(closeButton->isVisible()) << name;
  int controls = 0;
  for (QWidget* control : window->findChildren<QWidget*>()) {
    if (!control->isVisible() || control->window() != window) continue;
    if (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QComboBox*>(control) &&
        !qobject_cast<QAbstractItemView*>(control))
      continue;
    ++controls;
    const QRect r(control->mapTo(window, QPoint(0, 0)), control->size());
    EXPECT_TRUE(window->rect().contains(r))
        << name << ": " << control->objectName().toStdString() << " " << Describe(r)
        << " outside the window " << Describe(window->rect());
  }
  EXPECT_GT(controls, 1) << name;
}

class WindowsFitTheScreen : public MainFormTest {
 protected:
  void SetUp() override {
    if (const char* size = std::getenv("KIRMEL_TEST_SCREEN")) {
      const QRect screen = QGuiApplication::primaryScreen()->geometry();
      ASSERT_EQ(std::to_string(screen.width()) + "x" + std::to_string(screen.height()), size)
          << "the offscreen platform did not take the screen asked for";
    }
    SeedExamples();
    CopyGoldenRun("example", root.path() / "RUNS" / "NLStandard_sp+Cpf");
  }

  qt::TWindowFitting fitting;
};

TEST_F(WindowsFitTheScreen, MainWindowAndGraphWindows) {
  Start();
  ExpectOnScreen(form.get(), "ExitButton");

  for (int type : {viewer::TGraphMenuForm::ConcentrationInWaterbody,
                   viewer::TGraphMenuForm::ConcentrationInTime,
                   viewer::TGraphMenuForm::Distribution,
                   viewer::TGraphMenuForm::MassBalanceWaterLayer}) {
    SCOPED_TRACE(type);
    bool seen = false;
    OnModal<viewer::TGraphMenuForm>([&](viewer::TGraphMenuForm* menu) {
      ExpectOnScreen(menu, "CloseButton");
      menu->SetGraphType(type);
      OnModal<viewer::TGraphWindow>([&](viewer::TGraphWindow* graph) {
        seen = true;
        ExpectOnScreen(graph, "BitBtnClose");
        graph->reject();
      });
      Child<QAbstractButton>(menu, QStringLiteral("ViewButton"))->click();
      menu->reject();
    });
    Click("GraphButton");
    EXPECT_TRUE(seen);
  }
  EXPECT_TRUE(Errors().empty()) << Errors().front();
}

}  // namespace
}  // namespace kirmel::test
