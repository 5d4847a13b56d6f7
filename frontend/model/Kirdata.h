// The front end's model of one scenario and one pesticide.
//
// Classes (namespace kirmel::fe, all Qt-free):
//   TKirmelData     the root: KTop, TotalTime, OutputTimestep, the two names
//                   and the owned parts below (this header)
//   TTimestep       a normalised duration d/h/min/s with AsDays, AsSeconds
//                   (Timestep.h)
//   TMetrics        ditch cross-section (Metrics.h)
//   THydrology      flow, water height, seepage, temperature (Hydro.h)
//   TSolids         the 21 substance properties (Solids.h)
//   TDrift          spray-drift switch and TDriftLoadings, an owned list of
//                   TDriftEntry, 0-based (Solids.h)
//   TDitch          water body: TDitchNode lists for the water body (1..500)
//                   and the front and end buffers (1..25 each) (Ditch.h)
//   TSediment       sediment: TSedimentNode lists for the layers (1..50) and
//                   the lower buffer (1..10) (Sediment.h)
//   EOutOfRange, EIndexOutOfRange, EIllegalValue (KirExcpt.h)
//   CheckRange, RoundHalfEven, chart extremes (Utils.h); the general number
//   form, Format templates and strict number parsing (Numbers.h)
//
// Values are held in the units the user sees (L/kg, mg/L, g/L, mm/d,
// degrees Celsius, ug/L); each getter's comment gives unit, range and the
// file key.
//
// Writer: read every value through the getters and convert to the file units
// there.  Lists: for i = 1 .. NodeCount(): Node(i) (likewise the buffer lists);
// Drift().Loadings().Entry(k) for k = 0 .. Count()-1.  Call
// Ditch().ComputeCoordinates() / Sediment().ComputeCoordinates() before using
// StartX/EndX or TopDepth/BottomDepth.
//
// Reader: build fresh parts (std::make_unique<TDitch>() and so on start from
// the defaults), fill them through the setters (which raise EOutOfRange with
// the user's message for a bad value), and only when every file was read swap
// them in with SetMetrics, SetDitch, ... .  Lists: ClearNodes(), then
// AddNode(std::make_unique<TDitchNode>(...)) while CanAddNode(); for the drift
// list Clear(), then Add(...).  Round counts read as reals with RoundHalfEven.
// Durations: TTimestep::SetTime(0, 0, 0, seconds) normalises; Assign copies
// without the total-time check.
//
// Every setter either stores the value or raises and leaves the object as it
// was.  EKirmelError::Message(sep) gives a message with the user's decimal
// separator; what() uses ".".
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "frontend/model/Ditch.h"
#include "frontend/model/Hydro.h"
#include "frontend/model/KirExcpt.h"
#include "frontend/model/Metrics.h"
#include "frontend/model/Sediment.h"
#include "frontend/model/Solids.h"
#include "frontend/model/Timestep.h"

namespace kirmel::fe {

class TKirmelData {
 public:
  // Receives the messages the model shows itself rather than raising them
  // (the refused total time).
  using TErrorReporter = std::function<void(const EKirmelError&)>;

  // All parts with their defaults; the first drift entry ends at the ditch
  // length; 30 d total time, KTop 7, output every 0.5 d.
  TKirmelData();
  TKirmelData(const TKirmelData&) = delete;
  TKirmelData& operator=(const TKirmelData&) = delete;

  // Number of upper sediment segments forming the top layer (ktop).
  // With sediment layers: "Number of top segments", 1 .. 200.  Without: 0 is
  // ignored and any other value raises EOutOfRange "There are no sediment nodes".
  int KTop() const { return kTop_; }
  void SetKTop(int value);

  // Simulated period (ttot).  SetTotalTime takes a copy when it lasts at least
  // 0.1 d and returns true; a shorter one is refused without an exception:
  // the error reporter gets "Total time must be greater than 0.1 days", the
  // total time stays, and the result is false.  TotalTime() gives direct
  // access for callers that check the range themselves.
  TTimestep& TotalTime() { return totalTime_; }
  const TTimestep& TotalTime() const { return totalTime_; }
  bool SetTotalTime(const TTimestep& value);

  // d, "Timestep for output", 0.001 .. 25 (deltout)
  double OutputTimestep() const { return outputTimestep_; }
  void SetOutputTimestep(double value);

  const std::string& ScenarioName() const { return scenarioName_; }
  void SetScenarioName(std::string value) { scenarioName_ = std::move(value); }
  const std::string& PesticideName() const { return pesticideName_; }
  void SetPesticideName(std::string value) { pesticideName_ = std::move(value); }

  TMetrics& Metrics() { return *metrics_; }
  const TMetrics& Metrics() const { return *metrics_; }
  TDitch& Ditch() { return *ditch_; }
  const TDitch& Ditch() const { return *ditch_; }
  TSediment& Sediment() { return *sediment_; }
  const TSediment& Sediment() const { return *sediment_; }
  THydrology& Hydrology() { return *hydrology_; }
  const THydrology& Hydrology() const { return *hydrology_; }
  TSolids& Solids() { return *solids_; }
  const TSolids& Solids() const { return *solids_; }
  TDrift& Drift() { return *drift_; }
  const TDrift& Drift() const { return *drift_; }

  // Replace a part as a whole (after a successful load); the old one is
  // released.  A null part throws std::invalid_argument and changes nothing.
  void SetMetrics(std::unique_ptr<TMetrics> value);
  void SetDitch(std::unique_ptr<TDitch> value);
  void SetSediment(std::unique_ptr<TSediment> value);
  void SetHydrology(std::unique_ptr<THydrology> value);
  void SetSolids(std::unique_ptr<TSolids> value);
  void SetDrift(std::unique_ptr<TDrift> value);

  void SetErrorReporter(TErrorReporter reporter) { reporter_ = std::move(reporter); }

 private:
  std::string scenarioName_ = "DefaultScenario";
  std::string pesticideName_ = "DefaultPesticide";
  int kTop_ = 0;
  TTimestep totalTime_;
  double outputTimestep_ = 0;
  std::unique_ptr<TMetrics> metrics_;
  std::unique_ptr<TDitch> ditch_;
  std::unique_ptr<TSediment> sediment_;
  std::unique_ptr<THydrology> hydrology_;
  std::unique_ptr<TSolids> solids_;
  std::unique_ptr<TDrift> drift_;
  TErrorReporter reporter_;
};

}  // namespace kirmel::fe
