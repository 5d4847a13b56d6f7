// Reading output files with a progress dialog: a read that takes longer
// than half a second shows "Reading <file>" with a bar and Cancel.  Cancel
// ends the read (TReadCancelled); whatever asked for it changes nothing and
// a window being opened does not open.  The reads stay on the GUI thread;
// the dialog is modal and keeps the application responsive between blocks
// of the file.
//
//   fe::TReadContext context(fe::ProgramParser());
//   if (!ReadWithProgress(owner, context, [&] { return ReadFiles(context); })) ...
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "frontend/viewer/ReaderSupport.h"

class QProgressDialog;
class QWidget;

namespace kirmel::viewer {

// The time a read may take before its dialog shows (500 ms); tests set 0
// to see the dialog at a read's first block.
int ReadProgressDelay();
void SetReadProgressDelay(int milliseconds);

// The progress of the reads of one user action, from its start.
class TReadProgressDialog {
 public:
  // The dialog is modal over `parent`.
  explicit TReadProgressDialog(QWidget* parent);
  ~TReadProgressDialog();
  TReadProgressDialog(const TReadProgressDialog&) = delete;
  TReadProgressDialog& operator=(const TReadProgressDialog&) = delete;

  // The callback for a read context; valid while this object lives.
  fe::TReadProgress Callback();
  bool Cancelled() const { return cancelled_; }

 private:
  bool Step(const std::string& fileName, std::uint64_t done, std::uint64_t size);

  QPointer<QWidget> parent_;
  QElapsedTimer timer_;
  std::unique_ptr<QProgressDialog> dialog_;
  bool cancelled_ = false;
};

// Runs `read` with `context` reporting to a progress dialog over `parent`;
// the result of `read`, or false when the user cancelled (`cancelled` then
// set).
bool ReadWithProgress(QWidget* parent, fe::TReadContext& context,
                      const std::function<bool()>& read, bool* cancelled = nullptr);
// The same for reads that take their callback from `slot` (a comparison's),
// which holds the dialog's callback while `read` runs.
bool ReadWithProgress(QWidget* parent, fe::TReadProgress& slot, const std::function<bool()>& read,
                      bool* cancelled = nullptr);

}  // namespace kirmel::viewer
