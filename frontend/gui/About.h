// The About window, the greetings window behind it, and the splash window
// shown while the program starts.
#pragma once

#include <QDialog>
#include <QWidget>

namespace kirmel::gui {

// "About": the program's name, version, revision and release date.  A double
// click on its panel opens the greetings window.
class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* panel_;
};

class TGreetingsForm : public QDialog {
  Q_OBJECT

 public:
  explicit TGreetingsForm(QWidget* parent = nullptr);
};

class TSplashForm : public QWidget {
  Q_OBJECT

 public:
  explicit TSplashForm(QWidget* parent = nullptr);
};

}  // namespace kirmel::gui
