// Printing where no printer is installed: the page is offered as a PDF file,
// laid out on the page of "Printer setup", and the file opens.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/GoldenRuns.h"
#include "common/TempDir.h"
#include "frontend/qt/Print.h"
#include "frontend/viewer/windows/ChartPrinting.h"
#include "frontend/viewer/windows/GraphForm.h"
#include "frontend/viewer/windows/MassBalanceForms.h"
#include "qtcommon/Images.h"
#include "qtcommon/OnModal.h"
#include "qtcommon/ViewerWindowsFixture.h"
#include "qtcommon/Widgets.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using namespace kirmel::viewer;

const std::string kQuestion = "No printer installed.\rSave the page as a PDF file instead?";

// Page 1 of a PDF rendered at 72 dots per inch (one pixel a point) by
// pdftoppm; a null image when it cannot be rendered.
QImage RenderFirstPage(const std::string& pdf, const TempDir& dir) {
  const std::string prefix = dir.file("page");
  const std::string command = "pdftoppm -r 72 -png -singlefile -f 1 -l 1 '" + pdf + "' '" +
                              prefix + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return {};
  return QImage(QString::fromStdString(prefix + ".png"));
}

bool HavePdftoppm() { return std::system("command -v pdftoppm >/dev/null 2>&1") == 0; }

class PrintToPdf : public ViewerWindowsFixture {
 protected:
  PrintToPdf() : printer_(std::make_unique<TQtPagePrinter>()) {
    savedLayout_ = qt::ThePrinter().pageLayout();
  }
  ~PrintToPdf() override { qt::ThePrinter().setPageLayout(savedLayout_); }

  ScopedPrinter printer_;  // the system's printer, whatever a test before installed
  QPageLayout savedLayout_;
};

TEST_F(PrintToPdf, WithoutAPrinterThePageIsSavedAsAPdfOnThePageSetUp) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  if (!HavePdftoppm()) GTEST_SKIP() << "pdftoppm (poppler-utils) is missing";
  TMassBalanceWLGraphForm form(nullptr, GoldenRunDir("example"));
  form.show();
  Settle();
  TempDir dir;

  // The page that "Printer setup" chose: A5 across.
  qt::ThePrinter().setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                             QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
  const std::string pdf = dir.file("mass balance.pdf");
  dialogs->AnswerConfirm(true).AnswerSaveFile(pdf);
  Click(&form, "SpeedBtnPrint");
  ASSERT_EQ(dialogs->Records().size(), 3u);
  EXPECT_EQ(dialogs->Records()[0].Kind, qt::TDialogKind::Confirm);
  EXPECT_EQ(dialogs->Records()[0].Text, kQuestion);
  EXPECT_EQ(dialogs->Records()[1].Kind, qt::TDialogKind::SaveFile);
  EXPECT_EQ(dialogs->Records()[1].Title, "Save page as PDF");
  EXPECT_EQ(dialogs->Infos(), std::vector<std::string>{"Page saved to \"" + pdf + "\""});

  const QImage page = RenderFirstPage(pdf, dir);
  ASSERT_FALSE(page.isNull()) << "pdftoppm cannot render " << pdf;
  EXPECT_EQ(page.width(), 595);  // A5 across: 210 x 148 mm
  EXPECT_EQ(page.height(), 420);
  // The frame and both charts: ink in the upper and the lower half of the
  // area inside the 5 mm margins and the title band.
  EXPECT_GT(Inked(page, QRect(60, 60, 475, 130)), 3000);
  EXPECT_GT(Inked(page, QRect(60, 220, 475, 130)), 1000);
  // Nothing else is left beside the file (and the rendered page).
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"mass balance.pdf", "page.png"}));
}

// The file chooser opens where the user's files are: in the folder of the
// run the page shows, from a graph window and from the enlarged chart it
// opens; in the home folder once that run folder is gone.  A save that is
// cancelled or fails leaves the files as they were.
TEST_F(PrintToPdf, TheChooserOpensInTheRunsFolderAndFailedSavesChangeNothing) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
  TempDir runs;
  const std::string run = (runs.path() / "NLStandard_sp+Cpf").string();
  CopyGoldenRun("example", run);
  TMassBalanceWLGraphForm form(nullptr, run);
  form.show();
  Settle();
  auto startDirOfLastChooser = [&] {
    for (auto r = dialogs->Records().rbegin(); r != dialogs->Records().rend(); ++r)
      if (r->Kind == qt::TDialogKind::SaveFile) return r->Text;
    return std::string("(no file chooser)");
  };
  TempDir dir;
  const std::string pdf = dir.write("old.pdf", "the user's file");

  // No to the question: no file dialog, nothing written.
  dialogs->AnswerConfirm(false);
  Click(&form, "SpeedBtnPrint");
  // Cancel in the file dialog, which opened in the run's folder.
  dialogs->AnswerConfirm(true).AnswerSaveFile(std::nullopt);
  Click(&form, "SpeedBtnPrint");
  EXPECT_EQ(dialogs->Records().size(), 3u);
  EXPECT_EQ(startDirOfLastChooser(), run);
  EXPECT_TRUE(dialogs->Infos().empty());
  EXPECT_TRUE(dialogs->Errors().empty());
  // From the enlarged chart too.
  OnModal<TGraphForm>([&](TGraphForm* graph) {
    dialogs->AnswerConfirm(true).AnswerSaveFile(std::nullopt);
    Click(graph, "BitBtnPrint");
    EXPECT_EQ(startDirOfLastChooser(), run);
    graph->accept();
  });
  Click(&form, "SpeedBtnZoom1");

  // A folder that is not there: the file and the reason, nothing else.
  const std::string nowhere = dir.file("no such folder/chart.pdf");
  dialogs->AnswerConfirm(true).AnswerSaveFile(nowhere);
  Click(&form, "SpeedBtnPrint");
  ASSERT_EQ(dialogs->Errors().size(), 1u);
  EXPECT_EQ(dialogs->Errors()[0].rfind("Could not save the page to \"" + nowhere + "\": ", 0), 0u)
      << dialogs->Errors()[0];
  EXPECT_TRUE(dialogs->Infos().empty());
  EXPECT_EQ(readFile(pdf), "the user's file");

  // Saved over an existing file: replaced whole by the new page.
  dialogs->AnswerConfirm(true).AnswerSaveFile(pdf);
  Click(&form, "SpeedBtnPrint");
  EXPECT_EQ(dialogs->Infos(), std::vector<std::string>{"Page saved to \"" + pdf + "\""});
  const std::string text = readFile(pdf);
  EXPECT_EQ(text.substr(0, 5), "%PDF-");
  EXPECT_NE(text.find("%%EOF"), std::string::npos);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"old.pdf"});

  // The run folder gone: the home folder.
  fs::remove_all(run);
  dialogs->AnswerConfirm(true).AnswerSaveFile(std::nullopt);
  Click(&form, "SpeedBtnPrint");
  EXPECT_EQ(startDirOfLastChooser(), QDir::homePath().toStdString());
  EXPECT_EQ(dialogs->Errors().size(), 1u);
}

}  // namespace
}  // namespace kirmel::test
