// The bundled example laid out in a scratch directory, with helpers to
// change single values of its input files before a kernel reads them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/TempDir.h"
#include "kernel/Echo.h"
#include "kernel/Kernel.h"

namespace kirmel::test {

class ExampleInput {
 public:
  static constexpr const char* kFiles[] = {"OPOUT.INP", "WLNU.INP", "WLPA.INP", "WLST.INP", "WBNU.INP",
                                           "WBPA.INP",  "WBST.INP", "HY.INP",   "SU.INP",   "SL.INP"};
  static constexpr const char* kKeys[] = {"opoutinp", "wlnuinp", "wlpainp", "wlstinp", "wbnuinp",
                                          "wbpainp",  "wbstinp", "hyinp",   "suinp",   "slinp"};

  ExampleInput() {
    const std::string ex = std::string(KIRMEL_SOURCE_DIR) + "/examples/";
    for (const char* f : kFiles) {
      std::string p = std::string(f) == "SU.INP" ? ex + "PESTICIDES/Cpf/" + f
                                                 : ex + "SCENARIOS/NLStandard_sp/" + f;
      text_[f] = readFile(p);
      EXPECT_FALSE(text_[f].empty()) << p;
    }
  }

  // Replaces the value of "key = value" (first occurrence at a line start)
  // by `value`; the rest of the line stays.
  void set(const std::string& file, const std::string& key, const std::string& value) {
    std::string& t = text_.at(file);
    const std::string pat = "\n  " + key + " = ";
    auto pos = t.find(pat);
    ASSERT_NE(pos, std::string::npos) << key;
    auto start = pos + pat.size();
    auto end = t.find(' ', start);
    t.replace(start, end - start, value);
  }

  // Replaces the statement that starts with `key` (up to the next line that
  // starts with "*") by `statement` (CR LF appended).
  void replaceStatement(const std::string& file, const std::string& key, const std::string& statement) {
    std::string& t = text_.at(file);
    auto pos = t.find("\n" + key);
    if (pos == std::string::npos) pos = t.find("\n " + key);
    if (pos == std::string::npos) pos = t.find("\n  " + key);
    ASSERT_NE(pos, std::string::npos) << key;
    auto end = t.find("\n*", pos + 1);
    t.replace(pos + 1, end - pos, statement + "\r\n");
  }

  // Replaces a whole file.
  void setText(const std::string& file, const std::string& text) { text_.at(file) = text; }

  // Writes the ten files and the names file; returns the names file's path.
  std::string write(const TempDir& dir) const {
    std::string names = "* names file\r\n";
    for (int n = 0; n < 10; ++n) {
      std::string p = dir.write(std::string("in/") + kFiles[n], text_.at(kFiles[n]));
      names += std::string("  ") + kKeys[n] + " = '" + p + "'\r\n";
    }
    return dir.write("in/FILES.INP", names);
  }

  std::string path(const TempDir& dir, const std::string& file) const { return dir.str() + "/in/" + file; }

 private:
  std::map<std::string, std::string> text_;
};

// A kernel on the example, run in its own scratch directory (the message
// file and the library's cache files land there).
struct KernelRun {
  TempDir dir;
  ExampleInput input;
  std::istringstream in;
  std::ostringstream out;
  std::unique_ptr<Env> env;
  std::unique_ptr<Kernel> kernel;
  std::unique_ptr<ScopedCwd> cwd;
  int status = -1;

  Kernel& make() {
    std::string names = input.write(dir);
    cwd = std::make_unique<ScopedCwd>(dir.path());
    env = std::make_unique<Env>(in, out);
    kernel = std::make_unique<Kernel>(*env, std::vector<std::string>{names});
    return *kernel;
  }

  // Runs the readers in the driver's order up to `last` ("opout", "wlin",
  // "wbin", "hyin" or "suin"); returns the stop status, or -1 when none.
  int readUpTo(const std::string& last) {
    Kernel& k = make();
    try {
      k.filin();
      k.opout();
      if (last != "opout") k.wlin();
      if (last != "opout" && last != "wlin") k.wbin();
      if (last == "hyin" || last == "suin") k.hyin();
      if (last == "suin") k.suin();
    } catch (const Stop& s) {
      status = s.status;
      EXPECT_EQ(cacheFiles(), std::vector<std::string>{}) << "cache files left after a stop";
    }
    env->units().closeAll();
    return status;
  }

  // The data-file library's cache files (RD$*.TMP) in the run directory.
  std::vector<std::string> cacheFiles() const {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      const std::string name = e.path().filename().string();
      if (name.rfind("RD$", 0) == 0 && e.path().extension() == ".TMP") found.push_back(name);
    }
    return found;
  }

  KernelState& s() { return kernel->state(); }
  std::string file(const std::string& name) const { return readFile(dir.file(name)); }
  // The kernel's own lines of the message file: after its three heading
  // lines, without the library's notes on the data files it parsed.
  std::string messages() const {
    std::string m = file("message.out");
    auto pos = m.find("plovix):\n\n");
    if (pos != std::string::npos) m = m.substr(pos + 10);
    std::istringstream in(m);
    std::string line, kept;
    while (std::getline(in, line))
      if (line.rfind(" Data file ", 0) != 0) kept += line + "\n";
    return kept;
  }
};

}  // namespace kirmel::test
