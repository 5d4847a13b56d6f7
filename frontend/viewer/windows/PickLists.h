// The two pick lists of the graph and comparison windows: a list of lines
// the caller fills, and the 1-based number of the line chosen (0 for none).
//
//   int t = SelectTimestep(this, lines);   // 0: cancelled or nothing chosen
//   if (t > 0) ...
//
// OK with no line selected, Cancel and closing the window all leave 0; a
// double click on a line chooses it and closes the list.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;

namespace kirmel::viewer {

class TFrmSelectList : public QDialog {
  Q_OBJECT

 public:
  // Fills the list box with Lines() and sets Selected to 0 (done on every show).
  void FormShow();
  // Takes the selected line, if any, and closes with OK.
  void BitBtnOKClick();

  QListWidget* List() const { return list_; }
  int Selected = 0;

 protected:
  TFrmSelectList(QWidget* owner, const char* formName, const char* caption, const char* label,
                 const char* listName);
  virtual const std::vector<std::string>& Lines() const = 0;
  void showEvent(QShowEvent* event) override;

 private:
  QListWidget* list_;
};

class TFrmSelectNode : public TFrmSelectList {
  Q_OBJECT

 public:
  explicit TFrmSelectNode(QWidget* owner = nullptr);
  std::vector<std::string> Nodes;

 protected:
  const std::vector<std::string>& Lines() const override { return Nodes; }
};

class TFrmSelectTimestep : public TFrmSelectList {
  Q_OBJECT

 public:
  explicit TFrmSelectTimestep(QWidget* owner = nullptr);
  std::vector<std::string> Timesteps;

 protected:
  const std::vector<std::string>& Lines() const override { return Timesteps; }
};

// Shows the pick list modally over `owner`; the line chosen (1-based) or 0.
int SelectNode(QWidget* owner, const std::vector<std::string>& nodes);
int SelectTimestep(QWidget* owner, const std::vector<std::string>& timesteps);

}  // namespace kirmel::viewer
