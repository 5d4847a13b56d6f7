#include "frontend/gui/MainForm.h"

#include <QAction>
#include <QLineEdit>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <system_error>

#include "frontend/gui/About.h"
#include "frontend/qt/Dialogs.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/Help.h"
#include "frontend/qt/Print.h"
#include "frontend/qt/StringGrid.h"
#include "platform/Paths.h"

namespace kirmel::gui {
namespace {

TMainForm*& Current() {
  static TMainForm* form = nullptr;
  return form;
}

std::unique_ptr<fe::TKirmelEditor> MakeEditor() {
  fe::TKirmelEditor::TEnvironment environment;
  environment.Messages = [](const std::string& message) { qt::ShowError(message); };
  return std::make_unique<fe::TKirmelEditor>(std::move(environment));
}

}  // namespace

TMainForm* MainForm() { return Current(); }

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent), editor_(MakeEditor()), commits_(this) {
  Current() = this;
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("KIRMEL-GUI"));
  qt::SetDecimalSeparator(editor_->DecimalSeparator());
  Data().SetErrorReporter([](const fe::EKirmelError& error) {
    qt::ShowError(error.Message(qt::DecimalSeparator()));
  });
  // A new model writes what the results viewer needs.
  editor_->Settings().SetNeededOutput();
  editor_->MarkScenarioUnchanged();

  BuildPages();
  BuildMenus();
  CreateSegmentEditors();
  resize(800, 600);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  // The root's folders; the run marker lives in GUI.
  const fe::TSettings& s = editor_->Settings();
  for (const std::string& dir : {s.ScenariosDir(), s.PesticidesDir(), s.RunsDir(), s.GuiDir()}) {
    if (paths::exists(dir)) continue;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) qt::ShowError("Cannot create the directory \"" + dir + "\": " + ec.message());
  }
  qt::Guarded([this] { UpdateAll(); });
}

TMainForm::~TMainForm() {
  if (Current() == this) Current() = nullptr;
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // After the window is up, so that messages of the loading appear over it.
  if (!startedUp_) QTimer::singleShot(0, this, [this] { StartUp(); });
}

void TMainForm::StartUp() {
  if (startedUp_) return;
  startedUp_ = true;
  setWindowTitle(QString::fromStdString("KIRMEL-GUI (Graphical User Interface) v" +
                                        fe::TKirmelEditor::Version()));
  // Each default on its own: a scenario that cannot be read does not keep
  // the pesticide from loading, and the pages are filled in every case.
  const fe::TSettings& s = editor_->Settings();
  qt::Guarded([&] {
    if (paths::exists(s.ScenarioDir("NLStandard_sp")) && editor_->LoadScenario("NLStandard_sp"))
      Data().SetScenarioName("NLStandard_sp");
  });
  qt::Guarded([&] {
    if (paths::exists(s.PesticideDir("Cpf")) && editor_->LoadPesticide("Cpf"))
      Data().SetPesticideName("Cpf");
  });
  qt::Guarded([this] { UpdateAll(); });
}

void TMainForm::UpdateAll() {
  edtNameScenario_->setText(QString::fromStdString(Data().ScenarioName()));
  edtNamePesticide_->setText(QString::fromStdString(Data().PesticideName()));
  UpdateFields();
  UpdateSegmentLabels();
  FillInitialConcGrid();
  FillOutputSegmentLists();
  ShowOutputOptions();
  FillDriftGrid();
}

// ---- committing the field being edited ----

bool TMainForm::CommitEdits() { return commits_.CommitEdits(); }

std::function<void()> TMainForm::Handler(void (TMainForm::*handler)()) {
  return [this, handler] {
    qt::Guarded([&] {
      if (CommitEdits()) (this->*handler)();
    });
  };
}

// ---- menus ----

QAction* TMainForm::Action(QMenu* menu, const char* caption, const char* name,
                           std::function<void()> handler) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(QString::fromLatin1(name));
  connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
  return action;
}

void TMainForm::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));

  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->menuAction()->setObjectName(QStringLiteral("File1"));
  QAction* selectScenario = Action(file, "Select s&cenario", "SelectScenario1",
                                   Handler(&TMainForm::SelectScenarioClick));
  QAction* saveScenario = Action(file, "Save sce&nario", "SaveScenario1",
                                 Handler(&TMainForm::SaveScenarioClick));
  QAction* selectPesticide = Action(file, "Select &pesticide", "SelectPesticide1",
                                    Handler(&TMainForm::SelectPesticideClick));
  QAction* savePesticide = Action(file, "Save pes&ticide", "SavePesticide1",
                                  Handler(&TMainForm::SavePesticideClick));
  file->addSeparator();
  QAction* saveRun = Action(file, "&Save run", "Save1", Handler(&TMainForm::BitBtnSaveRunClick));
  saveRun->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
  QAction* run = Action(file, "&Run KIRMEL", "Run1", Handler(&TMainForm::RunKirmelButtonClick));
  run->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
  file->addSeparator();
  QAction* printerSetup = Action(file, "Printer setup...", "Printersetup1",
                                 Handler(&TMainForm::PrinterSetupClick));
  file->addSeparator();
  Action(file, "E&xit", "Exit1", [this] { qt::Guarded([this] { ExitButtonClick(); }); });

  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  edit->menuAction()->setObjectName(QStringLiteral("Edit1"));
  Action(edit, "&Water layer...", "Waterlayer1", Handler(&TMainForm::EditDitchButtonClick))
      ->setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));
  Action(edit, "&Sediment...", "Sediment1", Handler(&TMainForm::EditSedimentButtonClick))
      ->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));

  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  view->menuAction()->setObjectName(QStringLiteral("View1"));
  struct TViewItem {
    const char* Caption;
    const char* Page;
    const char* Name;
  };
  const TViewItem items[] = {
      {"&Waterbody", "PageDitch", "Waterbody1"},
      {"&Hydrology", "PageHydrology", "Hydrology1"},
      {"&Initialisation", "PageInitialisation", "Initialisation1"},
      {"&Simulation", "PageSimulation", "Simulation1"},
      {"&Output", "PageOutput", "Output1"},
      {"&Transformation", "PageTransformation", "Transformation1"},
      {"So&rption", "PageSorption", "Sorption1"},
      {"&Volatilization", "PageVolatilization", "Volatilization1"},
      {"&Loading", "PageLoading", "Loading1"},
      {"&KIRMEL", "PageKirmel", "KIRMEL1"}};
  for (const TViewItem& item : items) {
    QString page = QString::fromLatin1(item.Page);
    Action(view, item.Caption, item.Name, [this, page] {
      qt::Guarded([&] {
        if (CommitEdits()) ShowPage(findChild<QWidget*>(page));
      });
    });
  }

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->menuAction()->setObjectName(QStringLiteral("Help1"));
  Action(help, "&Contents", "Contents1",
         [this] { qt::Guarded([this] { qt::ShowHelpContents(editor_->Settings().GuiDir()); }); });
  Action(help, "&Topic search", "Topicsearch1", [] {});
  Action(help, "How to &use help", "Howtousehelp1",
         [this] { qt::Guarded([this] { qt::ShowHelpOnHelp(editor_->Settings().GuiDir()); }); });
  help->addSeparator();
  Action(help, "&About...", "About1", [this] { qt::Guarded([this] { AboutClick(); }); });

  runMenuItems_ = {edit->menuAction(), view->menuAction(), help->menuAction(),
                   selectScenario,     saveScenario,       selectPesticide,
                   savePesticide,      saveRun,            run,
                   printerSetup};
}

void TMainForm::SetMenusEnabled(bool enabled) {
  for (QAction* action : runMenuItems_) action->setEnabled(enabled);
}

void TMainForm::ShowPage(QWidget* page) {
  if (page) qt::RevealPage(page);
}

// ---- small handlers ----

void TMainForm::ExitButtonClick() { close(); }

// Without a printer the page set-up still matters: pages are then saved as
// PDF files laid out on it.
void TMainForm::PrinterSetupClick() { qt::TheDialogs().PrinterSetup(); }

void TMainForm::AboutClick() {
  TAboutForm about(this);
  about.exec();
}

}  // namespace kirmel::gui
