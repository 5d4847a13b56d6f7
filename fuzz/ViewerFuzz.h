// Shared by the output-file reader fuzz targets: the input goes into one
// scratch file named after the process, removed at exit; a reader that
// leaves the file open, or a lookup that points outside its list, is a fault.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "frontend/editor/Parser.h"

namespace kirmel::fuzz {

inline const std::string& ScratchFile() {
  static const std::string* const path = [] {
    auto* p = new std::string((std::filesystem::temp_directory_path() /
                               ("kirmel-fuzz-viewer-" + std::to_string(::getpid()) + ".out"))
                                  .string());
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove(ScratchFile(), ec);
    });
    return p;
  }();
  return *path;
}

inline const std::string& WriteScratch(const std::uint8_t* data, std::size_t size) {
  std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return ScratchFile();
}

inline void Check(bool condition) {
  if (!condition) std::abort();
}

// A list index a lookup handed out: -1, or a record of the list.
template <class List>
void CheckIndex(const List& list, int index) {
  Check(index >= -1 && index < list.Count());
}

}  // namespace kirmel::fuzz
