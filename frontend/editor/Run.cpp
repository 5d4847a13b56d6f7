#include "frontend/editor/Run.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "frontend/model/Numbers.h"
#include "platform/Paths.h"

namespace kirmel::fe {
namespace {

const std::string kCR(1, '\r');
// Every file whose name ends in ".out", in any case.
constexpr const char* kOutFiles = "*.[oO][uU][tT]";

// A command that writes one line of text to the console.
std::string Say(std::string_view text) { return "printf '%s\\n' " + ShellQuote(text); }
std::string Echo(std::string_view text) { return Say(text) + "\n"; }

// The start of both scripts: the marker and the trap that removes it.
std::string Preamble(const std::string& what, const TScriptContext& context) {
  std::string s;
  s += "#!/bin/sh\n";
  s += "# " + what + ", written by KIRMEL-GUI; run with /bin/sh and the run's id.\n";
  s += "kirmel_marker=" + ShellQuote(context.Marker) + "\n";
  s += "kirmel_run=\"${1-}\"\n";
  s += "# Removes the run marker while it holds this run's id.\n";
  s += "kirmel_end() {\n";
  s += "  if [ -n \"$kirmel_run\" ] && [ -f \"$kirmel_marker\" ]; then\n";
  s += "    while IFS= read -r kirmel_line; do\n";
  s += "      if [ \"$kirmel_line\" = \"$kirmel_run\" ]; then rm -f -- \"$kirmel_marker\"; break; fi\n";
  s += "    done < \"$kirmel_marker\"\n";
  s += "  fi\n";
  s += "}\n";
  s += "kirmel_pause() {\n";
  s += "  printf '%s' 'Press <Enter> to continue . . . '\n";
  s += "  read -r kirmel_answer || printf '\\n'\n";
  s += "}\n";
  s += "trap 'kirmel_end' EXIT\n";
  s += "trap 'kirmel_end; trap - EXIT; exit 129' HUP\n";
  s += "trap 'kirmel_end; trap - EXIT; exit 130' INT\n";
  s += "trap 'kirmel_end; trap - EXIT; exit 143' TERM\n";
  return s;
}

std::string StatusLine() {
  return "kirmel_status=$?\nprintf '%s\\n' \"$kirmel_status\" > " + ShellQuote(kStatusFile) +
         "\n";
}

std::string ErrnoText(int error) { return error ? std::string(": ") + std::strerror(error) : ""; }

}  // namespace

std::string ShellQuote(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  out += "'";
  return out;
}

std::string ScriptTextProblem(const std::string& text, const std::string& what) {
  for (unsigned char c : text)
    if (c < 32 || c == 127)
      return "The " + what + " \"" + text +
             "\" contains a control character and cannot be written into a batch file.";
  return {};
}

std::string KernelPath(const TSettings& settings) {
  std::string path = settings.ExecDir.empty() ? std::string(".") : settings.ExecDir;
  if (path.back() != '/') path += '/';
  path += kKernelName;
  return path;
}

std::string MarkerPath(const TSettings& settings) { return settings.GuiDir() + "/TempKir.txt"; }

std::string BatchFilePath(const TSettings& settings) {
  const std::string& dir = settings.BatchDir;
  return (!dir.empty() && dir.back() == '/' ? dir : dir + "/") + settings.BatchFileName;
}

std::string RunBatchText(const std::string& runDir, const TScriptContext& context) {
  std::string s = Preamble("Run batch file", context);
  s += Echo("Running the simulation. Please wait... ");
  s += Echo("Created with KIRMEL-GUI v1.0");
  s += Echo("Date: " + context.DateTime);
  s += "cd -- " + ShellQuote(runDir) + " || { " +
       Say("Cannot enter the run directory " + runDir + ": the run ends here.") +
       "; kirmel_pause; exit 1; }\n";
  s += std::string("rm -f -- ") + kOutFiles + " " + ShellQuote(kStatusFile) + "\n";
  s += ShellQuote(context.Kernel) + " " + ShellQuote(runDir + "/FILES.INP") + "\n";
  s += StatusLine();
  s += "kirmel_pause\n";
  s += "kirmel_end\n";
  s += Echo("Batch completed");
  s += Echo(std::string(61, '*'));
  s += Echo("*** CLOSE THIS WINDOW BEFORE GOING ON WITH THE KIRMEL-GUI ***");
  s += Echo(std::string(61, '*'));
  s += "exit \"$kirmel_status\"\n";
  return s;
}

std::string BatchFileText(const std::vector<TSimRun>& runs, const TScriptContext& context) {
  std::string s = Preamble("Batch file", context);
  s += Echo("Running simulation batch");
  s += Echo("Created with KIRMEL-GUI v1.0");
  s += Echo(context.DateTime);
  for (const TSimRun& run : runs) {
    s += Echo("---");
    s += Echo("  Running: " + (run.Name.empty() ? std::string("<unnamed>") : run.Name));
    s += Echo("    Input directory=" + run.InputDir);
    s += Echo("    Name file=" + run.NamesFile);
    s += Echo("    Output directory=" + run.OutputDir);
    s += "if cd -- " + ShellQuote(run.InputDir) + "; then\n";
    s += std::string("  rm -f -- ") + kOutFiles + " " + ShellQuote(kStatusFile) + "\n";
    s += "  " + ShellQuote(context.Kernel) + " " + ShellQuote(run.NamesFile) + "\n";
    s += "  kirmel_status=$?\n";
    s += "  printf '%s\\n' \"$kirmel_status\" > " + ShellQuote(kStatusFile) + "\n";
    s += "  if [ \"$kirmel_status\" -ne 0 ]; then printf '%s\\n' \"  KIRMEL stopped with exit "
         "status $kirmel_status: see message.out\"; fi\n";
    if (run.OutputDir != run.InputDir)
      s += std::string("  mv -f -- ") + kOutFiles + " " + ShellQuote(run.OutputDir) + "\n";
    s += "  " + Echo("  Finished");
    s += "else\n";
    s += "  " + Echo("  Not run: cannot enter the input directory");
    s += "fi\n";
  }
  s += "kirmel_pause\n";
  s += "kirmel_end\n";
  s += Echo("Batch completed");
  return s;
}

void WriteScriptFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".tmp";
  std::error_code ec;
  {
    errno = 0;
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    if (!file) throw EInOutError("Cannot write to file " + path + ErrnoText(errno));
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.flush();
    int error = errno;
    file.close();
    if (!file) {
      std::filesystem::remove(temp, ec);
      throw EInOutError("Cannot write to file " + path + ErrnoText(error));
    }
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::string why = ec.message();
    std::filesystem::remove(temp, ec);
    throw EInOutError("Cannot write to file " + path + ": " + why);
  }
}

std::string NewRunId() {
  static unsigned counter = 0;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return "run-" + IntToStr(::getpid()) + "-" +
         IntToStr(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()) + "-" +
         IntToStr(++counter);
}

bool MarkerHolds(const std::string& path, const std::string& id) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == id) return true;
  }
  return false;
}

TStartedRun::TStartedRun(std::unique_ptr<launch::TStartedScript> script, std::string scriptPath,
                         std::string markerPath, std::string id, std::string runDir)
    : script_(std::move(script)),
      scriptPath_(std::move(scriptPath)),
      markerPath_(std::move(markerPath)),
      id_(std::move(id)),
      runDir_(std::move(runDir)) {}

TStartedRun::TState TStartedRun::Poll() {
  if (state_ != TState::Running) return state_;
  // The process first: a script that ends removes its marker before it goes.
  const bool gone = script_ && script_->ScriptGone();
  if (!MarkerHolds(markerPath_, id_)) {
    state_ = TState::Ended;
  } else if (gone) {
    std::error_code ec;
    std::filesystem::remove(markerPath_, ec);
    state_ = TState::Lost;
  }
  return state_;
}

std::string TStartedRun::Outcome() const {
  if (state_ == TState::Running) return {};
  if (runDir_.empty())
    return state_ == TState::Lost
               ? "The batch file " + scriptPath_ + " was stopped before it finished."
               : std::string();
  const std::string messages = "See the messages in \"" + runDir_ + "/message.out\".";
  std::ifstream in(runDir_ + "/" + kStatusFile);
  std::string text;
  int status = 0;
  if (state_ == TState::Lost || !std::getline(in, text) || !TryStrToInt(text, status))
    return "KIRMEL did not finish the run." + kCR + messages;
  if (status != 0)
    return "KIRMEL stopped with exit status " + IntToStr(status) + "." + kCR + messages;
  return {};
}

std::unique_ptr<TStartedRun> StartScript(const std::string& script, const std::string& dir,
                                         const std::string& runDir, const std::string& marker,
                                         const std::string& dateTime) {
  const std::string id = NewRunId();
  {
    errno = 0;
    std::ofstream file(marker, std::ios::binary | std::ios::trunc);
    if (file) file << dateTime << ", KIRMEL is running.\n" << id << "\n";
    file.close();
    if (!file)
      throw EInOutError("Cannot create the run marker \"" + marker + "\"" + ErrnoText(errno));
  }
  std::unique_ptr<launch::TStartedScript> started = launch::OpenFileExecute(script, {id}, dir);
  if (!started) {
    std::error_code ec;
    if (MarkerHolds(marker, id)) std::filesystem::remove(marker, ec);
    throw ERunError("Unable to execute '" + script + "'");
  }
  return std::make_unique<TStartedRun>(std::move(started), script, marker, id, runDir);
}

}  // namespace kirmel::fe
