// The run and batch buttons of the KIRMEL page and their menu twins.
#include "frontend/gui/MainForm.h"

namespace kirmel::gui {

void TMainForm::RunKirmelButtonClick() { NotBuiltYet("Running KIRMEL"); }
void TMainForm::GraphButtonClick() { NotBuiltYet("Viewing output"); }
void TMainForm::BitBtnSaveRunClick() { NotBuiltYet("Saving a run"); }
void TMainForm::BitBtnCreateBatchClick() { NotBuiltYet("Creating a batchfile"); }
void TMainForm::BitBtnRunBatchClick() { NotBuiltYet("Running a batchfile"); }

}  // namespace kirmel::gui
