#include "frontend/editor/Run.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "frontend/editor/Directories.h"
#include "frontend/model/Numbers.h"
#include "platform/FolderSave.h"
#include "platform/Paths.h"
#include "platform/Version.h"

namespace kirmel::fe {
namespace {

namespace fs = std::filesystem;

const std::string kCR(1, '\r');
// Every file whose name ends in ".out", in any case.
constexpr const char* kOutFiles = "*.[oO][uU][tT]";
constexpr const char* kStatusTemp = "kirmel.status.tmp";
// Room kept on the run directory's filesystem while the kernel runs, given
// back to write the status when the kernel has filled that filesystem.
constexpr const char* kStatusRoom = "kirmel.status.room";
// The comment line of a batch file that lists one run.
constexpr std::string_view kRunListTag = "# kirmel-run";
// The script's own prompt after the kernel; nothing after it is the kernel's.
constexpr std::string_view kPausePrompt = "Press <Enter> to continue . . .";
// The scripts' heading line, naming the front end's version; in the run
// batch file it comes just before its date line and the kernel.
std::string CreatedLine() { return "Created with KIRMEL-GUI v" + version::gui(); }
// A marker that names no process yet is taken as a script still starting
// for this long after it was written.
constexpr auto kStartingGrace = std::chrono::seconds(30);
// How much of the end of a console log is examined.
constexpr std::uintmax_t kLogTail = 64 * 1024;
// The most of a marker that is read.
constexpr std::streamsize kMarkerLimit = 1024 * 1024;
constexpr std::size_t kQuotedLines = 5;
// How many of the last console lines are searched for an error.
constexpr std::size_t kErrorWindow = 12;
constexpr std::size_t kQuotedWidth = 160;
// Exit statuses of the shell that runs the kernel: a kernel it found but
// could not execute, one it did not find, and 128 + the number of the signals
// that come from outside (a closed terminal, Ctrl+C, kill, terminate).
constexpr int kNotExecutable = 126;
constexpr int kNotFound = 127;
constexpr int kHangUp = 128 + SIGHUP;
constexpr int kInterrupt = 128 + SIGINT;
constexpr int kKilled = 128 + SIGKILL;
constexpr int kTerminated = 128 + SIGTERM;

// A command that writes one line of text to the console.
std::string Say(std::string_view text) { return "printf '%s\\n' " + ShellQuote(text); }
std::string Echo(std::string_view text) { return Say(text) + "\n"; }

// A command that writes the status file's two lines, the status `value`
// (a shell word) and the run's id, to the temporary status file.
std::string WriteStatusTemp(std::string_view value) {
  return "printf '%s\\n%s\\n' " + std::string(value) + " \"$kirmel_run\" > " +
         ShellQuote(kStatusTemp);
}

// The start of both scripts: the marker, the script's process in it, the
// traps, and the run of the kernel with its console log and status.
std::string Preamble(const std::string& what, const TScriptContext& context) {
  const std::string status = ShellQuote(kStatusFile);
  const std::string temp = ShellQuote(kStatusTemp);
  const std::string room = ShellQuote(kStatusRoom);
  std::string s;
  s += "#!/bin/sh\n";
  s += "# " + what + ", written by KIRMEL-GUI; run with /bin/sh and the run's id.\n";
  s += "kirmel_marker=" + ShellQuote(context.Marker) + "\n";
  s += "kirmel_run=\"${1-}\"\n";
  s += "kirmel_running=\n";
  s += "kirmel_status=\n";
  s += "# Whether the run marker holds this run's id.\n";
  s += "kirmel_owns() {\n";
  s += "  [ -n \"$kirmel_run\" ] && [ -f \"$kirmel_marker\" ] || return 1\n";
  s += "  while IFS= read -r kirmel_line; do\n";
  s += "    if [ \"$kirmel_line\" = \"$kirmel_run\" ]; then return 0; fi\n";
  s += "  done < \"$kirmel_marker\"\n";
  s += "  return 1\n";
  s += "}\n";
  s += "# Removes the run marker while it holds this run's id.\n";
  s += "kirmel_end() {\n";
  s += "  if kirmel_owns; then rm -f -- \"$kirmel_marker\"; fi\n";
  s += "}\n";
  s += "# Adds a line to the run marker while it holds this run's id.\n";
  s += "kirmel_note() {\n";
  s += "  if kirmel_owns; then printf '%s\\n' \"$1\" >> \"$kirmel_marker\"; fi\n";
  s += "}\n";
  s += "kirmel_pause() {\n";
  s += "  printf '%s' '" + std::string(kPausePrompt) + " '\n";
  s += "  read -r kirmel_answer || printf '\\n'\n";
  s += "}\n";
  s += "# Records a status with this run's id, whole or not at all.\n";
  s += "kirmel_record() {\n";
  s += "  " + WriteStatusTemp("\"$1\"") + " && mv -f -- " + temp + " " + status + "\n";
  s += "}\n";
  s += "# A signal while the kernel runs records 128 + its number, unless the\n";
  s += "# kernel's own status is already there; the script ends.\n";
  s += "kirmel_signal() {\n";
  s += "  rm -f -- " + room + "\n";
  s += "  if [ -n \"$kirmel_running\" ]; then\n";
  s += "    if [ -f " + temp + " ]; then mv -f -- " + temp + " " + status +
       "; else kirmel_record \"$1\"; fi\n";
  s += "  fi\n";
  s += "  kirmel_end\n";
  s += "  trap - EXIT\n";
  s += "  exit \"$1\"\n";
  s += "}\n";
  s += "trap 'kirmel_end' EXIT\n";
  s += "trap 'kirmel_signal 129' HUP\n";
  s += "trap 'kirmel_signal 130' INT\n";
  s += "trap 'kirmel_signal 143' TERM\n";
  s += "# This script's process, its start time and its process group (the\n";
  s += "# kernel runs in that group too), for the front end.\n";
  s += "kirmel_pick() {\n";
  s += "  if [ \"$#\" -ge 20 ]; then kirmel_group=$3; shift 19; kirmel_start=$1; fi\n";
  s += "}\n";
  s += "kirmel_start=\n";
  s += "kirmel_group=\n";
  s += "if { read -r kirmel_stat < \"/proc/$$/stat\"; } 2>/dev/null; then kirmel_pick "
       "${kirmel_stat##*) }; fi\n";
  s += "kirmel_note \"pid $$ $kirmel_start $kirmel_group\"\n";
  s += "# Runs the kernel on the names file $1 in the working directory.  Its\n";
  s += "# console output also goes to " + std::string(kRunLogName) +
       " (unless that already is the\n";
  s += "# console); it still reads its answers from the console.  Sets\n";
  s += "# kirmel_status to its exit status, empty when none could be recorded.\n";
  s += "kirmel_exec() {\n";
  s += "  " + ShellQuote(context.Kernel) + " \"$1\"\n";
  s += "  kirmel_code=$?\n";
  s += "  " + WriteStatusTemp("\"$kirmel_code\"") + " 2>/dev/null || {\n";
  s += "    rm -f -- " + room + "\n";
  s += "    " + WriteStatusTemp("\"$kirmel_code\"") + "\n";
  s += "  }\n";
  s += "}\n";
  s += "kirmel_kernel() {\n";
  s += "  rm -f -- " + temp + "\n";
  s += "  printf '%4096s' '' > " + room + " 2>/dev/null\n";
  s += "  kirmel_running=1\n";
  s += "  if [ /dev/stdout -ef " + ShellQuote(kRunLogName) + " ]; then\n";
  s += "    kirmel_exec \"$1\"\n";
  s += "  else\n";
  s += "    { kirmel_exec \"$1\"; } 2>&1 | { trap '' HUP INT TERM; exec tee -- " +
       ShellQuote(kRunLogName) + "; }\n";
  s += "  fi\n";
  s += "  kirmel_status=\n";
  s += "  if [ -f " + temp + " ] && read -r kirmel_status < " + temp + " && mv -f -- " + temp +
       " " + status + "; then :; else kirmel_status=; fi\n";
  s += "  rm -f -- " + room + "\n";
  s += "  kirmel_running=\n";
  s += "}\n";
  return s;
}

std::string ErrnoText(int error) { return error ? std::string(": ") + std::strerror(error) : ""; }

// Splits text into lines at LF, CR LF or a lone CR.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// A name to show whole, control characters as \xNN.
std::string Escaped(std::string_view text) {
  static const char* const digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (c < 32 || c == 127) {
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// A text to show: runs of blanks as one (the kernel aligns columns that a
// message box does not keep), control characters as \xNN, cut to a
// readable length at a character boundary.
std::string Shown(std::string_view text) {
  std::string blanks;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      if (blanks.empty() || blanks.back() != ' ') blanks += ' ';
    } else {
      blanks += c;
    }
  }
  std::string out = Escaped(blanks);
  if (out.size() > kQuotedWidth) {
    std::size_t cut = kQuotedWidth;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out = out.substr(0, cut) + "...";
  }
  return out;
}

bool SpeaksOfError(std::string_view line) {
  static constexpr std::string_view word = "error";
  if (line.size() < word.size()) return false;
  for (std::size_t i = 0; i + word.size() <= line.size(); ++i) {
    std::size_t k = 0;
    while (k < word.size() &&
           (line[i + k] | 0x20) == word[k])  // ASCII letters in either case
      ++k;
    if (k == word.size()) return true;
  }
  return false;
}

// At most the last `limit` bytes of a file, from a line start; nothing when
// it cannot be read.
std::optional<std::string> FileTail(const std::string& path, std::uintmax_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  const std::streamoff from =
      size > static_cast<std::streamoff>(limit) ? size - static_cast<std::streamoff>(limit) : 0;
  in.seekg(from);
  std::string text(static_cast<std::size_t>(size - from), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (from > 0) {
    const std::size_t eol = text.find_first_of("\r\n");
    text.erase(0, eol == std::string::npos ? text.size() : eol + 1);
  }
  return text;
}

// The words of a line as /bin/sh reads them: separated by blanks, with
// single quotes and backslashes.  Nothing, with `why`, when a quote is not
// closed or the line ends in a backslash.
std::optional<std::vector<std::string>> ShellWords(std::string_view line, std::string& why) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '\'') {
      const std::size_t close = line.find('\'', i + 1);
      if (close == std::string_view::npos) {
        why = "a quote is not closed";
        return std::nullopt;
      }
      word.append(line.substr(i + 1, close - i - 1));
      i = close;
    } else if (c == '\\') {
      if (i + 1 == line.size()) {
        why = "the line ends in a backslash";
        return std::nullopt;
      }
      word += line[++i];
    } else {
      word += c;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

// At most the first `limit` bytes of a file; ok is false when it cannot be
// read.
std::string ReadSmallFile(const std::string& path, std::streamsize limit, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  if (!ok) return {};
  std::string text;
  char buffer[4096];
  while (static_cast<std::streamsize>(text.size()) < limit) {
    const std::streamsize want =
        std::min<std::streamsize>(sizeof buffer, limit - static_cast<std::streamsize>(text.size()));
    in.read(buffer, want);
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.gcount() < want) break;
  }
  ok = !in.bad();
  return text;
}

// What the system says of a process in its /proc/<pid>/stat.
struct TProcessStat {
  std::string Name;   // its command name
  char State = '?';   // 'Z' or 'X': ended, not yet waited for
  int Group = 0;      // its process group
  std::string Start;  // its start time
};

// The command name, state, process group and start time of a process;
// false when they cannot be read.
bool ReadProcessStat(int pid, TProcessStat& stat) {
  bool ok = false;
  const std::string text = ReadSmallFile("/proc/" + IntToStr(pid) + "/stat", 4096, ok);
  if (!ok) return false;
  // The command name in parentheses may hold blanks and parentheses.
  const std::size_t open = text.find('(');
  const std::size_t close = text.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return false;
  stat.Name = text.substr(open + 1, close - open - 1);
  std::istringstream in(text.substr(close + 1));
  std::string field;
  for (int n = 0; n < 20 && in >> field; ++n) {
    if (n == 0) stat.State = field.empty() ? '?' : field[0];
    if (n == 2 && !TryStrToInt(field, stat.Group)) stat.Group = 0;
    if (n == 19) {
      stat.Start = field;
      return true;
    }
  }
  return false;
}

bool Ended(const TProcessStat& stat) { return stat.State == 'Z' || stat.State == 'X'; }

// Hands every process that the system lists to `look` until it returns
// true: 1 then, 0 when it never did, -1 when no process could be read.
template <typename Look>
int ScanProcesses(Look look) {
  DIR* proc = ::opendir("/proc");
  if (!proc) return -1;
  bool readAny = false;
  int found = 0;
  while (const dirent* entry = ::readdir(proc)) {
    int pid = 0;
    if (!TryStrToInt(entry->d_name, pid) || pid <= 0) continue;
    TProcessStat stat;
    if (!ReadProcessStat(pid, stat)) continue;
    readAny = true;
    if (look(pid, stat)) {
      found = 1;
      break;
    }
  }
  ::closedir(proc);
  return readAny ? found : -1;
}

// A process of the process group that has not ended, and its command name:
// the kernel when it is one of them.  0 when none can be found.
int LiveGroupProcess(int group, std::string& name) {
  int found = 0;
  ScanProcesses([&](int pid, const TProcessStat& stat) {
    if (stat.Group != group || Ended(stat)) return false;
    const bool kernel = stat.Name == kKernelName;
    if (found == 0 || kernel) {
      found = pid;
      name = stat.Name;
    }
    return kernel;
  });
  return found;
}

// Why a script cannot enter the directory dir; "" when it can.
std::string EnterProblem(const std::string& dir) {
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? "it does not exist" : std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return "it is not a folder";
  if (::access(dir.c_str(), X_OK) != 0) return std::strerror(errno);
  return {};
}

// Creates the marker only when there is none; false with errno EEXIST when
// there is one.  Throws EInOutError when it cannot be written.
bool CreateMarker(const std::string& path, const std::string& text) {
  errno = 0;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    throw EInOutError("Cannot create the run marker \"" + path + "\"" + ErrnoText(errno));
  }
  std::size_t done = 0;
  int error = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 && !error) error = errno;
  if (error) {
    ::unlink(path.c_str());
    throw EInOutError("Cannot create the run marker \"" + path + "\"" + ErrnoText(error));
  }
  return true;
}

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
      return "The " + what + " \"" + Escaped(text) +
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
  s += Echo(CreatedLine());
  s += Echo("Date: " + context.DateTime);
  s += "cd -- " + ShellQuote(runDir) + " || { " +
       Say("Cannot enter the run directory " + runDir + ": the run ends here.") +
       "; kirmel_pause; exit 1; }\n";
  s += std::string("rm -f -- ") + kOutFiles + " " + ShellQuote(kStatusFile) + " " +
       ShellQuote(kStatusTemp) + "\n";
  s += "kirmel_kernel " + ShellQuote(runDir + "/FILES.INP") + "\n";
  s += "if [ -z \"$kirmel_status\" ]; then " +
       Say("The exit status of KIRMEL could not be recorded in " + std::string(kStatusFile) +
           ".") +
       "; fi\n";
  s += "kirmel_pause\n";
  s += "kirmel_end\n";
  s += Echo("Batch completed");
  s += Echo(std::string(61, '*'));
  s += Echo("*** CLOSE THIS WINDOW BEFORE GOING ON WITH THE KIRMEL-GUI ***");
  s += Echo(std::string(61, '*'));
  s += "exit \"${kirmel_status:-1}\"\n";
  return s;
}

std::string BatchFileText(const std::vector<TSimRun>& runs, const TScriptContext& context) {
  // A line end in a run's list line would end that comment and run the
  // rest as commands.
  for (const TSimRun& run : runs)
    for (const auto& [text, what] : {std::pair{&run.InputDir, "run directory"},
                                     std::pair{&run.OutputDir, "output directory"},
                                     std::pair{&run.Name, "run name"}})
      if (std::string problem = ScriptTextProblem(*text, what); !problem.empty())
        throw ERunError(problem);
  std::string s = Preamble("Batch file", context);
  s += "# Says how a run that did not end with status 0 ended.\n";
  s += "kirmel_report() {\n";
  s += "  case \"$kirmel_status\" in\n";
  s += "    0) ;;\n";
  s += "    126|127) printf '%s\\n' \"  KIRMEL could not be started (exit status "
       "$kirmel_status)\" ;;\n";
  s += "    *) kirmel_see=; if [ -s message.out ]; then kirmel_see=': see message.out'; fi\n";
  s += "       printf '%s\\n' \"  KIRMEL stopped with exit status "
       "${kirmel_status:-unknown}$kirmel_see\" ;;\n";
  s += "  esac\n";
  s += "}\n";
  s += Echo("Running simulation batch");
  s += Echo(CreatedLine());
  s += Echo(context.DateTime);
  for (const TSimRun& run : runs) {
    s += std::string(kRunListTag) + " " + ShellQuote(run.InputDir) + " " +
         ShellQuote(run.OutputDir) + " " + ShellQuote(run.Name) + "\n";
    s += Echo("---");
    s += Echo("  Running: " + (run.Name.empty() ? std::string("<unnamed>") : run.Name));
    s += Echo("    Input directory=" + run.InputDir);
    s += Echo("    Name file=" + run.NamesFile);
    s += Echo("    Output directory=" + run.OutputDir);
    s += "if cd -- " + ShellQuote(run.InputDir) + "; then\n";
    s += "  kirmel_note " + ShellQuote("dir " + run.InputDir) + "\n";
    s += std::string("  rm -f -- ") + kOutFiles + " " + ShellQuote(kStatusFile) + " " +
         ShellQuote(kStatusTemp) + "\n";
    s += "  kirmel_kernel " + ShellQuote(run.NamesFile) + "\n";
    s += "  kirmel_report\n";
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

std::vector<TSimRun> BatchFileRuns(std::string_view text, const std::string& path) {
  std::vector<TSimRun> runs;
  const std::vector<std::string_view> lines = Lines(text);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string_view line = lines[n];
    if (!StartsWith(line, kRunListTag)) continue;
    const std::string_view rest = line.substr(kRunListTag.size());
    if (!rest.empty() && rest.front() != ' ' && rest.front() != '\t') continue;
    const std::string where = "Cannot read the runs of the batch file " + path + ", line " +
                              IntToStr(static_cast<long long>(n + 1)) + ": ";
    std::string why;
    std::optional<std::vector<std::string>> words = ShellWords(rest, why);
    if (!words) throw ERunError(where + why + ".");
    if (words->size() != 3)
      throw ERunError(where + "3 names (input directory, output directory, run) expected, " +
                      IntToStr(static_cast<long long>(words->size())) + " found.");
    if ((*words)[0].empty()) throw ERunError(where + "the input directory is empty.");
    TSimRun run;
    run.InputDir = (*words)[0];
    run.OutputDir = (*words)[1].empty() ? run.InputDir : (*words)[1];
    run.Name = (*words)[2];
    runs.push_back(std::move(run));
  }
  return runs;
}

void WriteScriptFile(const std::string& path, const std::string& text) {
  try {
    files::ReplaceFile(path, text);
  } catch (const files::TSaveError& e) {
    // In place, only the flush of its folder unconfirmed: the script is
    // there whole and runs as written.
    if (!e.InPlace()) throw EInOutError(e.what());
  }
}

std::string NewRunId() {
  static unsigned counter = 0;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return "run-" + IntToStr(::getpid()) + "-" +
         IntToStr(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()) + "-" +
         IntToStr(++counter);
}

// ---- How a run ended ----

namespace {

// The status the status file in runDir records, and the run's id in `id`.
std::optional<int> ReadStatusFile(const std::string& runDir, std::string& id) {
  bool ok = false;
  const std::string text = ReadSmallFile(runDir + "/" + kStatusFile, 4096, ok);
  if (!ok) return std::nullopt;
  const std::vector<std::string_view> lines = Lines(text);
  int status = 0;
  if (lines.size() < 2 || !TryStrToInt(lines[0], status)) return std::nullopt;
  id = std::string(lines[1]);
  return status;
}

}  // namespace

std::optional<int> ReadRunStatus(const std::string& runDir, const std::string& id) {
  std::string recorded;
  const std::optional<int> status = ReadStatusFile(runDir, recorded);
  return recorded == id ? status : std::nullopt;
}

std::optional<int> ReadLastRunStatus(const std::string& runDir) {
  std::string id;
  const std::optional<int> status = ReadStatusFile(runDir, id);
  if (!status || id.empty()) return std::nullopt;
  // The script records the status after the kernel has ended, so the
  // message file of that kernel is never newer than the status.
  struct stat statusFile, messages;
  if (::stat((runDir + "/" + kStatusFile).c_str(), &statusFile) != 0) return std::nullopt;
  if (const std::optional<std::string> path = paths::resolveExisting(runDir + "/message.out");
      path && ::stat(path->c_str(), &messages) == 0) {
    const timespec& s = statusFile.st_mtim;
    const timespec& m = messages.st_mtim;
    if (m.tv_sec > s.tv_sec || (m.tv_sec == s.tv_sec && m.tv_nsec > s.tv_nsec)) return std::nullopt;
  }
  return status;
}

std::vector<std::string> KernelLastLines(std::string_view log) {
  const std::string createdLine = CreatedLine();
  bool skipDate = false;
  std::vector<std::string_view> lines;
  for (std::string_view line : Lines(log)) {
    if (StartsWith(line, kPausePrompt)) break;
    line = Trim(line);
    if (line == createdLine) {
      // The run batch file's own lines before the kernel: its date line
      // follows.
      lines.clear();
      skipDate = true;
      continue;
    }
    if (skipDate && StartsWith(line, "Date: ")) {
      skipDate = false;
      continue;
    }
    skipDate = false;
    if (!line.empty() && line != "Press <Enter>") lines.push_back(line);
  }
  // A report of the kernel begins with the line that names the error and
  // goes on with its details: from the first such line near the end, else
  // the last lines.
  const std::size_t window = lines.size() > kErrorWindow ? lines.size() - kErrorWindow : 0;
  std::size_t first = lines.size() > kQuotedLines ? lines.size() - kQuotedLines : 0;
  for (std::size_t i = window; i < lines.size(); ++i)
    if (SpeaksOfError(lines[i])) {
      first = i;
      break;
    }
  std::vector<std::string> out;
  for (std::size_t i = first; i < lines.size() && out.size() < kQuotedLines; ++i)
    out.push_back(Shown(lines[i]));
  return out;
}

std::string RunFailureText(const std::string& inputDir, const std::string& outputDir,
                           std::optional<int> status) {
  if (status && *status == 0) return {};
  std::string text;
  if (!status) {
    text = "KIRMEL did not finish the run.";
  } else if (*status == kNotExecutable || *status == kNotFound) {
    // The shell's own statuses: the kernel never ran, and wrote nothing.
    text = "KIRMEL could not be started (exit status " + IntToStr(*status) + ").";
  } else if (*status == kHangUp || *status == kInterrupt || *status == kKilled ||
             *status == kTerminated) {
    text = "KIRMEL did not finish the run." + kCR +
           "It was ended before it finished: its terminal was closed or the run was stopped "
           "from outside (exit status " + IntToStr(*status) + ").";
  } else if (*status > 128 && *status <= 128 + 64) {
    // A signal of its own making, such as an abort or a segmentation fault.
    text = "KIRMEL ended on signal " + IntToStr(*status - 128) + ".";
  } else {
    text = "KIRMEL stopped with exit status " + IntToStr(*status) + ".";
  }
  for (const std::string& more : {MessageFileText(outputDir), ConsoleLogText(inputDir)})
    if (!more.empty()) text += kCR + more;
  return text;
}

std::string MessageFileText(const std::string& outputDir) {
  // The kernel writes message.out when it starts; a kernel that never ran
  // or was stopped early may have left none, and one that found its disk
  // full an empty one.
  std::error_code ec;
  if (std::optional<std::string> messages = paths::resolveExisting(outputDir + "/message.out");
      messages && fs::file_size(*messages, ec) > 0 && !ec)
    return "See the messages in \"" + *messages + "\".";
  return {};
}

std::string ConsoleLogText(const std::string& inputDir) {
  const std::string log = inputDir + "/" + kRunLogName;
  std::string text;
  if (std::optional<std::string> tail = FileTail(log, kLogTail)) {
    const std::vector<std::string> lines = KernelLastLines(*tail);
    if (!lines.empty()) {
      text = "The last messages of KIRMEL on its console (\"" + log + "\"):";
      for (const std::string& line : lines) text += kCR + "  " + line;
    }
  }
  return text;
}

// ---- The run marker ----

TRunMarker ParseRunMarker(std::string_view text) {
  TRunMarker m;
  const std::vector<std::string_view> lines = Lines(text);
  for (std::size_t n = 1; n < lines.size(); ++n) {
    const std::string_view line = lines[n];
    if (StartsWith(line, "pid ")) {
      std::istringstream in{std::string(line.substr(4))};
      std::string pid, start, group;
      in >> pid >> start >> group;
      int value = 0;
      if (TryStrToInt(pid, value) && value > 0) {
        m.Pid = value;
        m.StartTime = start;
        m.Group = TryStrToInt(group, value) && value > 0 ? value : 0;
      }
    } else if (StartsWith(line, "dir ")) {
      m.RunDir = std::string(line.substr(4));
    } else if (StartsWith(line, "batch ")) {
      m.BatchFile = std::string(line.substr(6));
    } else if (m.Id.empty() && !Trim(line).empty()) {
      m.Id = std::string(line);
    }
  }
  return m;
}

std::optional<TRunMarker> ReadRunMarker(const std::string& path) {
  bool ok = false;
  const std::string text = ReadSmallFile(path, kMarkerLimit, ok);
  if (!ok) return std::nullopt;
  return ParseRunMarker(text);
}

bool RunStillWriting(const std::string& markerPath, const std::string& runDir) {
  const std::optional<TRunMarker> m = ReadRunMarker(markerPath);
  return m && m->Pid > 0 && !m->RunDir.empty() && SameDirectory(m->RunDir, runDir) &&
         !ReadRunStatus(m->RunDir, m->Id) && ScriptAlive(m->Pid, m->StartTime, m->Group);
}

std::string ProcessStartTime(int pid) {
  TProcessStat stat;
  return pid > 0 && ReadProcessStat(pid, stat) ? stat.Start : std::string();
}

bool ProcessAlive(int pid, const std::string& startTime) {
  if (pid <= 0) return false;
  if (::kill(pid, 0) != 0 && errno == ESRCH) return false;
  TProcessStat stat;
  if (ReadProcessStat(pid, stat)) {
    if (Ended(stat)) return false;  // ended, not yet reaped
    if (!startTime.empty() && stat.Start != startTime) return false;  // another process now
  }
  return true;
}

bool ProcessGroupAlive(int group, int* member) {
  if (group <= 1) return false;
  if (::kill(-group, 0) != 0) return errno == EPERM;
  // Some process of the group is there; it may only be one that has ended
  // and whose parent has not waited for it (an orphan under a parent that
  // never waits stays so), which does not count.
  // The member found running last time is looked at before all processes.
  if (member && *member > 0) {
    TProcessStat known;
    if (ReadProcessStat(*member, known) && known.Group == group && !Ended(known)) return true;
  }
  // Nothing could be read: taken as running.
  return ScanProcesses([&](int pid, const TProcessStat& stat) {
           if (stat.Group != group || Ended(stat)) return false;
           if (member) *member = pid;
           return true;
         }) != 0;
}

bool ScriptAlive(int pid, const std::string& startTime, int group, int* member) {
  if (ProcessAlive(pid, startTime)) return true;
  if (pid <= 0 || group != pid) return false;
  TProcessStat stat;
  if (!startTime.empty() && ReadProcessStat(pid, stat) && stat.Start != startTime)
    return false;  // the number is another process's now: the group has gone
  return ProcessGroupAlive(group, member);
}

std::string LiveRunProblem(const std::string& path) {
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(path, ec);
  if (!fs::exists(st)) return {};
  bool ok = false;
  const std::string text = ReadSmallFile(path, kMarkerLimit, ok);
  if (!ok)
    return "The run marker \"" + path +
           "\" cannot be read, so it is not known whether KIRMEL is still running.";
  const TRunMarker m = ParseRunMarker(text);
  bool alive = false;
  bool scriptGone = false;  // only what it started runs on
  if (m.Pid > 0) {
    alive = ScriptAlive(m.Pid, m.StartTime, m.Group);
    scriptGone = alive && !ProcessAlive(m.Pid, m.StartTime);
  } else {
    // No process yet: a script that is starting, or a marker of an earlier
    // version that does not name its process.
    const auto written = fs::last_write_time(path, ec);
    alive = !ec && fs::file_time_type::clock::now() - written < kStartingGrace;
  }
  if (!alive) {
    // Only the marker that was judged; a new one stays.
    bool again = false;
    if (ReadSmallFile(path, kMarkerLimit, again) == text && again) fs::remove(path, ec);
    return {};
  }
  std::string what;
  if (!m.RunDir.empty())
    what = "KIRMEL is still running in the run directory \"" + Escaped(m.RunDir) + "\"";
  else if (!m.BatchFile.empty())
    what = "The batch file \"" + Escaped(m.BatchFile) + "\" is still running";
  else
    what = "KIRMEL is still running";
  if (!scriptGone) {
    if (m.Pid > 0) what += " (process " + IntToStr(m.Pid) + ")";
    return what + "." + kCR +
           "Wait until it has ended, or close its window, before starting another run.";
  }
  // Its script and window are gone: what it started is named, and how to
  // end that.
  what += "." + kCR + "Its script and its window are gone, but ";
  std::string name;
  if (const int pid = LiveGroupProcess(m.Group, name); pid > 0)
    return what + Escaped(name) + " (process " + IntToStr(pid) +
           "), which it started, still runs." + kCR +
           "Wait until it has ended, or end it with the command \"kill " + IntToStr(pid) +
           "\", before starting another run.";
  return what + "processes that it started (process group " + IntToStr(m.Group) + ") still run." +
         kCR + "Wait until they have ended, or end them with the command \"kill -- -" +
         IntToStr(m.Group) + "\", before starting another run.";
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

// ---- A started script ----

TStartedRun::TStartedRun(std::unique_ptr<launch::TStartedScript> script, std::string scriptPath,
                         std::string markerPath, std::string id, std::string runDir)
    : script_(std::move(script)),
      scriptPath_(std::move(scriptPath)),
      markerPath_(std::move(markerPath)),
      id_(std::move(id)),
      runDir_(std::move(runDir)) {}

std::unique_ptr<TStartedRun> TStartedRun::ForBatch(std::unique_ptr<launch::TStartedScript> script,
                                                   std::string scriptPath, std::string markerPath,
                                                   std::string id, std::vector<TSimRun> runs,
                                                   std::string runsProblem) {
  auto run = std::make_unique<TStartedRun>(std::move(script), std::move(scriptPath),
                                           std::move(markerPath), std::move(id), std::string());
  run->batch_ = true;
  run->runs_ = std::move(runs);
  run->runsProblem_ = std::move(runsProblem);
  return run;
}

TStartedRun::TState TStartedRun::Poll() {
  if (state_ != TState::Running) return state_;
  if (scriptPid_ == 0) {
    if (std::optional<TRunMarker> m = ReadRunMarker(markerPath_); m && m->Id == id_) {
      scriptPid_ = m->Pid;
      scriptStart_ = m->StartTime;
      scriptGroup_ = m->Group;
    }
  }
  // The process first: a script that ends removes its marker before it goes.
  // A script killed outright leaves its kernel running in the process group
  // it leads.
  bool gone = script_ && script_->ScriptGone();
  if (scriptPid_ > 0 && scriptGroup_ == scriptPid_)
    gone = !ScriptAlive(scriptPid_, scriptStart_, scriptGroup_, &groupMember_);
  else if (scriptPid_ > 0 && !gone)
    gone = !ProcessAlive(scriptPid_, scriptStart_);
  if (!MarkerHolds(markerPath_, id_)) {
    state_ = TState::Ended;
  } else if (gone) {
    std::error_code ec;
    std::filesystem::remove(markerPath_, ec);
    state_ = TState::Lost;
  }
  return state_;
}

std::string TStartedRun::UnknownRunsText(const std::string& what) const {
  return (runsProblem_.empty() ? "The batch file " + scriptPath_ +
                                     " does not list its runs in a form that KIRMEL-GUI reads."
                               : runsProblem_) +
         kCR + what + kCR +
         "See the messages in the message.out of each run, or save the batch again with "
         "\"Create batchfile\".";
}

std::string TStartedRun::Information() const {
  if (!batch_ || !runs_.empty() || state_ != TState::Ended) return {};
  return "The batch file " + scriptPath_ + " has ended." + kCR +
         UnknownRunsText("Its runs could not be checked.");
}

std::string TStartedRun::Outcome() const {
  if (state_ == TState::Running) return {};
  if (!batch_) return RunFailureText(runDir_, runDir_, ReadRunStatus(runDir_, id_));
  const std::string stopped = "The batch file " + scriptPath_ + " was stopped before it finished.";
  // A batch that ended says what it could of its runs (Information).
  if (runs_.empty())
    return state_ == TState::Lost
               ? stopped + kCR + UnknownRunsText("The runs that failed could not be listed.")
               : std::string();
  // Each run directory once, in the batch's order: a run listed twice
  // leaves the status of its last run.
  std::set<std::string> seen;
  std::string failures;
  int failed = 0;
  for (const TSimRun& run : runs_) {
    if (!seen.insert(run.InputDir).second) continue;
    const std::optional<int> status = ReadRunStatus(run.InputDir, id_);
    // A directory the batch cannot enter keeps no status: the batch went on
    // without running KIRMEL there.
    const std::string entering = status ? std::string() : EnterProblem(run.InputDir);
    const std::string text =
        entering.empty() ? RunFailureText(run.InputDir, run.OutputDir, status)
                         : "KIRMEL was not run: the batch could not enter the run directory (" +
                               entering + ").";
    if (text.empty()) continue;
    ++failed;
    failures += kCR + kCR + "Run directory \"" + run.InputDir + "\":" + kCR + text;
  }
  if (failed == 0) return {};
  return (state_ == TState::Lost ? stopped + kCR : std::string()) + IntToStr(failed) + " of the " +
         IntToStr(static_cast<long long>(seen.size())) + " runs of the batch file " +
         scriptPath_ + " failed." + failures;
}

std::unique_ptr<TStartedRun> StartScript(const TScriptStart& start) {
  const std::string id = NewRunId();
  const std::string text = start.DateTime + ", KIRMEL is running.\n" + id + "\n" +
                           (start.RunDir.empty() ? "batch " + start.Script : "dir " + start.RunDir) +
                           "\n";
  // A marker left by a script that is gone is removed; one of a live
  // script refuses the start.  Twice, for a marker that appears meanwhile.
  bool created = false;
  for (int attempt = 0; attempt < 2 && !created; ++attempt) {
    if (std::string problem = LiveRunProblem(start.Marker); !problem.empty())
      throw ERunError(problem);
    created = CreateMarker(start.Marker, text);
  }
  if (!created)
    throw ERunError("The run marker \"" + start.Marker + "\" is in the way and cannot be removed.");
  std::unique_ptr<launch::TStartedScript> started =
      launch::OpenFileExecute(start.Script, {id}, start.Dir);
  if (!started) {
    std::error_code ec;
    if (MarkerHolds(start.Marker, id)) std::filesystem::remove(start.Marker, ec);
    throw ERunError("Unable to execute '" + start.Script + "'");
  }
  if (start.RunDir.empty())
    return TStartedRun::ForBatch(std::move(started), start.Script, start.Marker, id, start.Runs,
                                 start.RunsProblem);
  return std::make_unique<TStartedRun>(std::move(started), start.Script, start.Marker, id,
                                       start.RunDir);
}

}  // namespace kirmel::fe
