// The dialog service: every message box, question, folder browser, file
// chooser and printer set-up of the front end goes through one object, so
// that tests can script the answers and read back every text exactly.
//
// Texts keep the carriage returns (character 13) that separate their lines;
// the Qt implementation shows each as a line break.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kirmel::qt {

enum class TDialogKind {
  Error,         // "Error", OK
  Information,   // "Information", OK
  Confirm,       // "Confirm", Yes and No
  Question,      // "Confirm", OK and Cancel
  FolderBrowser,
  OpenFile,
  SaveFile,
  PrinterSetup,
  SaveFolder,
  YesNoCancel    // "Confirm", Yes, No and Cancel
};

// The answer to a question with three buttons.
enum class TChoice { Yes, No, Cancel };

// Judges the path a save-folder chooser would return: why it cannot be
// taken, or "" when it can.
using TFolderCheck = std::function<std::string(const std::string& path)>;

// What a file chooser shows.
struct TFileDialogOptions {
  std::string Title;
  std::string Filter;            // "Bitmap files (*.bmp)|*.bmp|All files (*.*)|*.*"
  std::string DefaultExtension;  // without the dot; added to a name that has none
  std::string StartDir;
  bool AskOverwrite = false;     // save: question before an existing file is replaced
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  virtual void Error(const std::string& text) = 0;
  virtual void Information(const std::string& text) = 0;
  // True only when Yes was chosen.
  virtual bool Confirm(const std::string& text) = 0;
  // True only when OK was chosen.
  virtual bool Question(const std::string& text) = 0;
  // The chosen directory, or nothing when the browser was cancelled.  With
  // mayCreateFolders the user can make a new folder in the browser.
  virtual std::optional<std::string> BrowseFolder(const std::string& title,
                                                  const std::string& startDir,
                                                  bool mayCreateFolders) = 0;
  virtual std::optional<std::string> OpenFile(const TFileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFile(const TFileDialogOptions& options) = 0;
  // True when the set-up was confirmed.
  virtual bool PrinterSetup() = 0;
  // The folder to save in, directly in parentDir: one of the folders there,
  // or a new name typed by the user (the field starts with `name`).  The
  // path parentDir + "/" + the name as typed, or nothing when cancelled.
  // A path that `check` refuses is not returned: its message is shown as an
  // error and the chooser stays open with the name, to be corrected.
  // Nothing is created.
  virtual std::optional<std::string> ChooseSaveFolder(const std::string& title,
                                                      const std::string& parentDir,
                                                      const std::string& name,
                                                      const TFolderCheck& check) = 0;
  // Yes, No or Cancel; closing the dialog is Cancel.
  virtual TChoice YesNoCancel(const std::string& text) = 0;
};

// The process-wide service.  It is the Qt implementation until a test or a
// tool installs another one; InstallDialogs returns the one it replaced.
Dialogs& TheDialogs();
std::unique_ptr<Dialogs> InstallDialogs(std::unique_ptr<Dialogs> dialogs);

// The Qt implementation: modal standard dialogs over the active window.
class TQtDialogs : public Dialogs {
 public:
  void Error(const std::string& text) override;
  void Information(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  bool Question(const std::string& text) override;
  std::optional<std::string> BrowseFolder(const std::string& title, const std::string& startDir,
                                          bool mayCreateFolders) override;
  std::optional<std::string> OpenFile(const TFileDialogOptions& options) override;
  std::optional<std::string> SaveFile(const TFileDialogOptions& options) override;
  bool PrinterSetup() override;
  std::optional<std::string> ChooseSaveFolder(const std::string& title,
                                              const std::string& parentDir,
                                              const std::string& name,
                                              const TFolderCheck& check) override;
  TChoice YesNoCancel(const std::string& text) override;
};

// One dialog as the scripted service saw it.
struct TDialogRecord {
  TDialogKind Kind;
  std::string Title;  // "Error", "Information", "Confirm"; the chooser's title
  std::string Text;   // the message; a chooser's start directory
  bool MayCreateFolders = false;
  std::string Name = {};  // the name a save-folder chooser starts with
};

// The scripted implementation for tests and tools: records every dialog and
// answers the ones that return a choice from a queue.  A save-folder chooser
// takes queued answers until one passes its check, recording itself again,
// with the refused name, after each error.  A choice dialog that
// comes with no answer queued, or with an answer queued for another kind, is
// reported to the failure handler (by default: a message on stderr and
// abort), then answered as if cancelled.
class TScriptedDialogs : public Dialogs {
 public:
  using TFailureHandler = std::function<void(const std::string&)>;

  TScriptedDialogs();

  // Queue answers, in the order the dialogs will come.
  TScriptedDialogs& AnswerConfirm(bool yes);
  TScriptedDialogs& AnswerQuestion(bool ok);
  TScriptedDialogs& AnswerFolder(std::optional<std::string> dir);
  TScriptedDialogs& AnswerOpenFile(std::optional<std::string> file);
  TScriptedDialogs& AnswerSaveFile(std::optional<std::string> file);
  TScriptedDialogs& AnswerPrinterSetup(bool ok);
  TScriptedDialogs& AnswerSaveFolder(std::optional<std::string> dir);
  TScriptedDialogs& AnswerYesNoCancel(TChoice choice);

  // Not strict: an unscripted choice is answered as cancelled and logged,
  // without a failure (for tools that render windows).
  void SetStrict(bool strict) { strict_ = strict; }
  void SetFailureHandler(TFailureHandler handler) { onFailure_ = std::move(handler); }

  const std::vector<TDialogRecord>& Records() const { return records_; }
  // The texts of the error dialogs, in order.
  std::vector<std::string> Errors() const;
  std::vector<std::string> Infos() const;
  int PendingAnswers() const { return static_cast<int>(answers_.size()); }
  void Clear() {
    records_.clear();
    answers_.clear();
  }

  void Error(const std::string& text) override;
  void Information(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  bool Question(const std::string& text) override;
  std::optional<std::string> BrowseFolder(const std::string& title, const std::string& startDir,
                                          bool mayCreateFolders) override;
  std::optional<std::string> OpenFile(const TFileDialogOptions& options) override;
  std::optional<std::string> SaveFile(const TFileDialogOptions& options) override;
  bool PrinterSetup() override;
  std::optional<std::string> ChooseSaveFolder(const std::string& title,
                                              const std::string& parentDir,
                                              const std::string& name,
                                              const TFolderCheck& check) override;
  TChoice YesNoCancel(const std::string& text) override;

 private:
  struct TAnswer {
    TDialogKind Kind;
    bool Yes = false;
    std::optional<std::string> Path;
    TChoice Choice = TChoice::Cancel;
  };
  // The queued answer for a dialog of this kind, or a cancelling one after
  // reporting the failure.
  TAnswer Take(TDialogKind kind, const std::string& what);

  std::vector<TDialogRecord> records_;
  std::deque<TAnswer> answers_;
  bool strict_ = true;
  TFailureHandler onFailure_;
};

const char* DialogKindName(TDialogKind kind);

}  // namespace kirmel::qt
