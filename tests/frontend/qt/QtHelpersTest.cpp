// The Qt helpers: the scripted dialog service, reading numbers from fields
// and grid cells, the handler guard, the printed page frame and the table
// window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <stdexcept>

#include "common/TempDir.h"
#include "frontend/model/KirExcpt.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/Help.h"
#include "frontend/qt/Print.h"
#include "frontend/qt/WindowFit.h"
#include "frontend/qt/StringGrid.h"
#include "frontend/qt/TableForm.h"
#include "qtcommon/ScriptedDialogsFixture.h"

namespace kirmel::test {
namespace {

class SeparatorScope {
 public:
  explicit SeparatorScope(char sep) : old_(qt::DecimalSeparator()) { qt::SetDecimalSeparator(sep); }
  ~SeparatorScope() { qt::SetDecimalSeparator(old_); }

 private:
  char old_;
};

TEST(ScriptedDialogs, RecordsTextsAndAnswersInOrder) {
  qt::TScriptedDialogs d;
  std::vector<std::string> failures;
  d.SetFailureHandler([&](const std::string& what) { failures.push_back(what); });
  d.AnswerConfirm(true).AnswerQuestion(false).AnswerFolder("/x/y");

  d.Error("First line\rSecond line");
  EXPECT_TRUE(d.Confirm("Sure?"));
  EXPECT_FALSE(d.Question("Overwrite?"));
  EXPECT_EQ(d.BrowseFolder("Select", "/start", true), std::optional<std::string>("/x/y"));
  ASSERT_EQ(d.Records().size(), 4u);
  EXPECT_EQ(d.Records()[0].Title, "Error");
  EXPECT_EQ(d.Records()[0].Text, "First line\rSecond line");
  EXPECT_EQ(d.Records()[1].Title, "Confirm");
  EXPECT_EQ(d.Records()[2].Kind, qt::TDialogKind::Question);
  EXPECT_EQ(d.Records()[2].Title, "Confirm");
  EXPECT_EQ(d.Records()[3].Text, "/start");
  EXPECT_TRUE(d.Records()[3].MayCreateFolders);
  EXPECT_TRUE(failures.empty());

  // A choice nobody scripted, and an answer scripted for another kind, fail
  // and are answered as cancelled.
  EXPECT_FALSE(d.Confirm("Unexpected?"));
  d.AnswerQuestion(true);
  EXPECT_FALSE(d.Confirm("Wrong kind?"));
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_NE(failures[0].find("Unexpected?"), std::string::npos);
  EXPECT_NE(failures[1].find("OK/Cancel"), std::string::npos);
}

TEST(Fields, EditFloatAcceptsRefusesAndDefaults) {
  ScopedScriptedDialogs dialogs;
  QLineEdit edit;
  double value = 7;

  // Empty: the default is written back and taken.
  EXPECT_TRUE(qt::GetEditFloat(&edit, value, 0.5));
  EXPECT_EQ(value, 0.5);
  EXPECT_EQ(edit.text(), "0.5");
  edit.setText("1.5");
  EXPECT_TRUE(qt::GetEditFloat(&edit, value, 0));
  EXPECT_EQ(value, 1.5);
  edit.setText(" -2.5E3 ");
  EXPECT_TRUE(qt::GetEditFloat(&edit, value, 0));
  EXPECT_EQ(value, -2500);

  // Nothing but plain decimal numbers: each refusal says "Illegal value".
  for (const char* bad : {"abc", "inf", "nan", "0x10", "1,000", "1e400", "1.5.2", "--1"}) {
    edit.setText(bad);
    value = 7;
    EXPECT_FALSE(qt::GetEditFloat(&edit, value, 0)) << bad;
    EXPECT_EQ(value, 7) << bad;
    EXPECT_EQ(edit.text(), bad);
  }
  EXPECT_EQ(dialogs->Errors(), std::vector<std::string>(8, "Illegal value"));

  // Under a comma locale the comma is the separator and the point is not.
  SeparatorScope comma(',');
  edit.setText("");
  EXPECT_TRUE(qt::GetEditFloat(&edit, value, 0.25));
  EXPECT_EQ(edit.text(), "0,25");
  edit.setText("1,5");
  EXPECT_TRUE(qt::GetEditFloat(&edit, value, 0));
  EXPECT_EQ(value, 1.5);
  edit.setText("1.5");
  EXPECT_FALSE(qt::GetEditFloat(&edit, value, 0));
}

TEST(Fields, EditIntegerAndGridCells) {
  ScopedScriptedDialogs dialogs;
  QLineEdit edit;
  int n = 3;
  EXPECT_TRUE(qt::GetEditInteger(&edit, n, 12));
  EXPECT_EQ(edit.text(), "12");
  edit.setText("1.5");
  EXPECT_FALSE(qt::GetEditInteger(&edit, n, 0));
  EXPECT_EQ(n, 12);
  edit.setText("99999999999");
  EXPECT_FALSE(qt::GetEditInteger(&edit, n, 0));

  // A grid with a fixed row and a fixed column.
  qt::TStringGrid grid(1, 1);
  grid.SetColCount(3);
  grid.SetRowCount(4);
  EXPECT_EQ(grid.RowCount(), 4);
  grid.SetCell(1, 0, "Heading");
  EXPECT_EQ(grid.Cell(1, 0), "Heading");
  grid.SetCurrentCell(1, 1);
  double v = 0;
  EXPECT_TRUE(qt::GetGridFloat(&grid, 2, 2, v, 4.25));
  EXPECT_EQ(grid.Cell(2, 2), "4.25");
  grid.SetCell(2, 3, "x1");
  EXPECT_FALSE(qt::GetGridFloat(&grid, 2, 3, v, 0));
  EXPECT_EQ(v, 4.25);
  // The refused cell becomes the current one.
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.Row(), 3);
  // A fixed cell or one outside the grid leaves the current cell alone.
  qt::FocusGridCell(&grid, 0, 2);
  qt::FocusGridCell(&grid, 1, 0);
  qt::FocusGridCell(&grid, 3, 1);
  EXPECT_EQ(grid.Col(), 2);
  EXPECT_EQ(grid.Row(), 3);
  EXPECT_EQ(dialogs->Errors(), (std::vector<std::string>{"Illegal integer value",
                                                         "Illegal integer value",
                                                         "Illegal real value"}));
}

TEST(Fields, GuardShowsWhateverEscapesAHandler) {
  ScopedScriptedDialogs dialogs;
  SeparatorScope comma(',');
  qt::Guarded([] { throw fe::EOutOfRange("%s must lie between %g and %g", {"Total time", 0.1, 500.0}); });
  qt::Guarded([] { throw std::runtime_error("disk full"); });
  qt::Guarded([] { throw 42; });
  int calls = 0;
  auto slot = qt::GuardedSlot([&](int x) { calls += x; });
  slot(2);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(dialogs->Errors(), (std::vector<std::string>{"Total time must lie between 0,1 and 500",
                                                         "disk full", "Unknown error"}));
}

// Darkest rows of a column and columns of a row, to find drawn lines.
bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

TEST(Print, PageFrameGivesTheAreaBetweenTheBands) {
  QImage page(3400, 4800, QImage::Format_RGB32);
  page.fill(Qt::gray);
  int left = 0, top = 0, width = 0, height = 0;
  {
    QPainter painter(&page);
    qt::PrintPageFrame(painter, "Concentration in water", left, top, width, height);
  }
  EXPECT_EQ(left, 4);
  EXPECT_EQ(top, 346);  // band 4800 / 14 = 342
  EXPECT_EQ(width, 3392);
  EXPECT_EQ(height, 4108);
  // The page was filled white inside a black border, with the band lines.
  EXPECT_TRUE(Dark(page, 1, 2000));
  EXPECT_TRUE(Dark(page, 1700, 342));
  EXPECT_TRUE(Dark(page, 1700, 4800 - 342));
  EXPECT_EQ(page.pixel(1000, 2000), qRgb(255, 255, 255));
  // The title is centred in the top band.
  int minX = page.width(), maxX = 0;
  for (int y = 10; y < 330; ++y)
    for (int x = 10; x < page.width() - 10; ++x)
      if (Dark(page, x, y)) minX = std::min(minX, x), maxX = std::max(maxX, x);
  ASSERT_LT(minX, maxX);
  EXPECT_NEAR((minX + maxX) / 2.0, 1700, 10);

  // The half page frame works on the upper half.
  QImage half(3400, 4800, QImage::Format_RGB32);
  QPainter painter(&half);
  qt::PrintHalfPageFrame(painter, "Title", left, top, width, height);
  EXPECT_EQ(top, 171 + 4);
  EXPECT_EQ(height, 2400 - 342 - 8);
}

// On a page of 600 dots per inch, as the PDF pages are, the date in the
// bottom right corner keeps at least a millimetre from the frame's right
// and bottom lines.
TEST(Print, FooterDateStaysClearOfTheFrame) {
  QImage page(4960, 7016, QImage::Format_RGB32);  // A4
  page.setDotsPerMeterX(23622);
  page.setDotsPerMeterY(23622);
  page.fill(Qt::white);
  int left = 0, top = 0, width = 0, height = 0;
  {
    QPainter painter(&page);
    qt::PrintPageFrame(painter, "Concentration in water", left, top, width, height);
  }
  const int w = page.width(), h = page.height(), band = h / 14;
  ASSERT_TRUE(Dark(page, w - 2, h / 2));  // the frame's right line
  ASSERT_TRUE(Dark(page, w / 2, h - 2));  // and its bottom line
  // The date: the ink right of the versions' text, inside the bottom band.
  int maxX = -1, maxY = -1;
  for (int y = h - band + 4; y < h - 5; ++y)
    for (int x = w * 3 / 4; x < w - 5; ++x)
      if (Dark(page, x, y)) maxX = std::max(maxX, x), maxY = std::max(maxY, y);
  ASSERT_GE(maxX, 0) << "no date";
  const int millimetre = 24;
  EXPECT_GE(w - 4 - maxX, millimetre);
  EXPECT_GE(h - 4 - maxY, millimetre);
}

// A window's frame on a screen whose available area is 1280 x 690 below a
// 30-pixel panel: cut to the area, never below its minimum, and moved the
// least distance that puts it inside.
TEST(WindowFit, FrameCutToTheScreenButNotBelowItsMinimum) {
  const QRect screen(0, 30, 1280, 690);
  // 1004 x 784 asked at the top left: as high as the area, moved down.
  EXPECT_EQ(qt::FitFrame(QRect(0, 0, 1004, 784), QSize(700, 470), screen),
            QRect(0, 30, 1004, 690));
  // Inside already: unchanged.
  EXPECT_EQ(qt::FitFrame(QRect(100, 100, 800, 600), QSize(700, 470), screen),
            QRect(100, 100, 800, 600));
  // Off the right and bottom edges: moved back in, size kept.
  EXPECT_EQ(qt::FitFrame(QRect(900, 500, 800, 600), QSize(700, 470), screen),
            QRect(480, 120, 800, 600));
  // Larger than the area at its minimum: the minimum, from the top left.
  EXPECT_EQ(qt::FitFrame(QRect(200, 200, 1500, 900), QSize(1400, 700), screen),
            QRect(0, 30, 1400, 700));
}

// A window moved partly off the screen opens inside it, at the size it
// asked for when that fits.  The program's error message, several long
// lines naming files as a viewer window gathers them, over a window near
// the screen's right edge: it opens over the middle of that window, as far
// as the screen allows, frame and all inside the screen.  A message box
// takes its size only as it shows; fitted before that, it landed at the
// screen's left edge.  A dialog shown again after its owner moved opens
// over the owner's new middle.
TEST(WindowFit, WindowsOpenInsideTheScreenAndOverTheirOwner) {
  qt::TWindowFitting fitting;
  {
    QWidget off;
    off.resize(300, 300);
    off.move(700, 650);
    off.show();
    QApplication::processEvents();
    const QRect screen = off.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(off.frameGeometry()))
        << off.x() << "," << off.y() << " in " << screen.width() << "x" << screen.height();
    EXPECT_EQ(off.size(), QSize(300, 300));
  }
  QWidget owner;
  owner.resize(300, 300);
  owner.move(480, 100);
  owner.show();
  EXPECT_EQ(owner.pos(), QPoint(480, 100));
  EXPECT_EQ(owner.size(), QSize(300, 300));
  owner.activateWindow();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &owner);
  std::string text;
  for (const char* file : {"wlsoco.out", "wbsco001.out", "wbsco080.out"})
    text += std::string(text.empty() ? "" : "\r") + "/home/someone/KIRMEL/RUNS/NLStandard_sp+Cpf/" +
            file + ", line 12345: the file ends inside this line (it has no line end)";
  QRect frame, available;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    frame = box->frameGeometry();
    available = box->screen()->availableGeometry();
    box->close();
  });
  qt::TQtDialogs().Error(text);
  ASSERT_FALSE(frame.isEmpty()) << "no message box";
  EXPECT_TRUE(available.contains(frame));
  const QPoint centre = owner.frameGeometry().center();
  EXPECT_LE(std::abs(frame.center().y() - centre.y()), 2);
  // Centred, or pushed left only as far as the screen's right edge needs.
  EXPECT_TRUE(std::abs(frame.center().x() - centre.x()) <= 2 ||
              frame.right() == available.right())
      << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
  EXPECT_GT(frame.right(), centre.x());

  QDialog dialog(&owner);
  dialog.resize(200, 100);
  for (const QPoint& at : {QPoint(480, 100), QPoint(100, 400)}) {
    owner.move(at);
    dialog.show();
    QApplication::processEvents();
    EXPECT_LE((dialog.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(),
              4)
        << dialog.x() << "," << dialog.y() << " over " << at.x() << "," << at.y();
    EXPECT_EQ(dialog.size(), QSize(200, 100));
    dialog.hide();
  }
}

TEST(TableWindow, ListsPointsAndShowsModally) {
  qt::TTableForm form;
  form.TableTitle = "Segment 3";
  form.XDescription = "Time (d)";
  form.Series.Add(1.5, 0.00012);
  form.Series.Add(-20, 12345.678);
  form.Fill();
  auto* list = form.findChild<QListWidget*>("XYList");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), "      1.5000        0.0001");
  EXPECT_EQ(list->item(1)->text(), "    -20.0000    12345.6780");
  EXPECT_EQ(form.windowTitle(), "Segment 3");

  // ShowTable runs the window modally until it is closed.
  fe::TSeries series;
  series.Add(2, 3);
  QString seen;
  QTimer::singleShot(0, [&] {
    if (auto* shown = qobject_cast<qt::TTableForm*>(QApplication::activeModalWidget())) {
      seen = shown->windowTitle() + "|" + shown->findChild<QListWidget*>("XYList")->item(0)->text();
      shown->reject();
    }
  });
  qt::ShowTable(series, "Caption", "X", "Y");
  EXPECT_EQ(seen, "Caption|      2.0000        3.0000");
}

TEST(Help, FileFoundWhateverItsCaseElseSaid) {
  ScopedScriptedDialogs dialogs;
  TempDir dir;
  EXPECT_FALSE(qt::FindHelpFile(dir.str()));
  qt::ShowHelpContents(dir.str());
  ASSERT_EQ(dialogs->Infos().size(), 1u);
  EXPECT_NE(dialogs->Infos()[0].find(dir.str()), std::string::npos);
  dir.write("KIRMEL.PDF", "%PDF");
  EXPECT_EQ(qt::FindHelpFile(dir.str()), std::optional<std::string>(dir.file("KIRMEL.PDF")));
}

}  // namespace
}  // namespace kirmel::test
