#include "frontend/qt/Print.h"

#include <QApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QPaintDevice>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <memory>

#include "platform/Version.h"

namespace kirmel::qt {
namespace {

QFont SansFont(int pointSize) {
  QFont font(QStringLiteral("Sans Serif"), pointSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

// Lives as long as the application object, which frees the printer with it.
class TPrinterHolder : public QObject {
 public:
  explicit TPrinterHolder(QObject* parent) : QObject(parent) {}
  QPrinter printer{QPrinter::HighResolution};
};

void PrintFrame(QPainter& painter, const std::string& title, int pageHeight, int& left, int& top,
                int& width, int& height) {
  const int w = painter.device()->width();
  const int h = pageHeight;
  int band = h / 14;
  left = 4;
  top = band + 4;
  width = w - 8;
  height = h - 2 * band - 8;

  const QString titleText = QString::fromStdString(title);
  painter.setFont(SansFont(8));
  const int titleHeight = QFontMetrics(painter.font(), painter.device()).height();
  if (band < titleHeight) band = titleHeight;

  painter.setBrush(Qt::white);
  painter.setPen(QPen(Qt::black, 4));
  painter.drawRect(0, 0, w - 2, h - 2);
  painter.drawLine(0, band, w - 1, band);
  painter.drawLine(0, h - band, w - 1, h - band);

  painter.setPen(Qt::black);
  painter.setFont(SansFont(14));
  TextOutCentered(painter, title, 0, 0, w, band);
  painter.setFont(SansFont(11));
  TextOutCentered(painter,
                  "KIRMEL " + version::kernelRelease() + "  KIRMEL-GUI " + version::gui(), 0,
                  h - band, w, band);

  painter.setFont(SansFont(8));
  const QLocale locale = QLocale::system();
  const QDateTime now = QDateTime::currentDateTime();
  const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QChar(' ') +
                        locale.toString(now.time(), QLocale::LongFormat);
  // In the bottom right corner, clear of the frame by half a line of its
  // text at any resolution (the frame line is 4 pixels wide).
  const QFontMetrics metrics(painter.font(), painter.device());
  const int gap = std::max(8, metrics.height() / 2);
  const int x = w - 4 - gap - metrics.horizontalAdvance(stamp);
  const int y = h - 4 - gap - metrics.height();
  painter.drawText(x, y + metrics.ascent(), stamp);
}

}  // namespace

void TextOutCentered(QPainter& painter, const std::string& text, int left, int top, int width,
                     int height) {
  const QString s = QString::fromStdString(text);
  const QFontMetrics metrics(painter.font(), painter.device());
  const int x = left + (width - metrics.horizontalAdvance(s)) / 2;
  const int y = top + (height - metrics.height()) / 2;
  painter.drawText(x, y + metrics.ascent(), s);
}

void PrintPageFrame(QPainter& painter, const std::string& title, int& left, int& top, int& width,
                    int& height) {
  PrintFrame(painter, title, painter.device()->height(), left, top, width, height);
}

void PrintHalfPageFrame(QPainter& painter, const std::string& title, int& left, int& top,
                        int& width, int& height) {
  PrintFrame(painter, title, painter.device()->height() / 2, left, top, width, height);
}

QPrinter& ThePrinter() {
  static QPointer<TPrinterHolder> holder;
  if (!holder) holder = new TPrinterHolder(QCoreApplication::instance());
  return holder->printer;
}

bool PrinterInstalled() { return !QPrinterInfo::availablePrinters().isEmpty(); }

}  // namespace kirmel::qt
