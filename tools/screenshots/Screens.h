// KirmelScreens renders every window of the front end to a PNG file.
//
// Each area of the front end adds its windows in a source file of its own in
// this folder, with one registrar:
//
//   static TScreenRegistrar registrar("20-run-control", [](TScreenContext& c) {
//     TRunForm form(&c.Main);
//     c.Save(&form, "TRunForm");
//   });
//
// Areas run in the order of their keys.
#pragma once

#include <string>

class QWidget;

namespace kirmel::gui {
class TMainForm;
}

namespace kirmel::screens {

struct TScreenContext {
  std::string OutDir;
  std::string RunDir;  // a run directory to show in the viewer's windows; may be empty
  std::string Root;
  gui::TMainForm& Main;  // the main window, started on the example
  int Failures = 0;

  // Shows the window if it is not shown, lets it lay itself out and paint,
  // and writes OutDir/<name>.png.  A failure is counted and reported.
  void Save(QWidget* window, const std::string& name);
};

using TScreenFunction = void (*)(TScreenContext&);

struct TScreenRegistrar {
  TScreenRegistrar(const char* key, TScreenFunction render);
};

}  // namespace kirmel::screens
