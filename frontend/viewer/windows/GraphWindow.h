// What the graph windows opened from the graph menu share.
//
// A graph window reads the kernel output files it needs from the run's
// output directory each time it is shown, under the hour-glass cursor,
// through the viewer's cache (a file unchanged since it was last read is
// not read again).  Opened modally (exec), it reads before it shows: when a
// needed file cannot be read (the reader has shown its message), or the
// user cancels a long read in its progress dialog, the window does not
// open.  Shown otherwise, it reads as it shows and closes itself when a
// file cannot be read.  A damaged file that is read is named once a show,
// and the window draws what the file held before the damage.  What the
// reads of one opening, or of one later choice, report comes in one
// message, each file on a line of its own.  A run that KIRMEL is still
// writing gets one notice a window instead of a message for each file that
// stops where the kernel has got to; the window draws the output times
// written so far.  A run whose files end short of the time it was set to
// simulate gets one notice a window too, saying where KIRMEL said why
// (fe::TRunEnd judges both), before any message about its files.  A fault
// that escapes the drawing is shown, and the window keeps what it drew.
//
//   class TMyGraphForm : public TGraphWindow {
//     bool ReadFiles(fe::TReadContext& context) override;  // false: do not open
//     std::optional<double> LastOutputTime() const override;  // of what was read
//     void FormShow() override;                             // draw what was read
//   };
//   TMyGraphForm form(menu, outputDir);
//   form.exec();
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "frontend/viewer/OutputCache.h"
#include "frontend/viewer/ReaderSupport.h"
#include "frontend/viewer/RunEnd.h"

namespace kirmel::viewer {

class TGraphWindow : public QDialog {
  Q_OBJECT

 public:
  TGraphWindow(QWidget* owner, std::string outputDir);

  // The run's output directory, without a final separator.
  const std::string& OutputDir() const { return outputDir_; }
  // OutputDir + "/" + name.
  std::string OutputFile(const std::string& name) const;

  // The root whose run marker tells whether KIRMEL is still writing the
  // run: the one the editor runs in.  The program's root (paths::root())
  // until set or when empty.
  void SetRoot(std::string root) { root_ = std::move(root); }

  // Reads the files, then shows the window modally; Rejected without
  // showing it when they could not be read or the reading was cancelled.
  int exec() override;

  // True when the last show or open could not read a needed file, or the
  // reading was cancelled (ReadCancelled then also true).
  bool ReadFailed() const { return readFailed_; }
  bool ReadCancelled() const { return readCancelled_; }

 protected:
  // Reads the files the window draws into its fields; false when a needed
  // file could not be read.
  virtual bool ReadFiles(fe::TReadContext& context) = 0;
  // The last output time that the files ReadFiles read hold whole; nothing
  // when they hold none.
  virtual std::optional<double> LastOutputTime() const = 0;
  // Fills the charts from what ReadFiles read.
  virtual void FormShow() = 0;
  void showEvent(QShowEvent* event) override;

  // The cache the window reads through, and the context of this show's
  // reads.
  fe::TOutputCache& Cache() const { return fe::TOutputCache::Viewer(); }
  fe::TReadContext& ReadContext() { return context_; }
  // Reads the run's input echo through the cache, saying what is known of
  // the run's end when it cannot (fe::TRunEnd::ReadEcho).
  bool ReadEcho(fe::TReadContext& context, fe::TINPUT& echo) const {
    return runEnd_.ReadEcho(Cache(), context, echo);
  }
  // `read`, after saying what is known of a run without results when it is
  // false (fe::TRunEnd::ReportNoResults).
  bool ReadOrSayWhy(bool read, fe::TReadContext& context) const {
    if (!read) runEnd_.ReportNoResults(Cache(), context);
    return read;
  }
  // A read after the window opened (another subsystem chosen), with the
  // progress dialog; false when `read` gives false or it was cancelled
  // (`cancelled` then set).
  bool ReadLater(const std::function<bool()>& read, bool* cancelled = nullptr);

 private:
  // Reads the files with a fresh context; false when the window cannot open.
  bool Load();
  // Shows what the reads reported since the last call, in one message,
  // after the notice of a run still being written or of one whose files
  // end short (`stopped`), once a window.
  void ShowReports(const std::string& stopped = {});
  // The notice of a run whose files end short, judged by its echo.
  std::string StoppedNotice() const;

  std::string outputDir_;
  std::string root_;
  fe::TRunEnd runEnd_;
  fe::TReadReports reports_;
  fe::TReadContext context_;
  bool noticeShown_ = false;
  bool loaded_ = false;
  bool readFailed_ = false;
  bool readCancelled_ = false;
};

// Shows the hour-glass cursor while it lives; the cursor before comes back
// on every way out.
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace kirmel::viewer
