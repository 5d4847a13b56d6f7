// Windows open inside the screen they open on.
//
// A window asks for a size when it is built (resize(1000, 780)), chosen for
// a large screen.  Fitting takes that as the most it gets: each time a
// window is opened (shown by the program, not restored by the window
// system), it is made no larger than the available geometry of its screen
// less the window frame, and placed so that its frame lies inside that
// geometry.  Its minimum size (its layout's) always holds, so a window is
// never squeezed below what its contents need: the contents' stretchable
// parts, such as charts, take the loss.  Only a window whose minimum is
// larger than the screen reaches beyond it, from the screen's top left
// corner.  A dialog that was not moved opens in the middle of its owner, as
// far as the screen allows.
//
// One application-wide filter does this for every window of the program
// (main window, dialogs, graph windows, message boxes), so no window needs
// code of its own:
//
//   QApplication app(argc, argv);
//   qt::TWindowFitting fitting;
#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

namespace kirmel::qt {

// The frame rectangle a window gets on a screen whose available geometry is
// `available`: `frame` is the frame rectangle it asks for (position and
// size, frame included) and `minimum` the smallest frame size its contents
// allow.  The size is cut to the available size but not below `minimum`;
// the rectangle is then moved the least distance that puts it inside (at
// the top left corner where it is larger).
QRect FitFrame(const QRect& frame, const QSize& minimum, const QRect& available);

// The frame the window system puts around `window`: its own once it is
// shown with one, else that of another visible window, else a typical
// title bar and border.
QMargins WindowFrameMargins(const QWidget* window);

// Fits the top-level widget `window` to its screen as described above.
void FitToScreen(QWidget* window);

// While it lives, every window that opens is fitted to its screen.
class TWindowFitting : public QObject {
 public:
  TWindowFitting();
  ~TWindowFitting() override;
  TWindowFitting(const TWindowFitting&) = delete;
  TWindowFitting& operator=(const TWindowFitting&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kirmel::qt
