#include "frontend/editor/Directories.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/FolderSave.h"
#include "platform/Paths.h"

namespace kirmel::fe {
namespace {

namespace fs = std::filesystem;

// The path in a form two spellings of one directory share.
fs::path Normalised(const std::string& path) {
  std::string p = path;
  if (auto found = paths::resolveExisting(p)) p = *found;
  std::error_code ec;
  fs::path n = fs::weakly_canonical(fs::absolute(p, ec), ec);
  if (ec) n = fs::absolute(p, ec).lexically_normal();
  std::string s = n.string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return fs::path(s);
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

bool LiesDirectlyIn(const std::string& dir, const std::string& folder) {
  const std::string::size_type slash = dir.find_last_of('/');
  if (slash == std::string::npos) return false;
  // The text up to and including the last separator is the parent.
  std::string parent = dir.substr(0, slash + 1);
  return Normalised(parent) == Normalised(folder);
}

// The name of an unsaved scenario (`what` "scenario") or pesticide.
const char* UnsavedName(const std::string& what) {
  return what == "scenario" ? kUnsavedScenario : kUnsavedPesticide;
}

}  // namespace

std::string ExtractLastDirectory(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string StripTrailingSeparator(const std::string& path) {
  if (path.size() > 1 && path.back() == '/') return path.substr(0, path.size() - 1);
  return path;
}

bool SameDirectory(const std::string& a, const std::string& b) {
  return Normalised(a) == Normalised(b);
}

bool IsScenarioDirectory(const std::string& dir, const std::string& root) {
  return LiesDirectlyIn(dir, root + "/SCENARIOS");
}

bool IsPesticideDirectory(const std::string& dir, const std::string& root) {
  return LiesDirectlyIn(dir, root + "/PESTICIDES");
}

bool IsRunDirectory(const std::string& dir, const std::string& root) {
  return LiesDirectlyIn(dir, root + "/RUNS");
}

std::string NameProblem(const std::string& name, const std::string& what) {
  if (name.empty() || name == "." || name == "..")
    return "\"" + name + "\" cannot be the name of a " + what + ".";
  // Names that begin with a dot are hidden in folder listings, and saves use
  // such names for their work.
  if (name[0] == '.')
    return "The name of a " + what + " may not begin with \".\": \"" + name + "\".";
  for (unsigned char c : name) {
    if (c < 32 || c == 127 || c == '/' || c == '\'' || c == '+')
      return "The name of a " + what + " may not contain \"/\", \"+\", a single quote or control characters: \"" +
             name + "\".";
  }
  return {};
}

std::string NewNameProblem(const std::string& name, const std::string& what) {
  if (std::string problem = NameProblem(name, what); !problem.empty()) return problem;
  if (name.front() == ' ' || name.back() == ' ')
    return "The name of a " + what + " may not begin or end with a blank: \"" + name + "\".";
  // Every later save needs room for the name under which it sets the old
  // version aside.
  if (name.size() > files::LongestFolderName())
    return "The name of a " + what + " may be at most " +
           std::to_string(files::LongestFolderName()) + " bytes long; this one has " +
           std::to_string(name.size()) + ".";
  return {};
}

bool IsUnsavedName(const std::string& name, const std::string& what) {
  return SameTextIgnoringCase(name, UnsavedName(what));
}

TSaveAsTarget CheckSaveAsTarget(const std::string& dir, const std::string& folder,
                                const std::string& what) {
  TSaveAsTarget target;
  target.Dir = StripTrailingSeparator(dir);
  target.Name = ExtractLastDirectory(target.Dir);
  // A name typed into the chooser follows the folder's path: all of it is
  // the name, a "/" in it included.
  const std::string typedAfter = folder + "/";
  if (target.Dir.starts_with(typedAfter)) {
    target.Name = target.Dir.substr(typedAfter.size());
  } else if (!LiesDirectlyIn(target.Dir, folder)) {
    target.Problem = "The " + what + " should be in the directory " + folder;
    return target;
  }
  if (std::string problem = NewNameProblem(target.Name, what); !problem.empty()) {
    target.Problem = problem;
    return target;
  }
  // The name of a model that has not been saved: a run refuses it.
  if (IsUnsavedName(target.Name, what)) {
    target.Problem = "\"" + target.Name + "\" cannot be the name of a saved " + what +
                     ": the name " + UnsavedName(what) + " is kept for unsaved work.";
    return target;
  }
  const std::optional<std::string> found = paths::resolveExisting(target.Dir);
  if (!found) return target;
  std::error_code ec;
  if (!fs::is_directory(*found, ec)) {
    target.Problem = "The " + what + " cannot be saved as \"" + target.Name +
                     "\": the directory " + folder + " holds a file of that name.";
    return target;
  }
  // The folder under the name it has on disk, so that the name saved is
  // the folder's.
  target.Dir = *found;
  target.Name = ExtractLastDirectory(StripTrailingSeparator(*found));
  target.Exists = true;
  const bool empty = fs::is_empty(*found, ec);
  // A folder that cannot be listed is treated as holding something.
  target.HoldsFiles = ec || !empty;
  return target;
}

bool RemoveIfEmpty(const std::string& dir) {
  std::error_code ec;
  if (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec) || ec) return false;
  return fs::remove(dir, ec) && !ec;
}

}  // namespace kirmel::fe
