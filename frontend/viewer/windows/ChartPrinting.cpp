#include "frontend/viewer/windows/ChartPrinting.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

#include "frontend/plot/ChartPlot.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/Print.h"

namespace kirmel::viewer {

namespace {

std::unique_ptr<TPagePrinter>& Installed() {
  static std::unique_ptr<TPagePrinter> printer;
  return printer;
}

}  // namespace

TPagePrinter& ThePagePrinter() {
  if (!Installed()) Installed() = std::make_unique<TQtPagePrinter>();
  return *Installed();
}

std::unique_ptr<TPagePrinter> InstallPagePrinter(std::unique_ptr<TPagePrinter> printer) {
  std::unique_ptr<TPagePrinter> old = std::move(Installed());
  Installed() = std::move(printer);
  return old;
}

// ---- Qt's printer ----

bool TQtPagePrinter::Installed() { return qt::PrinterInstalled(); }

QPaintDevice* TQtPagePrinter::BeginDocument(const std::string& title) {
  QPrinter& printer = qt::ThePrinter();
  // The default printer is chosen afresh for every document.
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
    if (all.isEmpty()) return nullptr;
    info = all.first();
  }
  printer.setOutputFormat(QPrinter::NativeFormat);
  printer.setPrinterName(info.printerName());
  printer.setDocName(QString::fromStdString(title));
  if (!printer.isValid()) return nullptr;
  return &printer;
}

bool TQtPagePrinter::EndDocument() {
  return qt::ThePrinter().printerState() != QPrinter::Error &&
         qt::ThePrinter().printerState() != QPrinter::Aborted;
}

// ---- PDF ----

TPdfPagePrinter::TPdfPagePrinter(std::string fileName)
    : TPdfPagePrinter(std::move(fileName),
                      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(10, 10, 10, 10))) {}
TPdfPagePrinter::TPdfPagePrinter(std::string fileName, const QPageLayout& layout)
    : fileName_(std::move(fileName)), layout_(std::make_unique<QPageLayout>(layout)) {}
TPdfPagePrinter::~TPdfPagePrinter() {
  // The writer goes before the file it writes to; an unfinished file is
  // discarded with it.
  writer_.reset();
}

QPaintDevice* TPdfPagePrinter::BeginDocument(const std::string& title) {
  writer_.reset();
  failure_.clear();
  file_ = std::make_unique<QSaveFile>(QString::fromStdString(fileName_));
  if (!file_->open(QIODevice::WriteOnly)) {
    failure_ = file_->errorString().toStdString();
    return nullptr;
  }
  writer_ = std::make_unique<QPdfWriter>(file_.get());
  writer_->setTitle(QString::fromStdString(title));
  writer_->setCreator(QStringLiteral("KIRMEL-GUI"));
  writer_->setResolution(600);
  writer_->setPageLayout(*layout_);
  return writer_.get();
}

bool TPdfPagePrinter::EndDocument() {
  writer_.reset();
  if (!file_) return false;
  const bool committed = file_->commit();
  if (!committed) failure_ = file_->errorString().toStdString();
  file_.reset();
  return committed;
}

// ---- image ----

TImagePagePrinter::TImagePagePrinter(QSize size, int dotsPerInch)
    : size_(size), dotsPerInch_(dotsPerInch) {}

QPaintDevice* TImagePagePrinter::BeginDocument(const std::string&) {
  page_ = QImage(size_, QImage::Format_RGB32);
  page_.fill(Qt::white);
  const int dotsPerMeter = static_cast<int>(dotsPerInch_ / 0.0254 + 0.5);
  page_.setDotsPerMeterX(dotsPerMeter);
  page_.setDotsPerMeterY(dotsPerMeter);
  return &page_;
}

// ---- the page ----

namespace {

// Prints the page on `printer`; false when the document could not be begun
// or ended, `failedAt` then saying which.
enum class TPageStep { Begin, End };
bool PrintPage(TPagePrinter& printer, const std::string& title, TPageFrame frame,
               const TPageDraw& draw, TPageStep& failedAt) {
  QPaintDevice* device = printer.BeginDocument(title);
  QPainter painter;
  if (!device || !painter.begin(device)) {
    failedAt = TPageStep::Begin;
    return false;
  }
  int left = 0, top = 0, width = 0, height = 0;
  if (frame == TPageFrame::Full)
    qt::PrintPageFrame(painter, title, left, top, width, height);
  else
    qt::PrintHalfPageFrame(painter, title, left, top, width, height);
  draw(painter, QRect(left, top, width, height));
  // A page that the painter could not finish is not handed on.
  if (!painter.end() || !printer.EndDocument()) {
    failedAt = TPageStep::End;
    return false;
  }
  return true;
}

// The page layout for a PDF in place of the printer: the one "Printer
// setup" gives the printer, else A4 portrait.
QPageLayout PdfPageLayout() {
  QPageLayout layout = qt::ThePrinter().pageLayout();
  if (!layout.isValid())
    layout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                         QMarginsF(10, 10, 10, 10));
  return layout;
}

bool SavePageAsPdf(const std::string& title, TPageFrame frame, const TPageDraw& draw,
                   const std::string& runDir) {
  if (!qt::Confirm("No printer installed.\rSave the page as a PDF file instead?")) return false;
  qt::TFileDialogOptions options;
  options.Title = "Save page as PDF";
  options.Filter = "PDF files (*.pdf)|*.pdf|All files (*.*)|*.*";
  options.DefaultExtension = "pdf";
  options.AskOverwrite = true;
  // Never the working directory, which for a program started from the
  // desktop is "/".
  options.StartDir = !runDir.empty() && QFileInfo(QString::fromStdString(runDir)).isDir()
                         ? runDir
                         : QDir::homePath().toStdString();
  const std::optional<std::string> file = qt::TheDialogs().SaveFile(options);
  if (!file) return false;
  TPdfPagePrinter pdf(*file, PdfPageLayout());
  TPageStep failedAt = TPageStep::Begin;
  if (!PrintPage(pdf, title, frame, draw, failedAt)) {
    std::string message = "Could not save the page to \"" + *file + "\"";
    if (!pdf.Failure().empty()) message += ": " + pdf.Failure();
    qt::ShowError(message + ".");
    return false;
  }
  qt::ShowInfo("Page saved to \"" + *file + "\"");
  return true;
}

}  // namespace

bool PrintGraphPage(const std::string& title, TPageFrame frame, const TPageDraw& draw,
                    const std::string& runDir) {
  TPagePrinter& printer = ThePagePrinter();
  if (!printer.Installed()) return SavePageAsPdf(title, frame, draw, runDir);
  TPageStep failedAt = TPageStep::Begin;
  if (!PrintPage(printer, title, frame, draw, failedAt)) {
    qt::ShowError(failedAt == TPageStep::Begin
                      ? "The chart could not be printed: the printer did not start the document."
                      : "The chart could not be printed: the printer did not finish the document.");
    return false;
  }
  qt::ShowInfo("Chart is being printed.");
  return true;
}

QRect PrintChartIn(QPainter& painter, const fe::TChart& chart, int printResolution, int left,
                   int top, int right, int bottom) {
  fe::TChart printed = chart;
  printed.PrintResolution = printResolution;
  return fe::PrintChart(printed, painter, QRect(left, top, right - left, bottom - top),
                 qt::DecimalSeparator());
}

std::vector<QRect> PrintAlignedChartsIn(QPainter& painter,
                                        const std::vector<const fe::TChart*>& charts,
                                        int printResolution, const std::vector<QRect>& rects) {
  std::vector<fe::TChart> printed;
  for (const fe::TChart* chart : charts) {
    printed.push_back(*chart);
    printed.back().PrintResolution = printResolution;
  }
  std::vector<const fe::TChart*> pointers;
  std::vector<QRect> areas;
  for (std::size_t i = 0; i < printed.size() && i < rects.size(); ++i) {
    pointers.push_back(&printed[i]);
    const QRect& r = rects[i];  // right and bottom inclusive, as PrintChartIn takes them
    areas.emplace_back(r.left(), r.top(), r.right() - r.left(), r.bottom() - r.top());
  }
  return fe::PrintAlignedCharts(pointers, painter, areas, qt::DecimalSeparator());
}

QRect PrintSingleChart(QPainter& painter, const fe::TChart& chart, const QRect& area) {
  const int l = area.left(), t = area.top(), w = area.width(), h = area.height();
  const int mx = w / 20;
  const int my = h / 10;
  return PrintChartIn(painter, chart, 0, l + mx, t + my, l + w - 1 - mx, t + h - 1 - my);
}

int DevicePixels(const QPainter& painter, int pixelsAt600) {
  return pixelsAt600 * painter.device()->logicalDpiX() / 600;
}

void SetHeadingCanvas(QPainter& painter) {
  QFont font(QStringLiteral("Arial"), 9);
  font.setStyleHint(QFont::SansSerif);
  painter.setFont(font);
  painter.setBrush(Qt::NoBrush);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setBackground(Qt::white);
  painter.setPen(QPen(Qt::black, 2));
}

void TextOut(QPainter& painter, int x, int y, const std::string& text) {
  const QFontMetrics metrics(painter.font(), painter.device());
  painter.drawText(x, y + metrics.ascent(), QString::fromStdString(text));
}

int TextWidth(const QPainter& painter, const std::string& text) {
  return QFontMetrics(painter.font(), painter.device())
      .horizontalAdvance(QString::fromStdString(text));
}

int TextHeight(const QPainter& painter, const std::string&) {
  return QFontMetrics(painter.font(), painter.device()).height();
}

}  // namespace kirmel::viewer

namespace kirmel::viewer {

void WriteLegendHeading(QPainter& painter, const QRect& legend, const QPoint& fallback,
                        const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  const int h = TextHeight(painter, "X");
  int x = fallback.x();
  int y = fallback.y();
  if (!legend.isEmpty()) {
    x = legend.left();
    y = legend.top() - h * static_cast<int>(lines.size()) - h / 4;
  }
  for (const std::string& line : lines) {
    TextOut(painter, x, y, line);
    y += h;
  }
}

}  // namespace kirmel::viewer
