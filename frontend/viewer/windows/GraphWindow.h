// What the graph windows opened from the graph menu share.
//
// A graph window reads the kernel output files it needs from the run's
// output directory each time it is shown, under the hour-glass cursor.  When
// a needed file cannot be read (the reader has shown its message) the window
// closes itself without a message of its own.  A fault that escapes the
// reading is shown, and the window keeps what it drew.
//
//   class TMyGraphForm : public TGraphWindow {
//     bool FormShow() override;   // read and draw; false: close the window
//   };
//   TMyGraphForm form(menu, outputDir);
//   form.exec();
#pragma once

#include <QDialog>
#include <string>

namespace kirmel::viewer {

class TGraphWindow : public QDialog {
  Q_OBJECT

 public:
  TGraphWindow(QWidget* owner, std::string outputDir);

  // The run's output directory, without a final separator.
  const std::string& OutputDir() const { return outputDir_; }
  // OutputDir + "/" + name.
  std::string OutputFile(const std::string& name) const;

  // True when the last show closed the window because a file could not be
  // read.
  bool ReadFailed() const { return readFailed_; }

 protected:
  // Reads the files and fills the charts; false when a needed file could
  // not be read.
  virtual bool FormShow() = 0;
  void showEvent(QShowEvent* event) override;

 private:
  std::string outputDir_;
  bool readFailed_ = false;
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
