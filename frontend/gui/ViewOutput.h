// "View output": the one place where the main window hands a run directory
// to the results viewer.
#pragma once

#include <string>

class QWidget;

namespace kirmel::gui {

// Opens the graph menu on the run directory, modal over owner.
void OpenGraphMenu(QWidget* owner, const std::string& runDir);

}  // namespace kirmel::gui
