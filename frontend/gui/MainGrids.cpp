// The initial-concentration grid of the Initialisation page and the drift
// grid of the Loading page.
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>

#include "frontend/gui/MainForm.h"
#include "frontend/model/Numbers.h"
#include "frontend/model/Utils.h"
#include "frontend/qt/Fields.h"
#include "frontend/qt/StringGrid.h"

namespace kirmel::gui {
namespace {

std::string F(const char* tmpl, double value) {
  return fe::Format(tmpl, {value}, qt::DecimalSeparator());
}

// Refills a grid through `fill`, keeping its current cell where it still is.
template <class Fill>
void Refill(qt::TStringGrid* grid, Fill fill) {
  const int col = grid->Col();
  const int row = grid->Row();
  fill();
  if (col >= 0 && row >= grid->FixedRows())
    grid->SetCurrentCell(col, std::min(row, grid->RowCount() - 1));
}

}  // namespace

// ---- initial concentrations ----

void TMainForm::FillInitialConcGrid() {
  qt::TStringGrid* grid = strGridICSegments_;
  Refill(grid, [&] {
    grid->SetCell(0, 0, "Position (m)");
    grid->SetCell(1, 0, "Initial (µg/L)");
    icGridShowsWater_ = icDitchRadio_->isChecked();
    if (icGridShowsWater_) {
      fe::TDitch& ditch = Data().Ditch();
      ditch.ComputeCoordinates();
      grid->SetRowCount(ditch.NodeCount() + 1);
      for (int i = 1; i <= ditch.NodeCount(); ++i) {
        const fe::TDitchNode& node = ditch.Node(i);
        grid->SetCell(0, i, F("%8.2f", node.StartX()) + " - " + F("%8.2f", node.EndX()));
        grid->SetCell(1, i, F("%g", node.InitialConcentration()));
      }
    } else {
      fe::TSediment& sediment = Data().Sediment();
      sediment.ComputeCoordinates();
      grid->SetRowCount(sediment.NodeCount() + 1);
      for (int i = 1; i <= sediment.NodeCount(); ++i) {
        const fe::TSedimentNode& node = sediment.Node(i);
        grid->SetCell(0, i, F("%6.4f", node.TopDepth()) + " - " + F("%6.4f", node.BottomDepth()));
        grid->SetCell(1, i, F("%g", node.InitialConcentration()));
      }
    }
  });
}

bool TMainForm::StrGridICSegmentsExit() {
  qt::TStringGrid* grid = strGridICSegments_;
  // The list the rows were filled from: a click on the other radio button
  // has already flipped it when the grid is taken.
  const bool water = icGridShowsWater_;
  const int count = water ? Data().Ditch().NodeCount() : Data().Sediment().NodeCount();
  const int rows = std::min(count, grid->RowCount() - 1);
  for (int row = 1; row <= rows; ++row) {
    double value = 0;
    const double current = water ? Data().Ditch().Node(row).InitialConcentration()
                                 : Data().Sediment().Node(row).InitialConcentration();
    if (!qt::GetGridFloat(grid, 1, row, value, current)) return false;
    try {
      if (water)
        Data().Ditch().Node(row).SetInitialConcentration(value);
      else
        Data().Sediment().Node(row).SetInitialConcentration(value);
    } catch (const fe::EOutOfRange& e) {
      qt::ShowGridError(grid, 1, row, e.Message(qt::DecimalSeparator()));
      return false;
    }
  }
  FillInitialConcGrid();
  return true;
}

void TMainForm::ICRadioClick() {
  if (CommitEdits()) {
    FillInitialConcGrid();
    return;
  }
  // A refused cell keeps its list on show, and the radio buttons say which.
  (icGridShowsWater_ ? icDitchRadio_ : icSedimentRadio_)->setChecked(true);
}

void TMainForm::SetAllButtonClick() {
  if (initialConcEdit_->text().isEmpty()) return;
  double value = 0;
  if (!qt::GetEditFloat(initialConcEdit_, value, 0)) return;
  if (icDitchRadio_->isChecked()) {
    fe::CheckRange("Initial mass concentration in water layer", value, 0, 100000);
    for (int i = 1; i <= Data().Ditch().NodeCount(); ++i)
      Data().Ditch().Node(i).SetInitialConcentration(value);
  } else {
    fe::CheckRange("Initial mass concentration in sediment", value, 0, 1000000);
    for (int i = 1; i <= Data().Sediment().NodeCount(); ++i)
      Data().Sediment().Node(i).SetInitialConcentration(value);
  }
  FillInitialConcGrid();
}

// ---- drift ----

void TMainForm::FillDriftGrid() {
  qt::TStringGrid* grid = strGridDriftLoadings_;
  const char sep = qt::DecimalSeparator();
  Refill(grid, [&] {
    const fe::TDriftLoadings& list = Data().Drift().Loadings();
    grid->SetRowCount(list.Count() + 1);
    grid->SetCell(0, 0, "Entry time (d)");
    grid->SetCell(1, 0, "Start position (m)");
    grid->SetCell(2, 0, "End position (m)");
    grid->SetCell(3, 0, "Mass (g/m²)");
    for (int i = 0; i < list.Count(); ++i) {
      const fe::TDriftEntry& e = list.Entry(i);
      grid->SetCell(0, i + 1, fe::FormatGeneral(e.EntryTime(), sep));
      grid->SetCell(1, i + 1, fe::FormatGeneral(e.StartPos(), sep));
      grid->SetCell(2, i + 1, fe::FormatGeneral(e.EndPos(), sep));
      grid->SetCell(3, i + 1, fe::FormatGeneral(e.Mass(), sep));
    }
  });
}

bool TMainForm::StrGridDriftLoadingsExit() {
  qt::TStringGrid* grid = strGridDriftLoadings_;
  fe::TDriftLoadings& list = Data().Drift().Loadings();
  // The columns: entry time, start, end, mass.
  auto get = [](const fe::TDriftEntry& e, int col) {
    switch (col) {
      case 0: return e.EntryTime();
      case 1: return e.StartPos();
      case 2: return e.EndPos();
      default: return e.Mass();
    }
  };
  auto set = [](fe::TDriftEntry& e, int col, double v) {
    switch (col) {
      case 0: e.SetEntryTime(v); break;
      case 1: e.SetStartPos(v); break;
      case 2: e.SetEndPos(v); break;
      default: e.SetMass(v); break;
    }
  };
  bool converted = true;
  const int count = std::min(list.Count(), grid->RowCount() - 1);
  for (int i = 0; i < count; ++i) {
    fe::TDriftEntry& entry = list.Entry(i);
    for (int col = 0; col < 4; ++col) {
      double value = 0;
      // A cell that does not convert has been reported; the others are still
      // taken.
      if (!qt::GetGridFloat(grid, col, i + 1, value, get(entry, col))) {
        converted = false;
        continue;
      }
      try {
        set(entry, col, value);
      } catch (const fe::EOutOfRange& e) {
        qt::ShowGridError(grid, col, i + 1, e.Message(qt::DecimalSeparator()));
        return false;
      }
    }
  }
  FillDriftGrid();
  return converted;
}

void TMainForm::DriftRemoveClick() {
  const int row = strGridDriftLoadings_->Row();
  if (row < 1) return;
  Data().Drift().Loadings().DeleteEntry(row - 1);
  FillDriftGrid();
}

void TMainForm::DriftInsertClick() {
  const int row = strGridDriftLoadings_->Row();
  if (row < 1) return;
  Data().Drift().Loadings().InsertCopy(row);
  FillDriftGrid();
}

void TMainForm::DriftClearClick() {
  if (!qt::Confirm("Are you sure you want to clear the list?")) return;
  auto entry = std::make_unique<fe::TDriftEntry>();
  entry->SetEndPos(Data().Ditch().Length());
  fe::TDriftLoadings& list = Data().Drift().Loadings();
  list.Clear();
  list.Add(std::move(entry));
  FillDriftGrid();
}

}  // namespace kirmel::gui
