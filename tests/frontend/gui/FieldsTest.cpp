// Every numeric field of the main window: accepted values reach the model,
// refused ones show the setter's message, leave the model as it was and take
// the focus back; the total time and the time step with their own rules.
#include <functional>

#include "MainFormFixture.h"

namespace kirmel::test {
namespace {

struct FieldCase {
  const char* Name;
  const char* Good;
  double GoodValue;
  const char* Bad;
  const char* Message;
  std::function<double(const fe::TKirmelData&)> Get;
};

const FieldCase kFields[] = {
    {"Depth", "0.25", 0.25, "3", "Water depth must lie between 0 and 2",
     [](const fe::TKirmelData& d) { return d.Metrics().WaterDepth(); }},
    {"Width", "1.5", 1.5, "0.01", "Bottom width must lie between 0.05 and 100",
     [](const fe::TKirmelData& d) { return d.Metrics().BottomWidth(); }},
    {"SideSlope", "2", 2, "11", "Side slope must lie between 0.00001 and 10",
     [](const fe::TKirmelData& d) { return d.Metrics().SideSlope(); }},
    {"WCConcSuspSolids", "20", 20, "0.5", "Concentration suspended solids must lie between 1 and 100000",
     [](const fe::TKirmelData& d) { return d.Ditch().SuspendedSolids(); }},
    {"WCMassRatioOM", "0.3", 0.3, "1.5", "Mass ratio must lie between 0 and 1",
     [](const fe::TKirmelData& d) { return d.Ditch().MassRatioOM(); }},
    {"DryWeightMacro", "12", 12, "-1", "Dry weight macrophytes must lie between 0 and 1000",
     [](const fe::TKirmelData& d) { return d.Ditch().Macrophytes(); }},
    {"ConstantFlow", "-5", -5, "200000", "Constant flow velocity must lie between -100000 and 100000",
     [](const fe::TKirmelData& d) { return d.Hydrology().FlowVelocity(); }},
    {"ConstantHeight", "0.5", 0.5, "3", "Constant water height must lie between 0.01 and 2",
     [](const fe::TKirmelData& d) { return d.Hydrology().WaterHeight(); }},
    {"DispersionCoef", "30", 30, "0.5", "Dispersion coefficient must lie between 1 and 100000000",
     [](const fe::TKirmelData& d) { return d.Hydrology().DispersionCoefficient(); }},
    {"DispersionLength", "0.02", 0.02, "2", "Dispersion length must lie between 0 and 1",
     [](const fe::TKirmelData& d) { return d.Sediment().DispersionLength(); }},
    {"EdtWaterSedimentTemp", "15", 15, "51", "Temperature in water and sediment must lie between 0 and 50",
     [](const fe::TKirmelData& d) { return d.Hydrology().Temperature(); }},
    {"EdtSeepage", "2", 2, "11", "Seepage must lie between 0 and 10",
     [](const fe::TKirmelData& d) { return d.Hydrology().Seepage(); }},
    {"EdtConcentration", "0.5", 0.5, "2", "Incoming concentration must lie between 0 and 1",
     [](const fe::TKirmelData& d) { return d.Hydrology().IncomingConcentration(); }},
    {"EdtOutputInterval", "0.25", 0.25, "26", "Timestep for output must lie between 0.001 and 25",
     [](const fe::TKirmelData& d) { return d.OutputTimestep(); }},
    {"WCHalfLife", "10", 10, "10001", "Half-life for transformation must lie between 0 and 10000",
     [](const fe::TKirmelData& d) { return d.Solids().HalfLifeWater(); }},
    {"SedHalfLife", "20", 20, "-3", "Half-life for transformation must lie between 0 and 10000",
     [](const fe::TKirmelData& d) { return d.Solids().HalfLifeSediment(); }},
    {"EdtActEnergyTransformation", "50000", 50000, "1000001", "Activation energy must lie between 0 and 1000000",
     [](const fe::TKirmelData& d) { return d.Solids().ActivationEnergy(); }},
    {"WCSorptionIsotherm", "100", 100, "-1", "Slope sorption isotherm must lie between 0 and 1000000",
     [](const fe::TKirmelData& d) { return d.Solids().SorptionSuspendedSolids(); }},
    {"WCConcPest", "1", 1, "101", "Concentration must lie between 0.000999999999 and 100.000001",
     [](const fe::TKirmelData& d) { return d.Solids().ConcentrationSuspendedSolids(); }},
    {"WCFreundlich", "1", 1, "0.05", "Freundlich exponent must lie between 0.1 and 2",
     [](const fe::TKirmelData& d) { return d.Solids().FreundlichSuspendedSolids(); }},
    {"SorptionIsothermMacro", "5", 5, "2000000", "Slope sorption isotherm must lie between 0 and 1000000",
     [](const fe::TKirmelData& d) { return d.Solids().SorptionMacrophytes(); }},
    {"SedSorptionIsotherm", "200", 200, "-2", "Slope sorption isotherm must lie between 0 and 1000000",
     [](const fe::TKirmelData& d) { return d.Solids().SorptionSediment(); }},
    {"SedConcPest", "2", 2, "0.0001", "Concentration must lie between 0.000999999999 and 100.000001",
     [](const fe::TKirmelData& d) { return d.Solids().ConcentrationSediment(); }},
    {"SedFreundlich", "0.8", 0.8, "3", "Freundlich exponent must lie between 0.1 and 2",
     [](const fe::TKirmelData& d) { return d.Solids().FreundlichSediment(); }},
    {"SatGasPressure", "1E-6", 1e-6, "6000", "Saturated gas pressure must lie between 1E-15 and 5000",
     [](const fe::TKirmelData& d) { return d.Solids().SaturatedVapourPressure(); }},
    {"EdtGasPressureTemp", "25", 25, "101", "Saturated gas pressure temperature must lie between 0 and 100",
     [](const fe::TKirmelData& d) { return d.Solids().VapourPressureTemperature(); }},
    {"EdtEnthalpyVaporization", "90000", 90000, "-1", "Molar enthalpy of vaporization must lie between 0 and 1000000",
     [](const fe::TKirmelData& d) { return d.Solids().EnthalpyVaporisation(); }},
    {"Solubility", "0.5", 0.5, "3000", "Solubility must lie between 9.99999999E-10 and 2000.000001",
     [](const fe::TKirmelData& d) { return d.Solids().Solubility(); }},
    {"EdtSolubilityTemp", "30", 30, "-1", "Solubility temperature must lie between 0 and 100",
     [](const fe::TKirmelData& d) { return d.Solids().SolubilityTemperature(); }},
    {"EdtEnthalpySolution", "25000", 25000, "1E7", "Molar enthalpy of solution must lie between 0 and 1000000",
     [](const fe::TKirmelData& d) { return d.Solids().EnthalpyDissolution(); }},
    {"TCLiquid", "2", 2, "6", "Transformation coefficient must lie between 0.1 and 5",
     [](const fe::TKirmelData& d) { return d.Solids().TransportCoefficientLiquid(); }},
    {"TCGas", "100", 100, "0.05", "Transformation coefficient must lie between 0.1 and 500",
     [](const fe::TKirmelData& d) { return d.Solids().TransportCoefficientGas(); }},
    {"MolecularMass", "300", 300, "5", "Molecular mass must lie between 10 and 10000",
     [](const fe::TKirmelData& d) { return d.Solids().MolecularMass(); }},
    {"DiffusionCoef", "50", 50, "201", "Diffusion coefficient must lie between 1 and 200",
     [](const fe::TKirmelData& d) { return d.Solids().DiffusionCoefficient(); }},
};

TEST_F(MainFormTest, EveryNumericFieldAcceptsRefusesAndRefills) {
  Start();
  ASSERT_EQ(std::size(kFields), 34u);
  for (const FieldCase& f : kFields) {
    SCOPED_TRACE(f.Name);
    QLineEdit* edit = Edit(f.Name);
    dialogs->Clear();

    Enter(f.Name, f.Good);
    EXPECT_EQ(f.Get(Data()), f.GoodValue);
    EXPECT_TRUE(Errors().empty());

    // Out of range: the setter's message, the model as it was, the refused
    // text and the focus back in the field.
    Enter(f.Name, f.Bad);
    EXPECT_EQ(Errors(), std::vector<std::string>{f.Message});
    EXPECT_EQ(f.Get(Data()), f.GoodValue);
    EXPECT_EQ(edit->text(), f.Bad);
    EXPECT_EQ(Focused(), edit);

    // Text that is no number at all.
    edit->setText("12abc");
    Leave();
    EXPECT_EQ(LastError(), "Illegal value");
    EXPECT_EQ(Focused(), edit);
    EXPECT_EQ(f.Get(Data()), f.GoodValue);

    // Emptied: the current value comes back.
    edit->setText("");
    Leave();
    EXPECT_EQ(edit->text().toStdString(), fe::FormatGeneral(f.GoodValue, '.'));
    EXPECT_EQ(Errors().size(), 2u);
  }
}

TEST_F(MainFormTest, TotalTimeAndTimeStep) {
  Start();
  Enter("TTDays", "0.05");
  EXPECT_EQ(Errors(), std::vector<std::string>{"Total time must lie between 0.1 and 500"});
  EXPECT_EQ(Focused(), Edit("TTDays"));
  EXPECT_EQ(Data().TotalTime().AsDays(), 30);
  Enter("TTDays", "12.5");
  EXPECT_EQ(Data().TotalTime(), fe::TTimestep(12, 12, 0, 0));
  // An emptied total time stays empty and changes nothing.
  Enter("TTDays", "");
  EXPECT_EQ(Edit("TTDays")->text(), "");
  EXPECT_EQ(Data().TotalTime().AsDays(), 12.5);
  Enter("TTDays", "500");
  EXPECT_EQ(Data().TotalTime().AsDays(), 500);

  dialogs->Clear();
  struct Step {
    const char* Text;
    const char* Message;  // nullptr: taken
  };
  const Step steps[] = {{"7", "Multiple timesteps should fit in one day"},
                        {"0.5", "Time step must be greater than 1"},
                        {"600", nullptr},
                        {"86400", nullptr},
                        {"86401", "Multiple timesteps should fit in one day"},
                        {"172800", "Multiple timesteps should fit in one day"},
                        {"1E10", "Multiple timesteps should fit in one day"},
                        {"1", nullptr}};
  double expected = 600;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Text);
    dialogs->Clear();
    Enter("TimestepColumn", s.Text);
    if (s.Message) {
      EXPECT_EQ(Errors(), std::vector<std::string>{s.Message});
      EXPECT_EQ(Focused(), Edit("TimestepColumn"));
    } else {
      EXPECT_TRUE(Errors().empty());
      expected = std::stod(s.Text);
    }
    EXPECT_EQ(Data().Ditch().Timestep().AsSeconds(), expected);
    EXPECT_EQ(Data().Sediment().Timestep().AsSeconds(), expected);
  }
}

TEST_F(MainFormTest, AFieldBeingEditedIsCommittedBeforeAnAction) {
  Start();
  // A refused value stops the menu action: no folder browser opens.
  QLineEdit* depth = Edit("Depth");
  FocusOn(depth);
  depth->setText("5");
  form->findChild<QAction*>("SaveScenario1")->trigger();
  Settle();
  EXPECT_EQ(Errors(), std::vector<std::string>{"Water depth must lie between 0 and 2"});
  EXPECT_EQ(dialogs->Records().size(), 1u);

  // An accepted value is in the model before the action uses it.
  depth->setText("0.7");
  dialogs->AnswerSaveFolder(std::nullopt);
  form->findChild<QAction*>("SaveScenario1")->trigger();
  Settle();
  EXPECT_EQ(Data().Metrics().WaterDepth(), 0.7);
  EXPECT_EQ(dialogs.LastRecord().Kind, qt::TDialogKind::SaveFolder);
}

}  // namespace
}  // namespace kirmel::test
