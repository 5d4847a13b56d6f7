// The results viewer's entry: the graph menu on one run's output directory.
//
// The user picks a kind of graph and presses "View"; the graph window opens
// modally over the menu, reads the run's files, and the menu stays for the
// next choice.  Every graph window reads from the menu's OutputDir.
#pragma once

#include <QDialog>
#include <string>

class QButtonGroup;

namespace kirmel::viewer {

class TGraphMenuForm : public QDialog {
  Q_OBJECT

 public:
  // The kinds of graph, in the order of the list.
  enum TGraphType {
    ConcentrationInWaterbody = 0,
    ConcentrationInTime = 1,
    Distribution = 2,
    MassBalanceWaterLayer = 3,
    MassBalanceSediment = 4
  };

  explicit TGraphMenuForm(QWidget* owner = nullptr);

  // The run's output directory, without a final separator; set before showing.
  std::string OutputDir;
  // The root the editor runs in, by whose run marker the graph windows
  // judge whether KIRMEL is still writing the run; empty: the program's root.
  std::string Root;

  // The chosen kind (-1 for none), and choosing one as a click would.
  int GraphType() const;
  void SetGraphType(int index);

  // Opens the window of the chosen kind; "You must first select a type of
  // graph" when none is chosen.
  void ViewButtonClick();

 private:
  // Opens a graph window of type TForm on the run, modally.
  template <class TForm>
  void OpenGraph();

  QButtonGroup* group_;
};

// Opens the graph menu modally on `runDir`, a run of the editor's `root`,
// with `owner` as its owner.
void OpenGraphMenu(QWidget* owner, const std::string& runDir, const std::string& root);

// Shows the messages of the output-file readers (the program-wide token
// reader) in the error dialog.  Called once when the program starts.
void ShowReaderMessagesAsErrors();

}  // namespace kirmel::viewer
