#include "frontend/gui/Program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdlib>

#include "frontend/gui/About.h"
#include "frontend/gui/MainForm.h"
#include "frontend/model/Numbers.h"
#include "frontend/viewer/windows/GraphMenu.h"

namespace kirmel::gui {

int SplashMilliseconds() {
  constexpr int kDefault = 3500;
  const char* text = std::getenv("KIRMEL_SPLASH_MS");
  int ms = 0;
  if (text && fe::TryStrToInt(text, ms) && ms >= 0) return ms;
  return kDefault;
}

int RunKirmelGui(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KIRMEL-GUI"));
  viewer::ShowReaderMessagesAsErrors();

  TSplashForm splash;
  splash.show();
  QElapsedTimer shown;
  shown.start();
  app.processEvents();

  TMainForm main;
  // The splash stays up at least its time while the event loop runs; then
  // the main window takes its place.
  const qint64 left = std::max<qint64>(0, SplashMilliseconds() - shown.elapsed());
  QTimer::singleShot(static_cast<int>(left), &main, [&] {
    splash.hide();
    main.show();
  });
  return app.exec();
}

}  // namespace kirmel::gui
