// KirmelScreens OUT_DIR [RUN_DIR]: starts the main window on the root
// ($KIRMEL_ROOT), renders every registered window to OUT_DIR, and ends with
// status 0 when every PNG was written.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "frontend/gui/MainForm.h"
#include "frontend/qt/Dialogs.h"
#include "platform/Paths.h"
#include "tools/screenshots/Screens.h"

namespace kirmel::screens {
namespace {

std::map<std::string, TScreenFunction>& Registry() {
  static std::map<std::string, TScreenFunction> registry;
  return registry;
}

void Settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    QThread::msleep(20);
  }
}

}  // namespace

TScreenRegistrar::TScreenRegistrar(const char* key, TScreenFunction render) {
  Registry()[key] = render;
}

void TScreenContext::Save(QWidget* window, const std::string& name) {
  if (!window->isVisible()) window->show();
  window->raise();
  Settle();
  const std::string file = OutDir + "/" + name + ".png";
  if (window->grab().save(QString::fromStdString(file), "PNG")) {
    std::printf("%s\n", file.c_str());
  } else {
    std::fprintf(stderr, "Could not write %s\n", file.c_str());
    ++Failures;
  }
}

}  // namespace kirmel::screens

int main(int argc, char** argv) {
  using namespace kirmel;
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: KirmelScreens OUT_DIR [RUN_DIR]\n");
    return 2;
  }
  QDir().mkpath(QString::fromLocal8Bit(argv[1]));

  // No dialog may wait for a user: every one is logged and cancelled.
  auto dialogs = std::make_unique<qt::TScriptedDialogs>();
  dialogs->SetStrict(false);
  qt::TScriptedDialogs* log = dialogs.get();
  qt::InstallDialogs(std::move(dialogs));

  gui::TMainForm main;
  main.show();
  main.StartUp();
  screens::TScreenContext context{argv[1], argc > 2 ? argv[2] : "", paths::root(), main};
  for (const auto& [key, render] : screens::Registry()) render(context);

  for (const qt::TDialogRecord& r : log->Records())
    if (r.Kind == qt::TDialogKind::Error) std::fprintf(stderr, "Error dialog: %s\n", r.Text.c_str());
  main.hide();
  qt::InstallDialogs(nullptr);
  return context.Failures == 0 ? 0 : 1;
}
