// Fuzz target for the token reader and the scenario and pesticide readers:
// the input replaces one of the nine scenario files or the pesticide file
// (its first byte chooses which) of an otherwise valid scenario and pesticide
// in a private directory, then the token reader runs over it and the
// scenario or pesticide is loaded.  Front-end exceptions are the reader's
// ordinary answers to bad input; anything else is a fault.  What loads must
// write out again (in memory) and count as unchanged.
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "frontend/editor/Editor.h"
#include "frontend/editor/Parser.h"

namespace {

namespace fs = std::filesystem;
using kirmel::fe::TKirmelEditor;

const char* const kFiles[] = {"WLNU.INP", "WLPA.INP",  "WLST.INP", "WBNU.INP", "WBPA.INP",
                              "WBST.INP", "HY.INP",    "OPOUT.INP", "SL.INP",  "SU.INP"};
constexpr int kFileCount = 10;

struct Setup {
  std::string root;
  std::unique_ptr<TKirmelEditor> editor;
  std::string pristine[kFileCount];

  Setup() {
    // libFuzzer may end the process without running destructors: the
    // directory is named after the process, and those of ended runs go.
    const fs::path tmp = fs::temp_directory_path();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(tmp, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("kirmel-fuzz-editor-", 0) != 0) continue;
      long pid = std::strtol(name.c_str() + 19, nullptr, 10);
      if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        fs::remove_all(entry.path(), ec);
    }
    root = (tmp / ("kirmel-fuzz-editor-" + std::to_string(::getpid()))).string();
    fs::remove_all(root, ec);
    if (!fs::create_directories(root, ec)) std::abort();
    TKirmelEditor::TEnvironment env;
    env.Root = root;
    env.DecimalSeparator = '.';
    env.Date = [] { return std::string("01-01-2000"); };
    editor = std::make_unique<TKirmelEditor>(std::move(env));
    editor->Data().SetScenarioName("F");
    editor->Data().SetPesticideName("F");
    fs::create_directories(root + "/SCENARIOS");
    fs::create_directories(root + "/PESTICIDES");
    editor->SaveScenario();
    editor->SavePesticide();
    for (int i = 0; i < kFileCount; ++i) pristine[i] = Read(Path(i));
  }
  ~Setup() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  std::string Path(int i) const {
    return (i == kFileCount - 1 ? editor->Settings().PesticideDir("F")
                                : editor->Settings().ScenarioDir("F")) +
           "/" + kFiles[i];
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Write(const std::string& path, const char* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(size));
  }
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  Setup& s = TheSetup();
  const int which = data[0] % kFileCount;
  const std::string path = s.Path(which);
  Setup::Write(path, reinterpret_cast<const char*>(data + 1), size - 1);

  // The token reader on its own, with both decimal separators.
  for (char separator : {'.', ','}) {
    kirmel::fe::Parser parser({}, separator);
    if (!parser.OpenInputFile(path)) std::abort();
    std::string token;
    try {
      while (parser.GetToken(token)) {
        double d = 0;
        int n = 0;
        try {
          parser.StrToFloatValue(token, d);
        } catch (const kirmel::fe::EKirmelError&) {
        }
        try {
          parser.StrToIntValue(token, n);
        } catch (const kirmel::fe::EKirmelError&) {
        }
      }
    } catch (const kirmel::fe::EKirmelError&) {
      // A line longer than the reader reads: the file is closed.
      if (parser.FileOpen()) std::abort();
    }
    parser.CloseInputFile();
  }

  // The reader; whatever it takes in must write out again, the same way
  // twice.
  try {
    if (which == kFileCount - 1) {
      if (s.editor->LoadPesticide("F") && s.editor->PesticideChanged()) std::abort();
    } else {
      if (s.editor->LoadScenario("F") && s.editor->ScenarioChanged()) std::abort();
    }
  } catch (const kirmel::fe::EKirmelError&) {
  }
  if (s.editor->InputParser().FileOpen()) std::abort();

  Setup::Write(path, s.pristine[which].data(), s.pristine[which].size());
  return 0;
}
