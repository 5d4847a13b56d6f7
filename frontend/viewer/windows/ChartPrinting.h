// Printing of the graph windows.
//
// Every graph window prints one page the same way: it begins a document on
// the default printer, frames the page (full or upper half, with the
// window's title), draws its charts into rectangles of the frame's inner
// area, ends the document and says "Chart is being printed.".  A document
// that cannot be begun or finished is reported as an error instead.
//
// With no printer installed (as on most Linux machines) it says "No printer
// installed." and offers to save the page as a PDF file instead: the same
// page, laid out on the page size, orientation and margins of "Printer
// setup".  The file chooser opens in the run's folder, else in the home
// folder.  The file is written under a temporary name and takes the chosen
// name only when it is complete, so a failure leaves a file that was there
// before as it was.
//
// The printer is an interface: the program prints through Qt's printer
// support, tests and tools install one that prints into a PDF file or an
// image.
#pragma once

#include <QImage>
#include <QRect>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontend/chart/Chart.h"

class QPageLayout;
class QPaintDevice;
class QPainter;
class QPdfWriter;
class QSaveFile;

namespace kirmel::viewer {

class TPagePrinter {
 public:
  virtual ~TPagePrinter() = default;
  // True when there is a printer to print on.
  virtual bool Installed() = 0;
  // Begins a document named `title`: the device of its page, or nullptr when
  // no document could be begun.  The caller paints the page with one
  // QPainter and ends the painter before EndDocument.
  virtual QPaintDevice* BeginDocument(const std::string& title) = 0;
  // Ends the document; false when it did not go out.
  virtual bool EndDocument() = 0;
  // Why the last document could not be begun or ended, when the printer
  // knows; else "".
  virtual std::string Failure() const { return {}; }
};

// The printer the graph windows print on (Qt's default printer until another
// is installed); InstallPagePrinter returns the one it replaced.  Installing
// nothing goes back to Qt's printer.
TPagePrinter& ThePagePrinter();
std::unique_ptr<TPagePrinter> InstallPagePrinter(std::unique_ptr<TPagePrinter> printer);

// The system's default printer, with the page set up by "Printer setup".
class TQtPagePrinter : public TPagePrinter {
 public:
  bool Installed() override;
  QPaintDevice* BeginDocument(const std::string& title) override;
  bool EndDocument() override;
};

// Prints into a PDF file at 600 dots per inch, on A4 portrait with margins
// of 10 mm unless another page layout is given.  The file is replaced only
// when the document ends complete.
class TPdfPagePrinter : public TPagePrinter {
 public:
  explicit TPdfPagePrinter(std::string fileName);
  TPdfPagePrinter(std::string fileName, const QPageLayout& layout);
  ~TPdfPagePrinter() override;
  bool Installed() override { return true; }
  QPaintDevice* BeginDocument(const std::string& title) override;
  bool EndDocument() override;
  std::string Failure() const override { return failure_; }
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  std::unique_ptr<QPageLayout> layout_;
  std::unique_ptr<QSaveFile> file_;
  std::unique_ptr<QPdfWriter> writer_;
  std::string failure_;
};

// Prints onto a white image of the given size in pixels (150 dots per inch
// unless set otherwise); Page() is the last page printed.
class TImagePagePrinter : public TPagePrinter {
 public:
  explicit TImagePagePrinter(QSize size = QSize(1240, 1754), int dotsPerInch = 150);
  bool Installed() override { return true; }
  QPaintDevice* BeginDocument(const std::string& title) override;
  bool EndDocument() override { return true; }
  const QImage& Page() const { return page_; }

 private:
  QSize size_;
  int dotsPerInch_;
  QImage page_;
};

enum class TPageFrame { Full, Half };

// The inner area of the page frame, as Left, Top, Width, Height.
using TPageDraw = std::function<void(QPainter& painter, const QRect& area)>;

// Prints one page on ThePagePrinter(): the frame with `title`, then `draw`
// into the frame's inner area, with the messages described above; with no
// printer installed, offers the page as a PDF file, in `runDir` (the folder
// of the run the page shows) when that is a folder.  True when the page was
// printed or saved.
bool PrintGraphPage(const std::string& title, TPageFrame frame, const TPageDraw& draw,
                    const std::string& runDir);

// Prints `chart` into the rectangle from (left, top) to (right, bottom) with
// the print-resolution percentage `printResolution`.  Returns the legend's
// rectangle on the page (empty when there is no legend).
QRect PrintChartIn(QPainter& painter, const fe::TChart& chart, int printResolution, int left,
                  int top, int right, int bottom);

// Prints charts shown one above the other, each into its rectangle (left,
// top, right, bottom as for PrintChartIn) with the print-resolution
// percentage, their plot areas lined up as on screen.  Returns the legends'
// rectangles, one a chart.
std::vector<QRect> PrintAlignedChartsIn(QPainter& painter,
                                        const std::vector<const fe::TChart*>& charts,
                                        int printResolution, const std::vector<QRect>& rects);

// Prints `chart`, the one chart of its window, into the inner area of a
// half-page frame; returns the legend's rectangle as PrintChartIn does.
QRect PrintSingleChart(QPainter& painter, const fe::TChart& chart, const QRect& area);

// Printer pixels given for a 600 dots-per-inch page, on the painter's device.
int DevicePixels(const QPainter& painter, int pixelsAt600);

// The canvas the graph windows write legend headings with: Arial 9 pt,
// black; brush white and clear; pen 2 pixels, black.
void SetHeadingCanvas(QPainter& painter);

// Text with its top left corner at (x, y), in the painter's font; the width
// and height of a text in that font, in the painter's device pixels.
void TextOut(QPainter& painter, int x, int y, const std::string& text);
int TextWidth(const QPainter& painter, const std::string& text);
int TextHeight(const QPainter& painter, const std::string& text);

// Writes the lines of a legend heading, one under the other, so that the
// last ends just above `legend`, flush with its left edge; without a legend
// (an empty rectangle) the first line goes to `fallback`.
void WriteLegendHeading(QPainter& painter, const QRect& legend, const QPoint& fallback,
                        const std::vector<std::string>& lines);

}  // namespace kirmel::viewer
