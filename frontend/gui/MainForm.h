// The main window: every editable quantity of the current scenario and
// pesticide on pages, the buttons that create, select and save them, and the
// buttons and menu items that start runs.
//
// The window owns the editor object (model and settings).  Each field writes
// its value into the model through the model's range-checked setter when the
// user leaves it; a refused value shows the setter's message and takes the
// focus back.  Before any button, menu item or shortcut uses the model, the
// field still being edited is committed the same way (CommitEdits), and a
// refused value stops that action.
//
// The class is spread over several files by area: MainForm.cpp (start-up,
// menus, commit machinery), MainPages.cpp (building the pages), MainFields.cpp
// (numeric fields), MainOutput.cpp (output segments and output files),
// MainGrids.cpp (initial concentrations and drift), MainFiles.cpp (new,
// select, save), MainRun.cpp (run and batch buttons) and MainSegments.cpp
// (segment editors).
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontend/editor/Editor.h"
#include "frontend/editor/Run.h"
#include "frontend/qt/FieldCommits.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QWidget;

namespace kirmel::qt {
class TStringGrid;
}

namespace kirmel::gui {

class TGenerateNodesForm;
class TNodesForm;
class TScaleForm;
class TSedimentNodesForm;

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Creates the editor over the root (paths::root()), the root's SCENARIOS,
  // PESTICIDES, RUNS and GUI folders, and the pages.
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  fe::TKirmelEditor& Editor() { return *editor_; }
  fe::TKirmelData& Data() { return editor_->Data(); }

  // The window's start-up: the caption, then the scenario "NLStandard_sp"
  // and the pesticide "Cpf" when they exist, each step on its own, then
  // UpdateAll.  Runs once, on the first show.
  void StartUp();

  // Refills every page from the model.
  void UpdateAll();
  void UpdateSegmentLabels();
  void FillOutputSegmentLists();
  void FillInitialConcGrid();
  void FillDriftGrid();
  void ShowOutputOptions();
  void StoreOutputOptions();

  // Commits the field or grid that is being edited, as leaving it would.
  // False when its value was refused (the action that asked must stop).
  bool CommitEdits();

  // Enables or disables the menu items that must not be used during a run.
  void SetMenusEnabled(bool enabled);

  // Sets the model's name, shows it and saves; when the save fails the
  // name goes back to what it was, unless the new version is in place and
  // only the system's confirmation of it failed.
  void SaveScenario(const std::string& name);
  void SavePesticide(const std::string& name);

  // When the scenario (pesticide) differs from what was last loaded or
  // saved: "Save changes to scenario <name>?" with Yes (save as Save does),
  // No and Cancel.  True when the caller may go on: nothing changed, No, or
  // Yes and the save happened.  AskSaveChanges asks for both, scenario first.
  bool AskSaveScenario();
  bool AskSavePesticide();
  bool AskSaveChanges();

  // What the window does after a segment editor closed: the labels, the
  // initial-concentration grid (when it shows that list) and the output
  // segment lists; after the sediment editor also the number of top
  // segments, clamped to 1 .. the number of layers.
  void AfterDitchEditor();
  void AfterSedimentEditor();

  // Buttons and their menu twins.
  void NewScenarioClick();
  void SelectScenarioClick();
  void SaveScenarioClick();
  void SaveAsScenarioClick();
  void NewPesticideClick();
  void SelectPesticideClick();
  void SavePesticideClick();
  void SaveAsPesticideClick();
  void RunKirmelButtonClick();
  void GraphButtonClick();
  void BitBtnSaveRunClick();
  void BitBtnCreateBatchClick();
  void BitBtnRunBatchClick();
  void EditDitchButtonClick();
  void EditSedimentButtonClick();
  void ExitButtonClick();
  void PrinterSetupClick();
  void AboutClick();
  void ShowButtonClick();
  void HideButtonClick();
  void SetAllButtonClick();
  void DriftRemoveClick();
  void DriftInsertClick();
  void DriftClearClick();
  void AllClick();
  void NeededClick();

  // Waiting for a started run or batch (MainRun.cpp): menus and pages are
  // disabled and a timer looks for the end of the run while the event loop
  // runs; the status bar offers "Stop waiting".
  bool Waiting() const { return run_ != nullptr; }
  void StartWait(std::unique_ptr<fe::TStartedRun> run);
  void StopWaitingClick();

 protected:
  void showEvent(QShowEvent* event) override;
  // Commits the field being edited, then asks first while a run is being
  // waited for and when the scenario or the pesticide has unsaved changes.
  void closeEvent(QCloseEvent* event) override;

 private:
  // One numeric field and the model value behind it.
  struct TNumericField {
    QLineEdit* Edit;
    std::function<double()> Get;
    std::function<void(double)> Set;
  };

  // Building (MainPages.cpp).
  void BuildPages();
  QWidget* BuildKirmelPage();
  QWidget* BuildWaterbodyPage();
  QWidget* BuildHydrologyPage();
  QWidget* BuildInitialisationPage();
  QWidget* BuildSimulationPage();
  QWidget* BuildOutputPage();
  QWidget* BuildTransformationPage();
  QWidget* BuildSorptionPage();
  QWidget* BuildVolatilizationPage();
  QWidget* BuildLoadingPage();
  void BuildMenus();
  QLineEdit* AddNumericField(class QGridLayout* grid, int row, const char* label,
                             const char* name, const char* unit, std::function<double()> get,
                             std::function<void(double)> set);
  QLineEdit* AddEdit(class QGridLayout* grid, int row, const char* label, const char* name,
                     const char* unit);
  QPushButton* Button(const char* caption, const char* name, void (TMainForm::*handler)());
  QAction* Action(QMenu* menu, const char* caption, const char* name,
                  std::function<void()> handler);

  // Field handlers (MainFields.cpp); each returns false on a refusal.
  bool NumericFieldExit(const TNumericField& field);
  bool TTDaysExit();
  bool TimestepColumnExit();
  void UpdateFields();

  // Grids (MainGrids.cpp).
  bool StrGridICSegmentsExit();
  // "Water layer" or "Sediment" clicked: the grid is taken into the list it
  // shows, then filled with the list now checked.
  void ICRadioClick();
  bool StrGridDriftLoadingsExit();

  // Runs a button or menu handler: commits first, then runs it guarded.
  std::function<void()> Handler(void (TMainForm::*handler)());

  // Output switches (MainOutput.cpp).
  void SetOutputBoxesEnabled(bool enabled, bool headings, bool note);
  void OutputBoxClick(QCheckBox* box);

  void ShowPage(QWidget* page);

  // The segment editors and their dialogs, made once (MainSegments.cpp).
  void CreateSegmentEditors();

  std::unique_ptr<fe::TKirmelEditor> editor_;
  bool startedUp_ = false;

  std::vector<TNumericField> fields_;
  qt::TFieldCommits commits_;

  QTabWidget* pageControlMain_ = nullptr;
  QTabWidget* pageControlScenario_ = nullptr;
  QTabWidget* pageControlPesticide_ = nullptr;
  QLineEdit* edtNameScenario_ = nullptr;
  QLineEdit* edtNamePesticide_ = nullptr;
  QLineEdit* ttDays_ = nullptr;
  QLineEdit* timestepColumn_ = nullptr;
  QLabel* ditchLengthLabel_ = nullptr;
  QLabel* ditchLengthLabel2_ = nullptr;
  QLabel* ditchNodesLabel_ = nullptr;
  QLabel* sedimentLengthLabel_ = nullptr;
  QLabel* sedimentNodesLabel_ = nullptr;
  QRadioButton* icDitchRadio_ = nullptr;
  QRadioButton* icSedimentRadio_ = nullptr;
  qt::TStringGrid* strGridICSegments_ = nullptr;
  bool icGridShowsWater_ = true;  // the list StrGridICSegments was filled from
  QLineEdit* initialConcEdit_ = nullptr;
  QListWidget* outputList_ = nullptr;
  QListWidget* remainingList_ = nullptr;
  qt::TStringGrid* strGridDriftLoadings_ = nullptr;

  // The eleven output boxes with their switches, the headings and the note.
  struct TOutputBox {
    QCheckBox* Box;
    bool fe::TSettings::*Switch;
  };
  std::vector<TOutputBox> outputBoxes_;
  std::vector<QLabel*> outputHeadings_;
  QLabel* outputNote_ = nullptr;
  QCheckBox* ofNeeded_ = nullptr;
  QCheckBox* ofAll_ = nullptr;

  std::vector<QAction*> runMenuItems_;  // disabled during a run

  TNodesForm* nodesForm_ = nullptr;
  TSedimentNodesForm* sedimentNodesForm_ = nullptr;
  TGenerateNodesForm* generateNodesForm_ = nullptr;
  TScaleForm* scaleForm_ = nullptr;

  // The run being waited for (MainRun.cpp).
  void PollRun();
  void EndWait();
  std::unique_ptr<fe::TStartedRun> run_;
  QTimer* runTimer_ = nullptr;
  QWidget* runStatus_ = nullptr;
};

// The main window of the program, while there is one.
TMainForm* MainForm();

}  // namespace kirmel::gui
