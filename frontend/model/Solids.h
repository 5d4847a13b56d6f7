// Substance properties (SU.INP, coair in WLST.INP) and spray-drift loadings
// (SL.INP).  Values in the units the user sees; the writer converts
// L/kg -> m^3/kg (/ 1000), mg/L -> kg/m^3 (/ 1000), g/L -> g/m^3 (* 1000) and
// degrees Celsius -> K (+ 273).
#pragma once

#include <memory>
#include <vector>

namespace kirmel::fe {

class TSolids {
 public:
  // d, "Half-life for transformation", 0 .. 10000 (dt50wl)
  double HalfLifeWater() const { return halfLifeWater_; }
  void SetHalfLifeWater(double value);
  // d, "Half-life for transformation", 0 .. 10000 (dt50wb)
  double HalfLifeSediment() const { return halfLifeSediment_; }
  void SetHalfLifeSediment(double value);
  // J/mol, "Activation energy", 0 .. 1000000 (aetf)
  double ActivationEnergy() const { return activationEnergy_; }
  void SetActivationEnergy(double value);
  // L/kg, "Slope sorption isotherm", 0 .. 1000000 (kdomssdit)
  double SorptionSuspendedSolids() const { return sorptionSuspendedSolids_; }
  void SetSorptionSuspendedSolids(double value);
  // mg/L, "Concentration", 0.000999999999 .. 100.000001 (coobkomss)
  double ConcentrationSuspendedSolids() const { return concentrationSuspendedSolids_; }
  void SetConcentrationSuspendedSolids(double value);
  // -, "Freundlich exponent", 0.1 .. 2 (exfrss)
  double FreundlichSuspendedSolids() const { return freundlichSuspendedSolids_; }
  void SetFreundlichSuspendedSolids(double value);
  // L/kg, "Slope sorption isotherm", 0 .. 1000000 (kdmpdit)
  double SorptionMacrophytes() const { return sorptionMacrophytes_; }
  void SetSorptionMacrophytes(double value);
  // g/mol, "Molecular mass", 10 .. 10000 (mamol)
  double MolecularMass() const { return molecularMass_; }
  void SetMolecularMass(double value);
  // m/d, "Transformation coefficient", 0.1 .. 5 (klq)
  double TransportCoefficientLiquid() const { return transportCoefficientLiquid_; }
  void SetTransportCoefficientLiquid(double value);
  // m/d, "Transformation coefficient", 0.1 .. 500 (kga)
  double TransportCoefficientGas() const { return transportCoefficientGas_; }
  void SetTransportCoefficientGas(double value);
  // Pa, "Saturated gas pressure", 1e-15 .. 5000 (psat)
  double SaturatedVapourPressure() const { return saturatedVapourPressure_; }
  void SetSaturatedVapourPressure(double value);
  // degrees Celsius, "Saturated gas pressure temperature", 0 .. 100 (tepsat)
  double VapourPressureTemperature() const { return vapourPressureTemperature_; }
  void SetVapourPressureTemperature(double value);
  // J/mol, "Molar enthalpy of vaporization", 0 .. 1000000 (mepsat)
  double EnthalpyVaporisation() const { return enthalpyVaporisation_; }
  void SetEnthalpyVaporisation(double value);
  // g/L, "Solubility", 0.000000000999999999 .. 2000.000001 (cosol)
  double Solubility() const { return solubility_; }
  void SetSolubility(double value);
  // degrees Celsius, "Solubility temperature", 0 .. 100 (tesol)
  double SolubilityTemperature() const { return solubilityTemperature_; }
  void SetSolubilityTemperature(double value);
  // J/mol, "Molar enthalpy of solution", 0 .. 1000000 (mesol)
  double EnthalpyDissolution() const { return enthalpyDissolution_; }
  void SetEnthalpyDissolution(double value);
  // mm^2/d, "Diffusion coefficient", 1 .. 200 (kdfw)
  double DiffusionCoefficient() const { return diffusionCoefficient_; }
  void SetDiffusionCoefficient(double value);
  // L/kg, "Slope sorption isotherm", 0 .. 1000000 (kdomwb1)
  double SorptionSediment() const { return sorptionSediment_; }
  void SetSorptionSediment(double value);
  // mg/L, "Concentration", 0.000999999999 .. 100.000001 (coobkomwb)
  double ConcentrationSediment() const { return concentrationSediment_; }
  void SetConcentrationSediment(double value);
  // -, "Freundlich exponent", 0.1 .. 2 (exfrwb)
  double FreundlichSediment() const { return freundlichSediment_; }
  void SetFreundlichSediment(double value);
  // g/m^3, "Background concentration", 0 .. 1 (coair, written to WLST.INP)
  double BackgroundConcentration() const { return backgroundConcentration_; }
  void SetBackgroundConcentration(double value);

 private:
  double halfLifeWater_ = 75.3;
  double halfLifeSediment_ = 100;
  double activationEnergy_ = 55000;
  double sorptionSuspendedSolids_ = 16400;
  double concentrationSuspendedSolids_ = 0.001;
  double freundlichSuspendedSolids_ = 0.9;
  double sorptionMacrophytes_ = 0;
  double molecularMass_ = 350.6;
  double transportCoefficientLiquid_ = 1.7;
  double transportCoefficientGas_ = 163.1;
  double saturatedVapourPressure_ = 0.0025;
  double vapourPressureTemperature_ = 20;
  double enthalpyVaporisation_ = 95000;
  double solubility_ = 0.002;
  double solubilityTemperature_ = 20;
  double enthalpyDissolution_ = 27000;
  double diffusionCoefficient_ = 40;
  double sorptionSediment_ = 16400;
  double concentrationSediment_ = 0.001;
  double freundlichSediment_ = 0.9;
  double backgroundConcentration_ = 0;
};

// One spray-drift deposition onto a stretch of the water surface.
class TDriftEntry {
 public:
  // d, "Entry time", 0 .. 500 (tslus)
  double EntryTime() const { return entryTime_; }
  void SetEntryTime(double value);
  // g/m^2, "Mass", 0 .. 1000 (mslus)
  double Mass() const { return mass_; }
  void SetMass(double value);
  // m, "Start location", 0 .. 10000 (stxslus)
  double StartPos() const { return startPos_; }
  void SetStartPos(double value);
  // m, "End location", 0 .. 10000 (enxslus)
  double EndPos() const { return endPos_; }
  void SetEndPos(double value);

 private:
  double entryTime_ = 0;
  double mass_ = 0.001;
  double startPos_ = 20;
  double endPos_ = 0;
};

// The ordered list of drift entries, 0-based, owning its entries.  It holds
// at most 500; the user's operations never leave it empty (Clear does, for a
// caller that refills it).
class TDriftLoadings {
 public:
  static constexpr int kCapacity = 500;

  int Count() const { return static_cast<int>(entries_.size()); }
  // The entry at 0-based position index; EIndexOutOfRange outside 0 .. Count-1.
  TDriftEntry& Entry(int index);
  const TDriftEntry& Entry(int index) const;

  // Appends an entry (a reader's rows).  A full list refuses with EOutOfRange
  // "Number of loadings" before anything changes.
  TDriftEntry& Add(std::unique_ptr<TDriftEntry> entry);
  // Inserts at position index a copy of the entry at index - 1, so directly
  // after the entry it copies.  A full list refuses with EOutOfRange
  // "Number of loadings" (bounds 0 and 499); an index outside 1 .. Count
  // raises EIndexOutOfRange.  Nothing changes on either refusal.
  void InsertCopy(int index);
  // Removes the entry at 0-based position index while more than one is left;
  // with one entry it does nothing.  EIndexOutOfRange outside 0 .. Count-1.
  void DeleteEntry(int index);
  // Releases every entry; the list is empty afterwards.
  void Clear();

 private:
  std::vector<std::unique_ptr<TDriftEntry>> entries_;
};

class TDrift {
 public:
  // Enabled, and one default entry in the list.
  TDrift();

  TDriftLoadings& Loadings() { return loadings_; }
  const TDriftLoadings& Loadings() const { return loadings_; }

  // The spray-drift switch (op_slus).
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }

 private:
  TDriftLoadings loadings_;
  bool enabled_ = true;
};

}  // namespace kirmel::fe
