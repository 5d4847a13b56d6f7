#include "frontend/model/Kirdata.h"

#include <stdexcept>

#include "frontend/model/Utils.h"

namespace kirmel::fe {
namespace {

constexpr double kMinTotalDays = 0.1;

template <class T>
void Replace(std::unique_ptr<T>& part, std::unique_ptr<T> value, const char* what) {
  if (!value) throw std::invalid_argument(std::string("TKirmelData: no ") + what);
  part = std::move(value);
}

}  // namespace

TKirmelData::TKirmelData()
    : metrics_(std::make_unique<TMetrics>()),
      ditch_(std::make_unique<TDitch>()),
      sediment_(std::make_unique<TSediment>()),
      hydrology_(std::make_unique<THydrology>()),
      solids_(std::make_unique<TSolids>()),
      drift_(std::make_unique<TDrift>()) {
  drift_->Loadings().Entry(0).SetEndPos(ditch_->Length());
  SetTotalTime(TTimestep(30, 0, 0, 0));
  SetKTop(7);
  SetOutputTimestep(0.5);
}

void TKirmelData::SetKTop(int value) {
  if (sediment_->NodeCount() > 0) {
    SetChecked(kTop_, value, "Number of top segments", 1, 200);
  } else if (value != 0) {
    throw EOutOfRange(std::string("There are no sediment nodes"));
  }
}

bool TKirmelData::SetTotalTime(const TTimestep& value) {
  if (value.AsDays() >= kMinTotalDays) {
    totalTime_ = value;
    return true;
  }
  if (reporter_) reporter_(EOutOfRange("Total time must be greater than %g days", {kMinTotalDays}));
  return false;
}

void TKirmelData::SetOutputTimestep(double value) {
  SetChecked(outputTimestep_, value, "Timestep for output", 0.001, 25);
}

void TKirmelData::SetMetrics(std::unique_ptr<TMetrics> v) { Replace(metrics_, std::move(v), "metrics"); }
void TKirmelData::SetDitch(std::unique_ptr<TDitch> v) { Replace(ditch_, std::move(v), "water body"); }
void TKirmelData::SetSediment(std::unique_ptr<TSediment> v) {
  Replace(sediment_, std::move(v), "sediment");
}
void TKirmelData::SetHydrology(std::unique_ptr<THydrology> v) {
  Replace(hydrology_, std::move(v), "hydrology");
}
void TKirmelData::SetSolids(std::unique_ptr<TSolids> v) { Replace(solids_, std::move(v), "substance"); }
void TKirmelData::SetDrift(std::unique_ptr<TDrift> v) { Replace(drift_, std::move(v), "drift"); }

}  // namespace kirmel::fe
