// The editor object: it owns the scenario and pesticide model and the
// settings, writes the kernel input files and the names file, and reads the
// kernel input files back.
//
// Writing: every file is built in memory with CR LF line ends and "." as the
// decimal separator whatever the locale.  A scenario (nine files) and a
// pesticide are each saved as one unit (files::TFolderSave): the complete new
// folder is written beside the old one and put in its place in one step, so
// a failure or a kill leaves the previous version byte for byte.  A single
// file (the names file) is written to a temporary file beside it and renamed
// into place.  A failure raises EInOutError naming the file and the reason.
// The scenario or pesticide folder is created by its save; the folders above
// it must exist.
//
// Reading: LoadScenario and LoadPesticide fill fresh model parts and replace
// the model's parts only when every file was read and every value accepted;
// otherwise the model (names included) is unchanged.  They read one version:
// the folder is held against saves (files::TFolderReadLock) while its files
// are read, or, by a user who cannot make the lock file, read again when a
// save replaced it meanwhile; a version that a killed save left aside is put
// back first.  A file that lacks a key that the writer always writes is
// refused, naming the file and the first missing key.  Structural errors go
// to the message sink and give false; EIllegalValue and EOutOfRange pass
// out.
//
// Changes: the editor keeps what Save would write for the scenario and for
// the pesticide as they were last loaded, saved or marked unchanged;
// ScenarioChanged and PesticideChanged compare the model with that.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/editor/Parser.h"
#include "frontend/editor/Settings.h"
#include "frontend/model/KirExcpt.h"
#include "frontend/model/Kirdata.h"
#include "platform/FolderSave.h"
#include "platform/Version.h"

namespace kirmel::fe {

// A kernel input file that could not be written completely.
class EInOutError : public EKirmelError {
 public:
  using EKirmelError::EKirmelError;
};

// A scenario or pesticide not saved because its folder, one of its files or
// the folder that holds it is write-protected.
class EWriteProtected : public EInOutError {
 public:
  EWriteProtected(std::string message, bool parentFolder)
      : EInOutError(std::move(message)), parentFolder_(parentFolder) {}
  // True when it is the folder that holds all scenarios (pesticides): none
  // can be saved there, under any name.
  bool ParentFolder() const { return parentFolder_; }

 private:
  bool parentFolder_;
};

class TStartedRun;

class TKirmelEditor {
 public:
  // Gives today's date as the header's date line shows it (and, for the
  // batch files, the date and time).
  using TDateProvider = std::function<std::string()>;

  // One kernel input file as the names file lists it.
  struct TInputFile {
    std::string Key;
    std::string Path;  // as on disk when it exists
    std::string Description;
  };

  // What the program takes from its surroundings; tests replace any of it.
  struct TEnvironment {
    std::string Root;             // empty: paths::root()
    char DecimalSeparator = 0;    // 0: the one of the user's locale
    TDateProvider Date;           // empty: the locale's short date of today
    TDateProvider DateTime;       // empty: the locale's short date and long time of now
    TMessageSink Messages;        // the error dialog; empty: messages are dropped
    files::TSaveFault SaveFault;  // tests: makes a step of a save fail
    // How long a save or a load waits for another program's save of the
    // same scenario (pesticide).
    std::chrono::milliseconds LockWait = files::kLockWait;
  };

  TKirmelEditor();
  explicit TKirmelEditor(TEnvironment environment);
  TKirmelEditor(const TKirmelEditor&) = delete;
  TKirmelEditor& operator=(const TKirmelEditor&) = delete;

  // The front end's version text.
  static std::string Version() { return version::gui(); }

  TKirmelData& Data() { return data_; }
  const TKirmelData& Data() const { return data_; }
  TSettings& Settings() { return settings_; }
  const TSettings& Settings() const { return settings_; }
  // The decimal separator recorded from the locale when the editor was made.
  char DecimalSeparator() const { return decimalSeparator_; }
  Parser& InputParser() { return parser_; }
  void SetMessageSink(TMessageSink sink);
  void SetDateProvider(TDateProvider date) { date_ = std::move(date); }
  void SetDateTimeProvider(TDateProvider dateTime) { dateTime_ = std::move(dateTime); }
  std::string DateTime() const { return dateTime_ ? dateTime_() : std::string(); }
  void SetSaveFault(files::TSaveFault fault) { saveFault_ = std::move(fault); }

  // ---- Writing ----
  // The nine scenario files into SCENARIOS/<ScenarioName>, as one unit:
  // files of that folder that the writer does not write are kept.  On
  // success the scenario counts as unchanged.  Refused (EInOutError) while
  // another program saves it, and over a write-protected folder or file.
  void SaveScenario();
  // SU.INP into PESTICIDES/<PesticideName>, the same way.
  void SavePesticide();
  // FILES.INP into RUNS/<ScenarioName>+<PesticideName>.
  void WriteFilesInp();
  // The ten files FILES.INP names, in its order, and its own path.
  std::vector<TInputFile> InputFiles() const;
  std::string FilesInpPath() const;

  // ---- Runs (EditorRun.cpp, Run.h) ----
  // Writes the run batch file for Settings().RunDir to path.  False after
  // the message "Cannot write to file " + path.
  bool WriteBatchFile(const std::string& path);
  // Writes RUN.BAT into Settings().RunDir, creates the run marker and
  // starts RUN.BAT; the caller waits for the started run.  nullptr when
  // RUN.BAT could not be written (nothing started).  Raises ERunError,
  // before anything is written, while a live script holds the run marker;
  // EInOutError when the marker cannot be created and ERunError when RUN.BAT
  // cannot be started (the marker is removed again).
  std::unique_ptr<TStartedRun> RunSimulation();
  // Starts the batch file of the settings as RunSimulation starts RUN.BAT,
  // with the runs it lists, so that its end can report the runs that
  // failed.  A batch file whose list cannot be read still runs; ERunError
  // (nothing started) only when the batch file itself cannot be read.
  std::unique_ptr<TStartedRun> RunBatchFile();

  // One file each, under the given path.
  void WriteWLNU(const std::string& path);
  void WriteWLPA(const std::string& path);
  void WriteWLST(const std::string& path);
  void WriteWBNU(const std::string& path);
  void WriteWBPA(const std::string& path);
  void WriteWBST(const std::string& path);
  void WriteHY(const std::string& path);
  void WriteOPOUTFile(const std::string& path);
  void WriteSL(const std::string& path);
  void WriteSU(const std::string& path);

  // Number text of every real in the kernel input files: a whole number as
  // "30.", a magnitude below 0.001 as mantissa "E" exponent ("9.E-4"), else
  // the general form with 15 significant digits; always with a decimal point
  // or an exponent.
  static std::string FormatReal(double value);

  // ---- Reading ----
  bool ReadWLNU(const std::string& path, TDitch& ditch, TTimestep& totalTime);
  bool ReadWLPA(const std::string& path, TDitch& ditch, TMetrics& metrics);
  bool ReadWLST(const std::string& path, TDitch& ditch, double& backgroundConcentration);
  bool ReadWBNU(const std::string& path, TSediment& sediment);
  bool ReadWBPA(const std::string& path, TSediment& sediment);
  bool ReadWBST(const std::string& path, TSediment& sediment);
  bool ReadHY(const std::string& path, THydrology& hydrology);
  // ktop is set when the file was read (a file without it is refused).
  bool ReadOPOUT(const std::string& path, TDitch& ditch, double& outputTimestep,
                 std::optional<int>& ktop, TSettings& settings);
  bool ReadSL(const std::string& path, TDrift& drift);
  bool ReadSU(const std::string& path, TSolids& solids);

  // Reads the nine files of SCENARIOS/<name> into the model, all or nothing.
  bool LoadScenario(const std::string& name);
  // Reads SU.INP of PESTICIDES/<name> into the model, all or nothing; the
  // scenario's background concentration in air is kept.
  bool LoadPesticide(const std::string& name);

  // ---- Changes ----
  // True when Save would write other files than those of the scenario (the
  // pesticide) as last loaded, saved or marked, or the name differs.
  bool ScenarioChanged();
  bool PesticideChanged();
  // The model's scenario (pesticide) as it is now counts as unchanged.
  void MarkScenarioUnchanged();
  void MarkPesticideUnchanged();

 private:
  // The file being written.
  void BeginFile(const std::string& path);
  void EndFile();
  void Line(std::string_view text);

  // Line primitives.
  void WriteSeparator();
  void WriteEndOfFile();
  void WriteStar();
  void WriteComment(std::string_view text);
  void WriteExplanation(std::string_view text);
  void WriteSection(int number, std::string_view title);
  void WriteHeader(std::string_view contents1, std::string_view contents2);
  void WriteIntegerVariable(std::string_view name, long long value, std::string_view unit,
                            long long min, long long max);
  void WriteSwitch(std::string_view name, bool value);
  void WriteRealVariable(std::string_view name, std::string_view unit, double value, double min,
                         double max);
  void WriteStringVariable(std::string_view name, std::string_view value,
                           std::string_view description);
  void WriteValueList(std::string_view prefix, const std::vector<double>& values, int perLine,
                      std::string_view comment);
  void WriteOPOUT();
  void SetCommentSwitch() { comments_ = settings_.OutputOptions.Comments; }

  void ShowError(const std::string& message);

  // Runs `read` (which reads the files of the scenario or pesticide folder
  // `dir` into fresh model parts each time) while the folder is held against
  // saves; the reader's messages are shown once it is let go, so that no
  // save waits on an open dialog.  A folder replaced while it was read (by
  // the save of a user who can make the lock file, when this one cannot) is
  // read again.  False, after a message, when a save held the folder too
  // long or its lock file cannot serve.
  bool ReadFolder(const std::string& dir, const std::string& what,
                  const std::function<bool()>& read);
  // The path of `file` in `dir`, when a load is about to read it.
  std::string FileToRead(const std::string& dir, const std::string& file);

  // The nine scenario files, each `dir` + its name (dir ends in "/", or is
  // "" for the image text).
  void WriteScenarioFiles(const std::string& dir);

  // What Save would write, without the header (whose date and path do not
  // belong to the model), preceded by the name.
  std::string ScenarioState(const std::string& name);
  std::string PesticideState(const std::string& name);

  TKirmelData data_;
  TSettings settings_;
  char decimalSeparator_;
  TDateProvider date_;
  TDateProvider dateTime_;
  TMessageSink messages_;
  Parser parser_;

  bool comments_ = true;
  std::string outPath_;  // where the file being written goes
  std::string out_;      // its text so far
  files::TFolderSave* folder_ = nullptr;  // the folder being saved, when one is
  bool image_ = false;   // files go to image_ text instead of the disk
  std::string imageText_;
  files::TSaveFault saveFault_;
  std::chrono::milliseconds lockWait_;
  std::string scenarioBaseline_;
  std::string pesticideBaseline_;
};

}  // namespace kirmel::fe
