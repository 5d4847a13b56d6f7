// Reading the kernel input files back: round trip, all or nothing, and the
// reader's rules for single keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <cctype>
#include <fstream>

#include "EditorTestSupport.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using fe::TKirmelData;

// A model that differs from the defaults wherever the files can carry it.
void MakeVaried(TKirmelData& d, fe::TSettings& s) {
  fe::TDitch& ditch = d.Ditch();
  ditch.ClearNodes();
  for (int i = 1; i <= 7; ++i)
    ditch.AddNode(std::make_unique<fe::TDitchNode>(i % 3 == 0, 10 + i * 0.5, i * 2.5));
  ditch.SetLength(94);
  // Buffers at both ends: their segments come first and last in the
  // kernel's node numbers and in the list of initial concentrations.
  ditch.AddFrontBufferNode(std::make_unique<fe::TDitchNode>(false, 2.5, 1.5));
  ditch.AddFrontBufferNode(std::make_unique<fe::TDitchNode>(false, 3, 0));
  ditch.SetFrontBufferLength(5.5);
  for (int i = 1; i <= 3; ++i)
    ditch.AddEndBufferNode(std::make_unique<fe::TDitchNode>(false, 4 + (i == 3), i == 2 ? 7.25 : 0));
  ditch.SetEndBufferLength(13);
  ditch.Timestep().SetTime(0, 0, 15, 0);
  ditch.SetPlotLength(999);  // the files always carry 999
  ditch.SetSuspendedSolids(25.5);
  ditch.SetMassRatioOM(0.3);
  ditch.SetMacrophytes(12);
  d.Metrics().SetBottomWidth(1.2);
  d.Metrics().SetSideSlope(0.00005);
  d.Metrics().SetWaterDepth(0.25);

  fe::TSediment& sed = d.Sediment();
  sed.ClearNodes();
  for (int i = 1; i <= 4; ++i)
    sed.AddNode(std::make_unique<fe::TSedimentNode>(0.005 * i, i * 100.0, 100.0 * i, 0.1 * i,
                                                     0.05 * i, 0.01 * i));
  sed.AddEndBufferNode(std::make_unique<fe::TSedimentNode>(0.02, 250, 10, 0, 0, 0));
  sed.AddEndBufferNode(std::make_unique<fe::TSedimentNode>(0.03, 0, 10, 0, 0, 0));
  sed.SetSedimentLength(0.05);
  sed.SetEndBufferLength(0.05);
  sed.SetDispersionLength(0.02);
  sed.Timestep().SetTime(0, 0, 15, 0);  // written from the water layer's step

  fe::THydrology& hy = d.Hydrology();
  hy.SetFlowVelocity(-250.5);
  hy.SetWaterHeight(0.45);
  hy.SetDispersionCoefficient(1500);
  hy.SetSeepage(2.5);
  hy.SetIncomingConcentration(0.125);
  hy.SetTemperature(17.5);

  fe::TSolids& su = d.Solids();
  su.SetHalfLifeWater(12.5);
  su.SetHalfLifeSediment(250);
  su.SetActivationEnergy(65400);
  su.SetSorptionSuspendedSolids(1234);
  su.SetConcentrationSuspendedSolids(0.05);
  su.SetFreundlichSuspendedSolids(0.85);
  su.SetSorptionMacrophytes(75);
  su.SetMolecularMass(291.3);
  su.SetTransportCoefficientLiquid(2.5);
  su.SetTransportCoefficientGas(100);
  su.SetSaturatedVapourPressure(1.5e-7);
  su.SetVapourPressureTemperature(25);
  su.SetEnthalpyVaporisation(90000);
  su.SetSolubility(2.01);  // 2010 g/m^3 in the file
  su.SetSolubilityTemperature(22);
  su.SetEnthalpyDissolution(30000);
  su.SetDiffusionCoefficient(55);
  su.SetSorptionSediment(987);
  su.SetConcentrationSediment(2);
  su.SetFreundlichSediment(1.1);
  su.SetBackgroundConcentration(0.5);

  fe::TDriftLoadings& drift = d.Drift().Loadings();
  drift.Entry(0).SetEndPos(94);
  drift.InsertCopy(1);
  drift.Entry(1).SetEntryTime(3.25);
  drift.Entry(1).SetMass(0.02);
  drift.Entry(1).SetStartPos(5);
  drift.Entry(1).SetEndPos(40.5);
  d.Drift().SetEnabled(false);

  fe::TTimestep total(12, 12, 0, 0);
  d.SetTotalTime(total);
  d.SetKTop(3);
  d.SetOutputTimestep(0.25);
  s.op_icwb = s.op_wlmbnodenr = s.op_dbdit = true;
}

// Every value that the files carry, compared one by one.
void ExpectSameModel(const TKirmelData& a, const TKirmelData& b) {
  const fe::TDitch &da = a.Ditch(), &db = b.Ditch();
  ASSERT_EQ(da.NodeCount(), db.NodeCount());
  for (int i = 1; i <= da.NodeCount(); ++i) {
    EXPECT_DOUBLE_EQ(da.Node(i).Length(), db.Node(i).Length()) << i;
    EXPECT_DOUBLE_EQ(da.Node(i).InitialConcentration(), db.Node(i).InitialConcentration()) << i;
    EXPECT_EQ(da.Node(i).Output(), db.Node(i).Output()) << i;
  }
  auto sameBuffer = [](int na, int nb, auto nodeA, auto nodeB) {
    ASSERT_EQ(na, nb);
    for (int i = 1; i <= na; ++i) {
      EXPECT_DOUBLE_EQ(nodeA(i).Length(), nodeB(i).Length()) << i;
      EXPECT_DOUBLE_EQ(nodeA(i).InitialConcentration(), nodeB(i).InitialConcentration()) << i;
    }
  };
  sameBuffer(da.FrontBufferNodeCount(), db.FrontBufferNodeCount(),
             [&](int i) -> auto& { return da.FrontBufferNode(i); },
             [&](int i) -> auto& { return db.FrontBufferNode(i); });
  sameBuffer(da.EndBufferNodeCount(), db.EndBufferNodeCount(),
             [&](int i) -> auto& { return da.EndBufferNode(i); },
             [&](int i) -> auto& { return db.EndBufferNode(i); });
  EXPECT_EQ(da.FrontBufferLength(), db.FrontBufferLength());
  EXPECT_EQ(da.EndBufferLength(), db.EndBufferLength());
  EXPECT_EQ(da.Length(), db.Length());
  EXPECT_EQ(da.Timestep(), db.Timestep());
  EXPECT_EQ(da.PlotLength(), db.PlotLength());
  EXPECT_EQ(da.SuspendedSolids(), db.SuspendedSolids());
  EXPECT_EQ(da.MassRatioOM(), db.MassRatioOM());
  EXPECT_EQ(da.Macrophytes(), db.Macrophytes());
  EXPECT_EQ(a.Metrics().BottomWidth(), b.Metrics().BottomWidth());
  EXPECT_EQ(a.Metrics().SideSlope(), b.Metrics().SideSlope());
  EXPECT_EQ(a.Metrics().WaterDepth(), b.Metrics().WaterDepth());

  const fe::TSediment &sa = a.Sediment(), &sb = b.Sediment();
  ASSERT_EQ(sa.NodeCount(), sb.NodeCount());
  ASSERT_EQ(sa.EndBufferNodeCount(), sb.EndBufferNodeCount());
  auto sameLayer = [](const fe::TSedimentNode& x, const fe::TSedimentNode& y, bool buffer) {
    EXPECT_DOUBLE_EQ(x.Length(), y.Length());
    EXPECT_DOUBLE_EQ(x.InitialConcentration(), y.InitialConcentration());
    if (buffer) return;  // only thickness and concentration are written for the buffer
    EXPECT_DOUBLE_EQ(x.BulkDensity(), y.BulkDensity());
    EXPECT_DOUBLE_EQ(x.Porosity(), y.Porosity());
    EXPECT_DOUBLE_EQ(x.Tortuosity(), y.Tortuosity());
    EXPECT_DOUBLE_EQ(x.OrganicMatter(), y.OrganicMatter());
  };
  for (int i = 1; i <= sa.NodeCount(); ++i) sameLayer(sa.Node(i), sb.Node(i), false);
  for (int i = 1; i <= sa.EndBufferNodeCount(); ++i)
    sameLayer(sa.EndBufferNode(i), sb.EndBufferNode(i), true);
  EXPECT_EQ(sa.SedimentLength(), sb.SedimentLength());
  EXPECT_EQ(sa.EndBufferLength(), sb.EndBufferLength());
  EXPECT_EQ(sa.DispersionLength(), sb.DispersionLength());
  EXPECT_EQ(sa.Timestep(), sb.Timestep());

  const fe::THydrology &ha = a.Hydrology(), &hb = b.Hydrology();
  EXPECT_EQ(ha.FlowVelocity(), hb.FlowVelocity());
  EXPECT_EQ(ha.WaterHeight(), hb.WaterHeight());
  EXPECT_EQ(ha.DispersionCoefficient(), hb.DispersionCoefficient());
  EXPECT_DOUBLE_EQ(ha.Seepage(), hb.Seepage());
  EXPECT_EQ(ha.IncomingConcentration(), hb.IncomingConcentration());
  EXPECT_DOUBLE_EQ(ha.Temperature(), hb.Temperature());

  const fe::TSolids &ua = a.Solids(), &ub = b.Solids();
  for (auto get : {&fe::TSolids::HalfLifeWater, &fe::TSolids::HalfLifeSediment,
                   &fe::TSolids::ActivationEnergy, &fe::TSolids::SorptionSuspendedSolids,
                   &fe::TSolids::ConcentrationSuspendedSolids,
                   &fe::TSolids::FreundlichSuspendedSolids, &fe::TSolids::SorptionMacrophytes,
                   &fe::TSolids::MolecularMass, &fe::TSolids::TransportCoefficientLiquid,
                   &fe::TSolids::TransportCoefficientGas, &fe::TSolids::SaturatedVapourPressure,
                   &fe::TSolids::VapourPressureTemperature, &fe::TSolids::EnthalpyVaporisation,
                   &fe::TSolids::Solubility, &fe::TSolids::SolubilityTemperature,
                   &fe::TSolids::EnthalpyDissolution, &fe::TSolids::DiffusionCoefficient,
                   &fe::TSolids::SorptionSediment, &fe::TSolids::ConcentrationSediment,
                   &fe::TSolids::FreundlichSediment, &fe::TSolids::BackgroundConcentration})
    EXPECT_DOUBLE_EQ((ua.*get)(), (ub.*get)());

  const fe::TDriftLoadings &la = a.Drift().Loadings(), &lb = b.Drift().Loadings();
  EXPECT_EQ(a.Drift().Enabled(), b.Drift().Enabled());
  ASSERT_EQ(la.Count(), lb.Count());
  for (int k = 0; k < la.Count(); ++k) {
    EXPECT_EQ(la.Entry(k).EntryTime(), lb.Entry(k).EntryTime());
    EXPECT_EQ(la.Entry(k).Mass(), lb.Entry(k).Mass());
    EXPECT_EQ(la.Entry(k).StartPos(), lb.Entry(k).StartPos());
    EXPECT_EQ(la.Entry(k).EndPos(), lb.Entry(k).EndPos());
  }
  EXPECT_EQ(a.TotalTime(), b.TotalTime());
  EXPECT_EQ(a.KTop(), b.KTop());
  EXPECT_EQ(a.OutputTimestep(), b.OutputTimestep());
}

std::string ScenarioBytes(EditorFixture& f, const std::string& scenario) {
  std::string all;
  for (const std::string& name : ScenarioFiles())
    all += readFile(f.scenarioDir(scenario) + "/" + name);
  return all;
}

TEST(EditorRoundTrip, VariedModelReadsBackAndWritesTheSameBytes) {
  EditorFixture f;
  MakeVaried(f.data(), f.ed().Settings());
  f.save("Varied", "VariedP");
  const std::string scenarioBytes = ScenarioBytes(f, "Varied");
  const std::string pesticideBytes = readFile(f.pesticideDir("VariedP") + "/SU.INP");

  // A second editor over the same root, starting from the defaults.
  EditorFixture g;
  fe::TKirmelEditor::TEnvironment env;
  env.Root = f.root.str();
  env.DecimalSeparator = '.';
  env.Date = [] { return std::string(kTestDate); };
  fe::TKirmelEditor other(std::move(env));
  ASSERT_TRUE(other.LoadScenario("Varied"));
  ASSERT_TRUE(other.LoadPesticide("VariedP"));
  ExpectSameModel(f.data(), other.Data());
  EXPECT_TRUE(other.Settings().op_icwb && other.Settings().op_wlmbnodenr &&
              other.Settings().op_dbdit);
  EXPECT_FALSE(other.Settings().op_input || other.Settings().op_ecnodenr);
  EXPECT_EQ(other.Data().ScenarioName(), "DefaultScenario");  // the caller names it

  other.Data().SetScenarioName("Varied");
  other.Data().SetPesticideName("VariedP");
  other.SaveScenario();
  other.SavePesticide();
  EXPECT_EQ(ScenarioBytes(f, "Varied"), scenarioBytes);
  EXPECT_EQ(readFile(f.pesticideDir("VariedP") + "/SU.INP"), pesticideBytes);
}

// The file holds these in other units; their bounds lie just outside round
// values, and a value at a bound must load again exactly.
TEST(EditorRoundTrip, ConvertedValuesAtTheBoundsOfTheirRanges) {
  EditorFixture f;
  const struct {
    void (fe::TSolids::*set)(double);
    double (fe::TSolids::*get)() const;
    double bounds[2];
  } values[] = {
      {&fe::TSolids::SetConcentrationSuspendedSolids, &fe::TSolids::ConcentrationSuspendedSolids,
       {0.000999999999, 100.000001}},
      {&fe::TSolids::SetConcentrationSediment, &fe::TSolids::ConcentrationSediment,
       {0.000999999999, 100.000001}},
      {&fe::TSolids::SetSolubility, &fe::TSolids::Solubility, {0.000000000999999999, 2000.000001}},
  };
  for (int b = 0; b < 2; ++b) {
    for (const auto& v : values) (f.data().Solids().*v.set)(v.bounds[b]);
    f.save("S", "P");
    for (const auto& v : values) (f.data().Solids().*v.set)(1);
    ASSERT_TRUE(f.ed().LoadPesticide("P"));
    for (const auto& v : values) EXPECT_EQ((f.data().Solids().*v.get)(), v.bounds[b]);
  }
}

TEST(EditorRoundTrip, DocumentedDifferences) {
  EditorFixture f;
  fe::TDitch& ditch = f.data().Ditch();
  ditch.SetPlotLength(50);
  f.data().Sediment().Timestep().SetTime(0, 0, 5, 0);
  f.ed().Settings().ExecDir = "/elsewhere";
  f.ed().Settings().OutputOptions.WriteDate = false;
  f.save("S", "P");
  ASSERT_TRUE(f.ed().LoadScenario("S"));
  EXPECT_EQ(f.data().Ditch().PlotLength(), 999);  // leplot is a constant
  EXPECT_EQ(f.data().Sediment().Timestep(), fe::TTimestep(0, 0, 10, 0));  // deltwb = deltwl
  EXPECT_EQ(f.ed().Settings().ExecDir, fe::TSettings(f.root.str()).ExecDir);
  EXPECT_EQ(f.ed().Settings().RunDir, f.root.str() + "/RUNS/DefaultScenario+DefaultPesticide");
  EXPECT_TRUE(f.ed().Settings().OutputOptions.WriteDate);  // header options back to defaults
}

// The all-or-nothing cases: a model and names that must survive a failed load.
struct KeepFixture : EditorFixture {
  std::string before;
  KeepFixture() {
    // "Bad" is a varied scenario on disk; the model in memory is the default
    // one under its own names.
    MakeVaried(data(), ed().Settings());
    save("Bad", "BadP");
    editor = std::make_unique<fe::TKirmelEditor>([this] {
      fe::TKirmelEditor::TEnvironment env;
      env.Root = root.str();
      env.DecimalSeparator = '.';
      env.Date = [] { return std::string(kTestDate); };
      env.Messages = [this](const std::string& m) { messages.push_back(m); };
      return env;
    }());
    data().SetScenarioName("Keep");
    data().SetPesticideName("KeepP");
    data().Solids().SetBackgroundConcentration(0.75);
    ed().Settings().op_input = true;
    before = snapshot();
  }
  // The whole model as the files show it, plus what the files do not carry.
  std::string snapshot() {
    fs::create_directories(scenarioDir("Snap"));
    fs::create_directories(pesticideDir("Snap"));
    std::string s = data().ScenarioName(), p = data().PesticideName();
    data().SetScenarioName("Snap");
    data().SetPesticideName("Snap");
    ed().SaveScenario();
    ed().SavePesticide();
    data().SetScenarioName(s);
    data().SetPesticideName(p);
    return s + "|" + p + "|" + ScenarioBytes(*this, "Snap") +
           readFile(pesticideDir("Snap") + "/SU.INP") +
           std::to_string(data().Ditch().PlotLength());
  }
  void edit(const std::string& file, const std::string& from, const std::string& to) {
    const std::string path = scenarioDir("Bad") + "/" + file;
    std::string text = readFile(path);
    std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
};

TEST(EditorAllOrNothing, MissingFile) {
  KeepFixture f;
  fs::remove(f.scenarioDir("Bad") + "/SL.INP");
  EXPECT_FALSE(f.ed().LoadScenario("Bad"));
  ASSERT_EQ(f.messages.size(), 1u);
  EXPECT_EQ(f.messages[0], "Cannot open file \"" + f.scenarioDir("Bad") + "/SL.INP\"");
  EXPECT_EQ(f.snapshot(), f.before);
  EXPECT_FALSE(f.ed().LoadPesticide("Nothing"));
  EXPECT_EQ(f.snapshot(), f.before);
}

// A token that does not convert, and a line that runs on past the 65536
// characters the kernel reads of a line (refused when it is seen, not read
// whole), name their file; a line of 65536 characters is read.
TEST(EditorAllOrNothing, BadToken) {
  KeepFixture f;
  f.edit("HY.INP", "te = 290.5", "te = 29O.5");
  try {
    f.ed().LoadScenario("Bad");
    FAIL() << "no exception";
  } catch (const fe::EIllegalValue& e) {
    EXPECT_EQ(std::string(e.what()),
              f.scenarioDir("Bad") + "/HY.INP: Illegal floating-point value: \"29O.5\"");
  }
  EXPECT_EQ(f.snapshot(), f.before);
  EXPECT_FALSE(f.ed().InputParser().FileOpen());

  // The line that starts with `statement`, filled with blanks to `length`
  // characters; its number.
  auto pad = [&](const std::string& file, const std::string& statement, std::size_t length) {
    const std::string path = f.scenarioDir("Bad") + "/" + file;
    std::string text = readFile(path);
    const std::size_t at = text.find("\n" + statement) + 1;
    std::size_t end = text.find("\r\n", at);
    while (text[end - 1] == ' ') text.erase(--end, 1);
    text.insert(end, length - (end - at), ' ');
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return std::count(text.begin(), text.begin() + static_cast<long>(at), '\n') + 1;
  };
  f.edit("HY.INP", "te = 29O.5", "te = 290.5");
  pad("WLNU.INP", "  xdit =", 65536);
  const long line = pad("WLPA.INP", "  sisl =", 65537);
  try {
    f.ed().LoadScenario("Bad");
    FAIL() << "no exception";
  } catch (const fe::EIllegalValue& e) {
    EXPECT_EQ(std::string(e.what()),
              f.scenarioDir("Bad") + "/WLPA.INP, line " + std::to_string(line) +
                  ": the line is longer than the 65536 characters a line of this file can hold");
  }
  EXPECT_EQ(f.snapshot(), f.before);
  EXPECT_FALSE(f.ed().InputParser().FileOpen());
  pad("WLPA.INP", "  sisl =", 65536);
  EXPECT_TRUE(f.ed().LoadScenario("Bad"));
}

TEST(EditorAllOrNothing, ShortListsAndTables) {
  const std::pair<std::string, std::string> cases[] = {
      {"WLST.INP", "Missing initial concentration in "},
      {"WBPA.INP", "Missing porosity in "},
      {"SL.INP", "Missing start location in "},
  };
  for (const auto& [file, message] : cases) {
    SCOPED_TRACE(file);
    KeepFixture f;
    const std::string path = f.scenarioDir("Bad") + "/" + file;
    std::string text = readFile(path);
    // Cut the file after the first value of its last list or table row.
    std::size_t cut = file == "WLST.INP" ? text.find("0.0125") + 6
                      : file == "WBPA.INP" ? text.rfind("  400.") + 6
                                           : text.find("0.02 ") + 5;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text.substr(0, cut);
    EXPECT_FALSE(f.ed().LoadScenario("Bad"));
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0], message + path);
    EXPECT_EQ(f.snapshot(), f.before);
  }
}

TEST(EditorAllOrNothing, ValuesTheModelRefusesAfterReading) {
  // ktop, the output step and the background concentration are put into the
  // model last; a refused one must not leave new parts behind.
  const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
      {"OPOUT.INP", "ktop = 3 ", "ktop = 500 ", "Number of top segments must lie between 1 and 200"},
      {"OPOUT.INP", "deltout = 0.25 ", "deltout = 30. ", "Timestep for output must lie between 0.001 and 25"},
      {"WLST.INP", "coair = 0.5 ", "coair = 5. ", "Background concentration must lie between 0 and 1"},
      {"HY.INP", "wdh = 0.45 ", "wdh = 9. ", "Constant water height must lie between 0.01 and 2"},
  };
  for (const auto& [file, from, to, message] : cases) {
    SCOPED_TRACE(to);
    KeepFixture f;
    f.edit(file, from, to);
    try {
      f.ed().LoadScenario("Bad");
      ADD_FAILURE() << "no exception";
    } catch (const fe::EOutOfRange& e) {
      // The setter's message, preceded by the file the value came from.
      EXPECT_EQ(std::string(e.what()), f.scenarioDir("Bad") + "/" + file + ": " + message);
    }
    EXPECT_EQ(f.snapshot(), f.before);
  }
}

TEST(EditorAllOrNothing, StructuralErrors) {
  const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
      {"HY.INP", "  colot =", "  colour =", "Unknown variable colour in "},
      {"WLPA.INP", "  dwmp = 12.", "  dwmp =", "Missing value in "},
      {"HY.INP", "  colot =", "  co\x1b[2Jlot =", "Unknown variable co\\x1B[2Jlot in "},
  };
  for (const auto& [file, from, to, message] : cases) {
    SCOPED_TRACE(to);
    KeepFixture f;
    const std::string path = f.scenarioDir("Bad") + "/" + file;
    std::string text = readFile(path);
    if (to == "  dwmp =") text = text.substr(0, text.find(from)) + to + "\r\n";
    else text.replace(text.find(from), from.size(), to);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    EXPECT_FALSE(f.ed().LoadScenario("Bad"));
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0], message + path);
    EXPECT_EQ(f.snapshot(), f.before);
  }
}

TEST(EditorReader, DriftListIsNeverLeftEmpty) {
  EditorFixture f;
  f.data().Ditch().SetLength(200);
  f.save("S", "P");
  const std::string path = f.scenarioDir("S") + "/SL.INP";
  std::string text = readFile(path);
  text.replace(text.find("ntslus = 1"), 10, "ntslus = 0");
  std::size_t row = text.find("        0.              0.001");
  text.erase(row, text.find("\r\n", row) + 2 - row);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  ASSERT_TRUE(f.ed().LoadScenario("S"));
  ASSERT_EQ(f.data().Drift().Loadings().Count(), 1);
  const fe::TDriftEntry& entry = f.data().Drift().Loadings().Entry(0);
  EXPECT_EQ(entry.EntryTime(), 0);
  EXPECT_EQ(entry.Mass(), 0.001);
  EXPECT_EQ(entry.StartPos(), 20);
  EXPECT_EQ(entry.EndPos(), 200);
}

TEST(EditorReader, PesticideKeepsTheScenarioBackground) {
  EditorFixture f;
  f.data().Solids().SetHalfLifeWater(5);
  f.save("S", "P");
  f.data().Solids().SetHalfLifeWater(9);
  f.data().Solids().SetBackgroundConcentration(0.3);
  ASSERT_TRUE(f.ed().LoadPesticide("P"));
  EXPECT_EQ(f.data().Solids().HalfLifeWater(), 5);
  EXPECT_EQ(f.data().Solids().BackgroundConcentration(), 0.3);
}

TEST(EditorReader, SingleFileRules) {
  EditorFixture f;
  fe::TKirmelEditor& ed = f.ed();
  // An empty file lacks every key: refused, the object untouched.
  fe::THydrology hy;
  hy.SetTemperature(3);
  EXPECT_FALSE(ed.ReadHY(f.root.write("empty.INP", ""), hy));
  EXPECT_EQ(f.messages.back(), "Missing variable u in " + f.root.file("empty.INP"));
  EXPECT_EQ(hy.Temperature(), 3);

  // OPOUT.INP: an equals sign written against the name.  Segment 1 is not
  // flagged beforehand, so that the file must flag it.
  fe::TDitch ditch;
  ditch.Node(1).SetOutput(false);
  ditch.Node(80).SetOutput(false);
  fe::TSettings settings(f.root.str());
  double deltout = 0;
  std::optional<int> ktop;
  const std::string switches =
      "op_input = 0\nop_icwlhy = 0\nop_icwb = 0\nop_wlmb = 0\nop_wlmbnodenr = 0\n"
      "op_wbsconodenr = 0\nop_wbmbnodenr = 0\nop_wbmball = 0\nop_dbnodenr = 0\nop_ecnodenr = 0\n"
      "deltout = 0.5\n";
  EXPECT_TRUE(ed.ReadOPOUT(
      f.root.write("o.INP", switches + "nwbsy= 3\niwbsy= 1 3 7.5\nktop = 2.5\nop_dbdit = 1\n"),
      ditch, deltout, ktop, settings));
  EXPECT_TRUE(ditch.Node(1).Output());
  EXPECT_TRUE(ditch.Node(3).Output());
  EXPECT_TRUE(ditch.Node(8).Output());  // 7.5 rounds to the even 8
  EXPECT_EQ(ktop, 2);
  EXPECT_TRUE(settings.op_dbdit);
  // Without selected segments there is no iwbsy; without ktop it is refused.
  EXPECT_TRUE(ed.ReadOPOUT(f.root.write("o.INP", switches + "nwbsy = 0\nktop = 1\nop_dbdit = 1\n"),
                           ditch, deltout, ktop, settings));
  EXPECT_FALSE(ed.ReadOPOUT(f.root.write("o.INP", switches + "nwbsy = 0\nop_dbdit = 1\n"), ditch,
                            deltout, ktop, settings));
  EXPECT_EQ(f.messages.back(), "Missing variable ktop in " + f.root.file("o.INP"));

  // SL.INP: nothing from ntslud on is read.
  fe::TDrift drift;
  EXPECT_TRUE(ed.ReadSL(f.root.write("s.INP",
                                     "op_slus = 0\nop_slud = 0\nop_slur = 0\nop_slmd = 0\n"
                                     "op_slmr = 0\nntslus = 0\ntslus mslus stxslus enxslus\n"
                                     "ntslud = 3\n garbage here !\n"),
                        drift));
  EXPECT_FALSE(drift.Enabled());

  // A name and its equals sign at the end of the file.
  EXPECT_FALSE(ed.ReadHY(f.root.write("h.INP", "u = 5.\nwdh =\n"), hy));
  EXPECT_EQ(f.messages.back(), "Missing value in " + f.root.file("h.INP"));
  EXPECT_EQ(hy.FlowVelocity(), 5);
}

TEST(EditorReader, CommaSystemAndCaseOfNamesOnDisk) {
  EditorFixture f(',');
  MakeVaried(f.data(), f.ed().Settings());
  f.save("S", "P");
  fs::rename(f.scenarioDir("S"), f.ed().Settings().ScenariosDir() + "/s");
  fs::rename(f.ed().Settings().ScenariosDir() + "/s/HY.INP", f.ed().Settings().ScenariosDir() + "/s/hy.inp");
  f.data().Hydrology().SetTemperature(0);
  ASSERT_TRUE(f.ed().LoadScenario("S"));
  EXPECT_DOUBLE_EQ(f.data().Hydrology().Temperature(), 17.5);
  EXPECT_EQ(f.data().Ditch().NodeCount(), 7);
}

// The default water body flags its first and its last segment for output
// (1 and 80 of 80); both must come back, the last as well as any other.
TEST(EditorRoundTrip, OutputFlagsOfTheFirstAndTheLastSegment) {
  EditorFixture f;
  ASSERT_EQ(f.data().Ditch().NodeCount(), 80);
  ASSERT_TRUE(f.data().Ditch().Node(1).Output() && f.data().Ditch().Node(80).Output());
  f.save("S", "P");
  f.data().Ditch().Node(1).SetOutput(false);
  f.data().Ditch().Node(80).SetOutput(false);
  ASSERT_TRUE(f.ed().LoadScenario("S"));
  for (int i = 1; i <= 80; ++i) EXPECT_EQ(f.data().Ditch().Node(i).Output(), i == 1 || i == 80) << i;
}

// The lines of a file that begin a statement (a name and "=", or the first
// column name of a table), with their offsets.
std::vector<std::pair<std::size_t, std::string>> Statements(const std::string& text) {
  std::vector<std::pair<std::size_t, std::string>> out;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    const std::size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos && std::isalpha(static_cast<unsigned char>(line[first])) &&
        line[0] != '*')
      out.emplace_back(at, line.substr(first, line.find_first_of(" =", first) - first));
    at = end + 2;
  }
  return out;
}

// Files cut short anywhere before a key are refused, naming the key: every
// key the writer writes is needed, and the reader needs no other.
TEST(EditorDamagedFiles, EveryKeyTheWriterWritesIsNeeded) {
  for (int model = 0; model < 2; ++model) {
    SCOPED_TRACE(model == 0 ? "default model" : "varied model");
    EditorFixture f;
    if (model == 1) MakeVaried(f.data(), f.ed().Settings());
    f.save("S", "P");
    std::vector<std::string> paths;
    for (const std::string& file : ScenarioFiles()) paths.push_back(f.scenarioDir("S") + "/" + file);
    paths.push_back(f.pesticideDir("P") + "/SU.INP");
    for (const std::string& path : paths) {
      const std::string text = readFile(path);
      const auto statements = Statements(text);
      EXPECT_GE(statements.size(), 1u) << path;
      for (const auto& [at, key] : statements) {
        SCOPED_TRACE(path + " cut before " + key);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text.substr(0, at);
        f.messages.clear();
        const bool pesticide = path.ends_with("SU.INP");
        EXPECT_FALSE(pesticide ? f.ed().LoadPesticide("P") : f.ed().LoadScenario("S"));
        EXPECT_EQ(f.messages, std::vector<std::string>{"Missing variable " + key + " in " + path});
      }
      std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    EXPECT_TRUE(f.ed().LoadScenario("S"));
    EXPECT_TRUE(f.ed().LoadPesticide("P"));
  }
}

// An empty or half SU.INP or WLNU.INP (cut at a line end) is refused with
// the file and its first missing key; the model, names included, stays.
TEST(EditorDamagedFiles, EmptyAndCutShortFilesAreRefusedAndChangeNothing) {
  for (const std::string file : {"SU.INP", "WLNU.INP"}) {
    for (const bool empty : {true, false}) {
      SCOPED_TRACE(file + (empty ? " empty" : " cut"));
      KeepFixture f;
      const bool pesticide = file == "SU.INP";
      const std::string path =
          (pesticide ? f.pesticideDir("BadP") : f.scenarioDir("Bad")) + "/" + file;
      const std::string text = readFile(path);
      const std::string kept = empty ? "" : text.substr(0, text.find("\r\n", text.size() / 2) + 2);
      std::string key;
      for (const auto& [at, name] : Statements(text)) {
        if (at >= kept.size()) {
          key = name;
          break;
        }
      }
      EXPECT_EQ(key, empty ? (pesticide ? "dt50wl" : "betawl")
                           : (pesticide ? "kga" : "xfb"));
      std::ofstream(path, std::ios::binary | std::ios::trunc) << kept;
      EXPECT_FALSE(pesticide ? f.ed().LoadPesticide("BadP") : f.ed().LoadScenario("Bad"));
      EXPECT_EQ(f.messages, std::vector<std::string>{"Missing variable " + key + " in " + path});
      EXPECT_EQ(f.snapshot(), f.before);
    }
  }
}

}  // namespace
}  // namespace kirmel::test
