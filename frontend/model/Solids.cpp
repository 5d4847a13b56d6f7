#include "frontend/model/Solids.h"

#include <stdexcept>

#include "frontend/model/Utils.h"

namespace kirmel::fe {
namespace {

// The bounds of the observed concentrations and the solubility lie just
// outside the round values, so that a value converted back from the file
// units passes.
constexpr double kConcentrationMin = 0.000999999999;
constexpr double kConcentrationMax = 100.000001;
constexpr double kSolubilityMin = 0.000000000999999999;
constexpr double kSolubilityMax = 2000.000001;

}  // namespace

void TSolids::SetHalfLifeWater(double v) {
  SetChecked(halfLifeWater_, v, "Half-life for transformation", 0, 10000);
}
void TSolids::SetHalfLifeSediment(double v) {
  SetChecked(halfLifeSediment_, v, "Half-life for transformation", 0, 10000);
}
void TSolids::SetActivationEnergy(double v) {
  SetChecked(activationEnergy_, v, "Activation energy", 0, 1000000);
}
void TSolids::SetSorptionSuspendedSolids(double v) {
  SetChecked(sorptionSuspendedSolids_, v, "Slope sorption isotherm", 0, 1000000);
}
void TSolids::SetConcentrationSuspendedSolids(double v) {
  SetChecked(concentrationSuspendedSolids_, v, "Concentration", kConcentrationMin,
             kConcentrationMax);
}
void TSolids::SetFreundlichSuspendedSolids(double v) {
  SetChecked(freundlichSuspendedSolids_, v, "Freundlich exponent", 0.1, 2);
}
void TSolids::SetSorptionMacrophytes(double v) {
  SetChecked(sorptionMacrophytes_, v, "Slope sorption isotherm", 0, 1000000);
}
void TSolids::SetMolecularMass(double v) {
  SetChecked(molecularMass_, v, "Molecular mass", 10, 10000);
}
void TSolids::SetTransportCoefficientLiquid(double v) {
  SetChecked(transportCoefficientLiquid_, v, "Transformation coefficient", 0.1, 5);
}
void TSolids::SetTransportCoefficientGas(double v) {
  SetChecked(transportCoefficientGas_, v, "Transformation coefficient", 0.1, 500);
}
void TSolids::SetSaturatedVapourPressure(double v) {
  SetChecked(saturatedVapourPressure_, v, "Saturated gas pressure", 1e-15, 5000);
}
void TSolids::SetVapourPressureTemperature(double v) {
  SetChecked(vapourPressureTemperature_, v, "Saturated gas pressure temperature", 0, 100);
}
void TSolids::SetEnthalpyVaporisation(double v) {
  SetChecked(enthalpyVaporisation_, v, "Molar enthalpy of vaporization", 0, 1000000);
}
void TSolids::SetSolubility(double v) {
  SetChecked(solubility_, v, "Solubility", kSolubilityMin, kSolubilityMax);
}
void TSolids::SetSolubilityTemperature(double v) {
  SetChecked(solubilityTemperature_, v, "Solubility temperature", 0, 100);
}
void TSolids::SetEnthalpyDissolution(double v) {
  SetChecked(enthalpyDissolution_, v, "Molar enthalpy of solution", 0, 1000000);
}
void TSolids::SetDiffusionCoefficient(double v) {
  SetChecked(diffusionCoefficient_, v, "Diffusion coefficient", 1, 200);
}
void TSolids::SetSorptionSediment(double v) {
  SetChecked(sorptionSediment_, v, "Slope sorption isotherm", 0, 1000000);
}
void TSolids::SetConcentrationSediment(double v) {
  SetChecked(concentrationSediment_, v, "Concentration", kConcentrationMin, kConcentrationMax);
}
void TSolids::SetFreundlichSediment(double v) {
  SetChecked(freundlichSediment_, v, "Freundlich exponent", 0.1, 2);
}
void TSolids::SetBackgroundConcentration(double v) {
  SetChecked(backgroundConcentration_, v, "Background concentration", 0, 1);
}

void TDriftEntry::SetEntryTime(double v) { SetChecked(entryTime_, v, "Entry time", 0, 500); }
void TDriftEntry::SetMass(double v) { SetChecked(mass_, v, "Mass", 0, 1000); }
void TDriftEntry::SetStartPos(double v) { SetChecked(startPos_, v, "Start location", 0, 10000); }
void TDriftEntry::SetEndPos(double v) { SetChecked(endPos_, v, "End location", 0, 10000); }

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
