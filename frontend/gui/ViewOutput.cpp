#include "frontend/gui/ViewOutput.h"

#include "frontend/qt/Fields.h"

namespace kirmel::gui {

// The graph menu is not part of the program yet: a stand-in names the run
// directory it would show.
void OpenGraphMenu(QWidget* /*owner*/, const std::string& runDir) {
  qt::ShowInfo("The graph menu is not built yet." + std::string(1, '\r') + "Output directory: " +
               runDir);
}

}  // namespace kirmel::gui
