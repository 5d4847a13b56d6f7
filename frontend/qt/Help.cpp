#include "frontend/qt/Help.h"

#include <QDesktopServices>
#include <QUrl>

#include "frontend/qt/Fields.h"
#include "platform/Paths.h"

namespace kirmel::qt {

std::optional<std::string> FindHelpFile(const std::string& guiDir) {
  for (const char* name : {"Kirmel.html", "Kirmel.htm", "Kirmel.pdf"})
    if (auto found = paths::resolveExisting(guiDir + "/" + name)) return found;
  return std::nullopt;
}

void ShowHelpContents(const std::string& guiDir) {
  std::optional<std::string> file = FindHelpFile(guiDir);
  if (!file) {
    ShowInfo("No help file was found." + std::string(1, '\r') + "Help is read from Kirmel.html or Kirmel.pdf in the directory " +
             guiDir + ".");
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(*file))))
    ShowError("The help file \"" + *file + "\" could not be opened.");
}

void ShowHelpOnHelp(const std::string& guiDir) {
  ShowInfo("Help is the file Kirmel.html or Kirmel.pdf in the directory " + guiDir +
           "." + std::string(1, '\r') + "Help > Contents opens it in the desktop's viewer for that kind of file.");
}

}  // namespace kirmel::qt
