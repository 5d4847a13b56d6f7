// Help: the help file lies in the root's GUI folder as HTML or PDF and opens
// in the desktop's viewer.
#pragma once

#include <optional>
#include <string>

namespace kirmel::qt {

// The help file in guiDir: Kirmel.html, Kirmel.htm or Kirmel.pdf, found
// whatever the case of its name; nothing when there is none.
std::optional<std::string> FindHelpFile(const std::string& guiDir);

// Opens the help file's contents, or says that there is none.
void ShowHelpContents(const std::string& guiDir);
// Says how help is found and shown.
void ShowHelpOnHelp(const std::string& guiDir);

}  // namespace kirmel::qt
