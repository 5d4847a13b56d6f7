// Paths on Linux: the KIRMEL root and case-insensitive lookup of existing files.
#pragma once

#include <climits>
#include <cstddef>
#include <optional>
#include <string>

namespace kirmel::paths {

// The longest path the system opens: PATH_MAX bytes with the terminating
// zero.  Every path the programs read from a file or the command line may
// be this long.
constexpr std::size_t kMaxPath = PATH_MAX - 1;

// The root that stands for "C:\KIRMEL": $KIRMEL_ROOT, else $HOME/KIRMEL.
std::string root();

// The directory of the kernel program KIRMEL_12: $KIRMEL_EXECDIR when set,
// else the directory of the running program (the front end and the kernel
// are built side by side).
std::string kernelDir();

// The path of an existing file or directory: `path` itself when it exists,
// else the path found by matching each component case-insensitively.
// nullopt when nothing matches.  Names on disk are never changed.
std::optional<std::string> resolveExisting(const std::string& path);

// True when resolveExisting finds the path.
bool exists(const std::string& path);

// The path to create a new file under: for an existing file its resolved
// path; otherwise the directory part resolved case-insensitively and the
// last component exactly as given.
std::string forCreate(const std::string& path);

}  // namespace kirmel::paths
