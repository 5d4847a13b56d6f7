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
  // A copy of the run directory given to the tool, in the root's RUNS
  // folder (where the comparisons look for runs), for the viewer's windows
  // to show; empty without one.
  std::string RunDir;
  // The run directory given to the tool, absolute: what messages name
  // where they name the copy.
  std::string GivenRunDir;
  std::string Root;
  gui::TMainForm& Main;  // the main window, started on the example
  int Failures = 0;

  // Shows the window if it is not shown, lets it lay itself out and paint,
  // and writes OutDir/<name>.png.  A window that closes itself instead (a
  // graph window whose files cannot be read) or a PNG that cannot be
  // written is a failure, counted and reported; so is a window that
  // reaches beyond the available geometry of its screen, which is still
  // written, to be looked at.
  void Save(QWidget* window, const std::string& name);
  // Reports that the window `name` is left out, and why; counted.
  void Fail(const std::string& name, const std::string& why);
  // Reports a failure of `what` in the words of `text`; counted.
  void Report(const std::string& what, const std::string& text);
  // Reports `text` of `what` in the same form, as information: not counted.
  void Note(const std::string& what, const std::string& text) const;
  // `text` with the copy of the run named as the run directory given.
  std::string AsGiven(std::string text) const;
};

using TScreenFunction = void (*)(TScreenContext&);

struct TScreenRegistrar {
  TScreenRegistrar(const char* key, TScreenFunction render);
};

}  // namespace kirmel::screens
