#include "frontend/model/Solids.h"

#include <stdexcept>

#include "frontend/model/Utils.h"

namespace kirmel::fe {
namespace {

// Stores value in field after its range check.
void Set(double& field, double value, const char* name, double min, double max) {
  if (CheckRange(name, value, min, max)) field = value;
}

// The bounds of the observed concentrations and the solubility lie just
// outside the round values, so that a value converted back from the file
// units passes.
constexpr double kConcentrationMin = 0.000999999999;
constexpr double kConcentrationMax = 100.000001;
constexpr double kSolubilityMin = 0.000000000999999999;
constexpr double kSolubilityMax = 2000.000001;

}  // namespace

void TSolids::SetHalfLifeWater(double v) {
  Set(halfLifeWater_, v, "Half-life for transformation", 0, 10000);
}
void TSolids::SetHalfLifeSediment(double v) {
  Set(halfLifeSediment_, v, "Half-life for transformation", 0, 10000);
}
void TSolids::SetActivationEnergy(double v) {
  Set(activationEnergy_, v, "Activation energy", 0, 1000000);
}
void TSolids::SetSorptionSuspendedSolids(double v) {
  Set(sorptionSuspendedSolids_, v, "Slope sorption isotherm", 0, 1000000);
}
void TSolids::SetConcentrationSuspendedSolids(double v) {
  Set(concentrationSuspendedSolids_, v, "Concentration", kConcentrationMin, kConcentrationMax);
}
void TSolids::SetFreundlichSuspendedSolids(double v) {
  Set(freundlichSuspendedSolids_, v, "Freundlich exponent", 0.1, 2);
}
void TSolids::SetSorptionMacrophytes(double v) {
  Set(sorptionMacrophytes_, v, "Slope sorption isotherm", 0, 1000000);
}
void TSolids::SetMolecularMass(double v) {
  Set(molecularMass_, v, "Molecular mass", 10, 10000);
}
void TSolids::SetTransportCoefficientLiquid(double v) {
  Set(transportCoefficientLiquid_, v, "Transformation coefficient", 0.1, 5);
}
void TSolids::SetTransportCoefficientGas(double v) {
  Set(transportCoefficientGas_, v, "Transformation coefficient", 0.1, 500);
}
void TSolids::SetSaturatedVapourPressure(double v) {
  Set(saturatedVapourPressure_, v, "Saturated gas pressure", 1e-15, 5000);
}
void TSolids::SetVapourPressureTemperature(double v) {
  Set(vapourPressureTemperature_, v, "Saturated gas pressure temperature", 0, 100);
}
void TSolids::SetEnthalpyVaporisation(double v) {
  Set(enthalpyVaporisation_, v, "Molar enthalpy of vaporization", 0, 1000000);
}
void TSolids::SetSolubility(double v) {
  Set(solubility_, v, "Solubility", kSolubilityMin, kSolubilityMax);
}
void TSolids::SetSolubilityTemperature(double v) {
  Set(solubilityTemperature_, v, "Solubility temperature", 0, 100);
}
void TSolids::SetEnthalpyDissolution(double v) {
  Set(enthalpyDissolution_, v, "Molar enthalpy of solution", 0, 1000000);
}
void TSolids::SetDiffusionCoefficient(double v) {
  Set(diffusionCoefficient_, v, "Diffusion coefficient", 1, 200);
}
void TSolids::SetSorptionSediment(double v) {
  Set(sorptionSediment_, v, "Slope sorption isotherm", 0, 1000000);
}
void TSolids::SetConcentrationSediment(double v) {
  Set(concentrationSediment_, v, "Concentration", kConcentrationMin, kConcentrationMax);
}
void TSolids::SetFreundlichSediment(double v) {
  Set(freundlichSediment_, v, "Freundlich exponent", 0.1, 2);
}
void TSolids::SetBackgroundConcentration(double v) {
  Set(backgroundConcentration_, v, "Background concentration", 0, 1);
}

void TDriftEntry::SetEntryTime(double v) { Set(entryTime_, v, "Entry time", 0, 500); }
void TDriftEntry::SetMass(double v) { Set(mass_, v, "Mass", 0, 1000); }
void TDriftEntry::SetStartPos(double v) { Set(startPos_, v, "Start location", 0, 10000); }
void TDriftEntry::SetEndPos(double v) { Set(endPos_, v, "End location", 0, 10000); }

TDriftEntry& TDriftLoadings::Entry(int index) {
  if (index < 0 || index >= Count()) throw EIndexOutOfRange();
  return *entries_[static_cast<std::size_t>(index)];
}

const TDriftEntry& TDriftLoadings::Entry(int index) const {
  if (index < 0 || index >= Count()) throw EIndexOutOfRange();
  return *entries_[static_cast<std::size_t>(index)];
}

TDriftEntry& TDriftLoadings::Add(std::unique_ptr<TDriftEntry> entry) {
  if (!entry) throw std::invalid_argument("TDriftLoadings::Add: no entry");
  CheckRange("Number of loadings", Count(), 0, kCapacity - 1);
  entries_.push_back(std::move(entry));
  return *entries_.back();
}

void TDriftLoadings::InsertCopy(int index) {
  CheckRange("Number of loadings", Count(), 0, kCapacity - 1);
  if (index < 1 || index > Count()) throw EIndexOutOfRange();
  const TDriftEntry& source = *entries_[static_cast<std::size_t>(index - 1)];
  auto copy = std::make_unique<TDriftEntry>();
  copy->SetEntryTime(source.EntryTime());
  copy->SetMass(source.Mass());
  copy->SetStartPos(source.StartPos());
  copy->SetEndPos(source.EndPos());
  entries_.insert(entries_.begin() + index, std::move(copy));
}

void TDriftLoadings::DeleteEntry(int index) {
  if (index < 0 || index >= Count()) throw EIndexOutOfRange();
  if (Count() > 1) entries_.erase(entries_.begin() + index);
}

void TDriftLoadings::Clear() { entries_.clear(); }

TDrift::TDrift() {
  loadings_.Clear();
  loadings_.Add(std::make_unique<TDriftEntry>());
}

}  // namespace kirmel::fe
