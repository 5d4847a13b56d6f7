// Every range-checked setter: both bounds inclusive, just outside refused with
// the setter's message, the old value kept; and the defaults of a new model.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "frontend/model/Kirdata.h"

namespace kirmel::fe {
namespace {

struct SetterCase {
  const char* setter;   // for the failure report
  const char* message;  // the expected refusal for a value below or above
  double min;
  double max;
  std::function<void(TKirmelData&, double)> set;
  std::function<double(const TKirmelData&)> get;
};

#define PROP(part, name) \
  [](TKirmelData& d, double v) { d.part().Set##name(v); }, \
  [](const TKirmelData& d) { return d.part().name(); }
#define NODE(part, name) \
  [](TKirmelData& d, double v) { d.part().Node(1).Set##name(v); }, \
  [](const TKirmelData& d) { return d.part().Node(1).name(); }
#define ENTRY(name) \
  [](TKirmelData& d, double v) { d.Drift().Loadings().Entry(0).Set##name(v); }, \
  [](const TKirmelData& d) { return d.Drift().Loadings().Entry(0).name(); }

std::vector<SetterCase> AllSetters() {
  return {
      {"BottomWidth", "Bottom width must lie between 0.05 and 100", 0.05, 100, PROP(Metrics, BottomWidth)},
      {"WaterDepth", "Water depth must lie between 0 and 2", 0, 2, PROP(Metrics, WaterDepth)},
      {"SideSlope", "Side slope must lie between 0.00001 and 10", 0.00001, 10, PROP(Metrics, SideSlope)},
      {"Seepage", "Seepage must lie between 0 and 10", 0, 10, PROP(Hydrology, Seepage)},
      {"IncomingConcentration", "Incoming concentration must lie between 0 and 1", 0, 1,
       PROP(Hydrology, IncomingConcentration)},
      {"FlowVelocity", "Constant flow velocity must lie between -100000 and 100000", -100000, 100000,
       PROP(Hydrology, FlowVelocity)},
      {"WaterHeight", "Constant water height must lie between 0.01 and 2", 0.01, 2,
       PROP(Hydrology, WaterHeight)},
      {"DispersionCoefficient", "Dispersion coefficient must lie between 1 and 100000000", 1, 1e8,
       PROP(Hydrology, DispersionCoefficient)},
      {"Temperature", "Temperature in water and sediment must lie between 0 and 50", 0, 50,
       PROP(Hydrology, Temperature)},
      {"HalfLifeWater", "Half-life for transformation must lie between 0 and 10000", 0, 10000,
       PROP(Solids, HalfLifeWater)},
      {"HalfLifeSediment", "Half-life for transformation must lie between 0 and 10000", 0, 10000,
       PROP(Solids, HalfLifeSediment)},
      {"ActivationEnergy", "Activation energy must lie between 0 and 1000000", 0, 1e6,
       PROP(Solids, ActivationEnergy)},
      {"SorptionSuspendedSolids", "Slope sorption isotherm must lie between 0 and 1000000", 0, 1e6,
       PROP(Solids, SorptionSuspendedSolids)},
      {"ConcentrationSuspendedSolids", "Concentration must lie between 0.000999999999 and 100.000001",
       0.000999999999, 100.000001, PROP(Solids, ConcentrationSuspendedSolids)},
      {"FreundlichSuspendedSolids", "Freundlich exponent must lie between 0.1 and 2", 0.1, 2,
       PROP(Solids, FreundlichSuspendedSolids)},
      {"SorptionMacrophytes", "Slope sorption isotherm must lie between 0 and 1000000", 0, 1e6,
       PROP(Solids, SorptionMacrophytes)},
      {"MolecularMass", "Molecular mass must lie between 10 and 10000", 10, 10000,
       PROP(Solids, MolecularMass)},
      {"TransportCoefficientLiquid", "Transformation coefficient must lie between 0.1 and 5", 0.1, 5,
       PROP(Solids, TransportCoefficientLiquid)},
      {"TransportCoefficientGas", "Transformation coefficient must lie between 0.1 and 500", 0.1, 500,
       PROP(Solids, TransportCoefficientGas)},
      {"SaturatedVapourPressure", "Saturated gas pressure must lie between 1E-15 and 5000", 1e-15, 5000,
       PROP(Solids, SaturatedVapourPressure)},
      {"VapourPressureTemperature", "Saturated gas pressure temperature must lie between 0 and 100", 0,
       100, PROP(Solids, VapourPressureTemperature)},
      {"EnthalpyVaporisation", "Molar enthalpy of vaporization must lie between 0 and 1000000", 0, 1e6,
       PROP(Solids, EnthalpyVaporisation)},
      {"Solubility", "Solubility must lie between 9.99999999E-10 and 2000.000001", 9.99999999e-10,
       2000.000001, PROP(Solids, Solubility)},
      {"SolubilityTemperature", "Solubility temperature must lie between 0 and 100", 0, 100,
       PROP(Solids, SolubilityTemperature)},
      {"EnthalpyDissolution", "Molar enthalpy of solution must lie between 0 and 1000000", 0, 1e6,
       PROP(Solids, EnthalpyDissolution)},
      {"DiffusionCoefficient", "Diffusion coefficient must lie between 1 and 200", 1, 200,
       PROP(Solids, DiffusionCoefficient)},
      {"SorptionSediment", "Slope sorption isotherm must lie between 0 and 1000000", 0, 1e6,
       PROP(Solids, SorptionSediment)},
      {"ConcentrationSediment", "Concentration must lie between 0.000999999999 and 100.000001",
       0.000999999999, 100.000001, PROP(Solids, ConcentrationSediment)},
      {"FreundlichSediment", "Freundlich exponent must lie between 0.1 and 2", 0.1, 2,
       PROP(Solids, FreundlichSediment)},
      {"BackgroundConcentration", "Background concentration must lie between 0 and 1", 0, 1,
       PROP(Solids, BackgroundConcentration)},
      {"EntryTime", "Entry time must lie between 0 and 500", 0, 500, ENTRY(EntryTime)},
      {"Mass", "Mass must lie between 0 and 1000", 0, 1000, ENTRY(Mass)},
      {"StartPos", "Start location must lie between 0 and 10000", 0, 10000, ENTRY(StartPos)},
      {"EndPos", "End location must lie between 0 and 10000", 0, 10000, ENTRY(EndPos)},
      {"OutputTimestep", "Timestep for output must lie between 0.001 and 25", 0.001, 25,
       [](TKirmelData& d, double v) { d.SetOutputTimestep(v); },
       [](const TKirmelData& d) { return d.OutputTimestep(); }},
      {"Ditch.Length", "Length of waterbody must be between 0.05 and 10000", 0.05, 10000,
       PROP(Ditch, Length)},
      {"Ditch.FrontBufferLength", "Frontbuffer length must be between 0 and 1000", 0, 1000,
       PROP(Ditch, FrontBufferLength)},
      {"Ditch.EndBufferLength", "Endbuffer length must be between 0 and 1000", 0, 1000,
       PROP(Ditch, EndBufferLength)},
      {"PlotLength", "Length draining plot must lie between 10 and 100000", 10, 100000,
       PROP(Ditch, PlotLength)},
      {"SuspendedSolids", "Concentration suspended solids must lie between 1 and 100000", 1, 100000,
       PROP(Ditch, SuspendedSolids)},
      {"MassRatioOM", "Mass ratio must lie between 0 and 1", 0, 1, PROP(Ditch, MassRatioOM)},
      {"Macrophytes", "Dry weight macrophytes must lie between 0 and 1000", 0, 1000,
       PROP(Ditch, Macrophytes)},
      {"DitchNode.Length", "Length of segment must lie between 0.05 and 1000", 0.05, 1000,
       NODE(Ditch, Length)},
      {"DitchNode.InitialConcentration", "Initial mass concentration must lie between 0 and 100000", 0,
       100000, NODE(Ditch, InitialConcentration)},
      {"SedimentNode.Length", "Length of segment must lie between 0.0001 and 0.6", 0.0001, 0.6,
       NODE(Sediment, Length)},
      {"Porosity", "Porosity must lie between 0 and 1", 0, 1, NODE(Sediment, Porosity)},
      {"Tortuosity", "Tortuosity must lie between 0 and 1", 0, 1, NODE(Sediment, Tortuosity)},
      {"OrganicMatter", "Mass ratio organic matter must lie between 0 and 1", 0, 1,
       NODE(Sediment, OrganicMatter)},
      {"BulkDensity", "Bulk density must lie between 10 and 3000", 10, 3000, NODE(Sediment, BulkDensity)},
      {"SedimentNode.InitialConcentration", "Initial mass concentration must lie between 0 and 1000000",
       0, 1e6, NODE(Sediment, InitialConcentration)},
      {"SedimentLength", "Sediment length must lie between 0.001 and 0.5", 0.001, 0.5,
       PROP(Sediment, SedimentLength)},
      {"Sediment.EndBufferLength", "End buffer length must lie between 0 and 0.1", 0, 0.1,
       PROP(Sediment, EndBufferLength)},
      {"DispersionLength", "Dispersion length must lie between 0 and 1", 0, 1,
       PROP(Sediment, DispersionLength)},
  };
}

// Expects a refusal with exactly `message` and the old value kept.
void ExpectRefused(const SetterCase& c, TKirmelData& d, double value) {
  double before = c.get(d);
  try {
    c.set(d, value);
    ADD_FAILURE() << c.setter << " took " << value;
  } catch (const EOutOfRange& e) {
    EXPECT_EQ(std::string(e.what()), c.message) << c.setter << " with " << value;
  }
  EXPECT_EQ(c.get(d), before) << c.setter << " changed on refusal";
}

TEST(ModelSetters, EveryBoundInclusiveAndJustOutsideRefused) {
  const double inf = std::numeric_limits<double>::infinity();
  for (const SetterCase& c : AllSetters()) {
    TKirmelData d;
    c.set(d, c.min);
    EXPECT_EQ(c.get(d), c.min) << c.setter;
    c.set(d, c.max);
    EXPECT_EQ(c.get(d), c.max) << c.setter;
    ExpectRefused(c, d, std::nextafter(c.min, -inf));
    ExpectRefused(c, d, std::nextafter(c.max, inf));
    ExpectRefused(c, d, std::nan(""));
    ExpectRefused(c, d, inf);
  }
}

TEST(ModelSetters, BoundsJustOutsideRoundValuesTakeConvertedFileValues) {
  TSolids s;
  s.SetConcentrationSuspendedSolids(0.000999999999);
  s.SetConcentrationSuspendedSolids(100.000001);
  EXPECT_THROW(s.SetConcentrationSuspendedSolids(0.000999999998), EOutOfRange);
  // The file ranges 1e-6 .. 0.1 kg/m^3 and 1e-6 .. 2000000 g/m^3 read back.
  s.SetConcentrationSuspendedSolids(1e-6 * 1000);
  s.SetConcentrationSediment(0.1 * 1000);
  s.SetSolubility(1e-6 / 1000);
  s.SetSolubility(2000000.0 / 1000);
  EXPECT_EQ(s.Solubility(), 2000);
}

TEST(ModelSetters, MessageWithCommaSeparator) {
  TMetrics m;
  try {
    m.SetBottomWidth(0.01);
    FAIL();
  } catch (const EOutOfRange& e) {
    EXPECT_EQ(e.Message(','), "Bottom width must lie between 0,05 and 100");
  }
  TDitch ditch;
  try {
    ditch.SetLength(0.04);
    FAIL();
  } catch (const EKirmelError& e) {
    EXPECT_STREQ(e.what(), "Length of waterbody must be between 0.05 and 10000");
    EXPECT_EQ(e.Message(','), "Length of waterbody must be between 0,05 and 10000");
  }
}

TEST(ModelDefaults, NewModel) {
  TKirmelData d;
  EXPECT_EQ(d.ScenarioName(), "DefaultScenario");
  EXPECT_EQ(d.PesticideName(), "DefaultPesticide");
  EXPECT_EQ(d.KTop(), 7);
  EXPECT_EQ(d.TotalTime(), TTimestep(30, 0, 0, 0));
  EXPECT_EQ(d.OutputTimestep(), 0.5);

  EXPECT_EQ(d.Metrics().BottomWidth(), 0.4);
  EXPECT_EQ(d.Metrics().WaterDepth(), 0.1);
  EXPECT_EQ(d.Metrics().SideSlope(), 1.0);

  const THydrology& h = d.Hydrology();
  EXPECT_EQ(h.Seepage(), 0);
  EXPECT_EQ(h.IncomingConcentration(), 0);
  EXPECT_EQ(h.FlowVelocity(), 10);
  EXPECT_EQ(h.WaterHeight(), 0.3);
  EXPECT_EQ(h.DispersionCoefficient(), 20);
  EXPECT_EQ(h.Temperature(), 10);

  const TSolids& s = d.Solids();
  const double expected[] = {75.3, 100,   55000, 16400, 0.001, 0.9,   0,     350.6, 1.7,   163.1, 0.0025,
                             20,   95000, 0.002, 20,    27000, 40,    16400, 0.001, 0.9,   0};
  const double actual[] = {s.HalfLifeWater(),
                           s.HalfLifeSediment(),
                           s.ActivationEnergy(),
                           s.SorptionSuspendedSolids(),
                           s.ConcentrationSuspendedSolids(),
                           s.FreundlichSuspendedSolids(),
                           s.SorptionMacrophytes(),
                           s.MolecularMass(),
                           s.TransportCoefficientLiquid(),
                           s.TransportCoefficientGas(),
                           s.SaturatedVapourPressure(),
                           s.VapourPressureTemperature(),
                           s.EnthalpyVaporisation(),
                           s.Solubility(),
                           s.SolubilityTemperature(),
                           s.EnthalpyDissolution(),
                           s.DiffusionCoefficient(),
                           s.SorptionSediment(),
                           s.ConcentrationSediment(),
                           s.FreundlichSediment(),
                           s.BackgroundConcentration()};
  for (int i = 0; i < 21; ++i) EXPECT_EQ(actual[i], expected[i]) << "property " << i + 1;

  EXPECT_TRUE(d.Drift().Enabled());
  ASSERT_EQ(d.Drift().Loadings().Count(), 1);
  const TDriftEntry& e = d.Drift().Loadings().Entry(0);
  EXPECT_EQ(e.EntryTime(), 0);
  EXPECT_EQ(e.Mass(), 0.001);
  EXPECT_EQ(e.StartPos(), 20);
  EXPECT_EQ(e.EndPos(), 320);
  EXPECT_EQ(TDriftEntry().EndPos(), 0);

  const TDitch& w = d.Ditch();
  EXPECT_EQ(w.Length(), 320);
  EXPECT_EQ(w.FrontBufferLength(), 0);
  EXPECT_EQ(w.EndBufferLength(), 0);
  EXPECT_EQ(w.NodeCount(), 80);
  EXPECT_EQ(w.FrontBufferNodeCount(), 0);
  EXPECT_EQ(w.EndBufferNodeCount(), 0);
  EXPECT_EQ(w.Timestep(), TTimestep(0, 0, 10, 0));
  EXPECT_EQ(w.PlotLength(), 100);
  EXPECT_EQ(w.SuspendedSolids(), 15);
  EXPECT_EQ(w.MassRatioOM(), 0.5);
  EXPECT_EQ(w.Macrophytes(), 0);

  const TSediment& sed = d.Sediment();
  EXPECT_EQ(sed.NodeCount(), 14);
  EXPECT_EQ(sed.EndBufferNodeCount(), 0);
  EXPECT_EQ(sed.Timestep().AsSeconds(), 600);
  EXPECT_EQ(sed.SedimentLength(), 0.1);
  EXPECT_EQ(sed.EndBufferLength(), 0);
  EXPECT_EQ(sed.DispersionLength(), 0.015);
}

TEST(ModelDefaults, SedimentProfile) {
  TSediment sed;
  struct Layer {
    double thickness, bulk, porosity, tortuosity, om;
  };
  const Layer a{0.001, 80, 0.82, 0.82, 0.25}, b{0.002, 80, 0.82, 0.82, 0.25},
      c{0.005, 220, 0.77, 0.77, 0.19}, e{0.01, 670, 0.62, 0.62, 0.06}, f{0.02, 1500, 0.36, 0.28, 0.02};
  const Layer profile[14] = {a, a, a, a, b, b, b, c, c, e, e, f, f, f};
  for (int i = 1; i <= 14; ++i) {
    const TSedimentNode& n = sed.Node(i);
    const Layer& l = profile[i - 1];
    EXPECT_EQ(n.Length(), l.thickness) << i;
    EXPECT_EQ(n.BulkDensity(), l.bulk) << i;
    EXPECT_EQ(n.Porosity(), l.porosity) << i;
    EXPECT_EQ(n.Tortuosity(), l.tortuosity) << i;
    EXPECT_EQ(n.OrganicMatter(), l.om) << i;
    EXPECT_EQ(n.InitialConcentration(), 0) << i;
  }
}

TEST(ModelTopLayers, KTopRangeAndEmptySediment) {
  TKirmelData d;
  d.SetKTop(1);
  d.SetKTop(200);
  EXPECT_EQ(d.KTop(), 200);
  try {
    d.SetKTop(201);
    FAIL();
  } catch (const EOutOfRange& e) {
    EXPECT_STREQ(e.what(), "Number of top segments must lie between 1 and 200");
  }
  EXPECT_THROW(d.SetKTop(0), EOutOfRange);
  EXPECT_EQ(d.KTop(), 200);

  d.Sediment().ClearNodes();
  d.SetKTop(0);  // ignored
  EXPECT_EQ(d.KTop(), 200);
  try {
    d.SetKTop(3);
    FAIL();
  } catch (const EOutOfRange& e) {
    EXPECT_STREQ(e.what(), "There are no sediment nodes");
  }
  EXPECT_EQ(d.KTop(), 200);
}

TEST(ModelTotalTime, AtLeastATenthOfADay) {
  TKirmelData d;
  std::vector<std::string> shown;
  d.SetErrorReporter([&](const EKirmelError& e) { shown.push_back(e.Message(',')); });

  EXPECT_TRUE(d.SetTotalTime(TTimestep(0, 2, 24, 0)));  // exactly 0.1 d
  EXPECT_EQ(d.TotalTime(), TTimestep(0, 2, 24, 0));
  EXPECT_TRUE(shown.empty());

  EXPECT_FALSE(d.SetTotalTime(TTimestep(0, 2, 23, 59)));
  EXPECT_EQ(d.TotalTime(), TTimestep(0, 2, 24, 0));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Total time must be greater than 0,1 days");

  EXPECT_TRUE(d.SetTotalTime(TTimestep(0, 0, 0, 0.1 * 86400)));
  TKirmelData quiet;  // no reporter: refused all the same
  EXPECT_FALSE(quiet.SetTotalTime(TTimestep(0, 0, 0, 1)));
  EXPECT_EQ(quiet.TotalTime(), TTimestep(30, 0, 0, 0));
}

TEST(ModelParts, ReplacedAsAWhole) {
  TKirmelData d;
  auto ditch = std::make_unique<TDitch>();
  ditch->SetLength(100);
  TDitch* raw = ditch.get();
  d.SetDitch(std::move(ditch));
  EXPECT_EQ(&d.Ditch(), raw);
  EXPECT_EQ(d.Ditch().Length(), 100);
  EXPECT_THROW(d.SetSolids(nullptr), std::invalid_argument);
  EXPECT_EQ(d.Solids().HalfLifeWater(), 75.3);
}

}  // namespace
}  // namespace kirmel::fe
