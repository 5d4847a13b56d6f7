// The checks before a run: values the model takes but the kernel stops on or
// handles otherwise, paths that cannot go into the names file, and the
// kernel program itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "EditorTestSupport.h"
#include "frontend/editor/RunCheck.h"
#include "frontend/model/KirExcpt.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<fe::TSedimentNode> Layer(double thickness) {
  return std::make_unique<fe::TSedimentNode>(thickness, 0, 800, 0.6, 0.6, 0.09);
}

std::string Limits(EditorFixture& f) { return fe::KernelLimitProblem(f.data(), '.'); }

TEST(RunCheck, SedimentLayersWithinTheKernelsLimits) {
  EditorFixture f;
  EXPECT_EQ(Limits(f), "");
  fe::TSediment& sediment = f.data().Sediment();
  ASSERT_EQ(sediment.NodeCount(), 14);
  // Every layer is checked, the last one too.
  sediment.Node(14).SetLength(0.55);
  EXPECT_EQ(Limits(f),
            "Thickness of sediment segment 14 is 0.55 m; KIRMEL accepts 0.0001 to 0.5 m.");
  sediment.Node(14).SetLength(0.5);
  EXPECT_EQ(Limits(f), "");

  // 1 to 50 layers: none is refused, 50 pass, and the model takes no 51st.
  sediment.ClearNodes();
  EXPECT_EQ(Limits(f), "Number of sediment segments is 0; KIRMEL accepts 1 to 50.");
  for (int i = 0; i < 50; ++i) sediment.AddNode(Layer(0.002));
  EXPECT_EQ(Limits(f), "");
  EXPECT_THROW(sediment.AddNode(Layer(0.002)), fe::EOutOfRange);
  EXPECT_EQ(sediment.NodeCount(), 50);
}

TEST(RunCheck, OutputIntervalOfAtLeastOneCalculationStep) {
  EditorFixture f;
  fe::TKirmelData& data = f.data();
  data.Ditch().Timestep().SetTime(0, 0, 0, 600);
  data.SetOutputTimestep(0.01);  // 864 s
  EXPECT_EQ(Limits(f), "");
  data.SetOutputTimestep(600.0 / 86400);  // one step
  EXPECT_EQ(Limits(f), "");
  data.SetOutputTimestep(0.005);  // 432 s
  EXPECT_EQ(Limits(f),
            "Time interval of output is 0.005 d; KIRMEL accepts 0.00694444444444444 to 25 d (at "
            "least the calculation time step of 600 s).");
  EXPECT_EQ(fe::KernelLimitProblem(data, ','),
            "Time interval of output is 0,005 d; KIRMEL accepts 0,00694444444444444 to 25 d (at "
            "least the calculation time step of 600 s).");
  data.Ditch().Timestep().SetTime(0, 0, 0, 300);
  EXPECT_EQ(Limits(f), "");
}

// The kernel applies one drift entry per time step: an entry time moves to
// the nearest step, half a step rounding up, as the kernel computes it in
// single precision.
TEST(RunCheck, DriftEntriesInOneTimeStep) {
  EditorFixture f;
  fe::TKirmelData& data = f.data();
  auto entries = [&](double step, std::initializer_list<double> days) {
    data.Ditch().Timestep().SetTime(0, 0, 0, step);
    fe::TDriftLoadings& loadings = data.Drift().Loadings();
    loadings.Clear();
    for (double d : days) {
      auto entry = std::make_unique<fe::TDriftEntry>();
      entry->SetEntryTime(d);
      loadings.Add(std::move(entry));
    }
    return Limits(f);
  };
  const std::string oneStep = "; KIRMEL accepts one drift entry per time step.";

  // Twelve-hour steps: 0.25 d is half a step and goes to 0.5 d, 0.75 d to 1 d.
  EXPECT_EQ(entries(43200, {0, 0.25}), "");
  EXPECT_EQ(entries(43200, {0.5, 0.75}), "");
  EXPECT_EQ(entries(43200, {0.25, 0.5}),
            "Drift entries 1 and 2 enter at 0.25 d and 0.5 d, in one calculation time step of "
            "43200 s" + oneStep);
  EXPECT_EQ(entries(43200, {0.1, 2, 0.2}),
            "Drift entries 1 and 3 enter at 0.1 d and 0.2 d, in one calculation time step of "
            "43200 s" + oneStep);
  EXPECT_EQ(entries(43200, {2, 2}), "Drift entries 1 and 2 both enter at 2 d" + oneStep);

  // 600 s steps, times typed to 15 digits: 300 s is half a step as the
  // kernel reads it and goes to 600 s.
  EXPECT_EQ(entries(600, {0, 0.00347222222222222}), "");
  EXPECT_NE(entries(600, {0.00347222222222222, 0.00694444444444444}), "");
  // Less than 0.5 s after a step is that step.
  EXPECT_NE(entries(600, {1, 1.00000462962963}), "");
  EXPECT_EQ(entries(600, {1, 1.005}), "");

  // Without drift the entries are not written.
  entries(600, {2, 2});
  data.Drift().SetEnabled(false);
  EXPECT_EQ(Limits(f), "");
}

TEST(RunCheck, PathsOfTheNamesFileAndTheKernelProgram) {
  // Every path in the names file is written in single quotes: a root with a
  // quote or a control character in it is refused, naming the path.
  for (const char* bad : {"/O'Brien", "/tab\there"}) {
    TempDir base;
    const std::string root = base.str() + bad;
    fe::TKirmelEditor::TEnvironment env;
    env.Root = root;
    env.DecimalSeparator = '.';
    fe::TKirmelEditor editor(std::move(env));
    editor.Data().SetScenarioName("S");
    editor.Data().SetPesticideName("P");
    const std::string problem = fe::RunProblem(editor, false);
    EXPECT_EQ(problem.rfind("The path \"" + root + "/SCENARIOS/S/", 0), 0u) << problem;
    EXPECT_NE(problem.find("\" contains a single quote or a control character and cannot be "
                           "written into the names file."),
              std::string::npos)
        << problem;
  }

  EditorFixture f;
  f.data().SetScenarioName("S");
  f.data().SetPesticideName("P");
  EXPECT_EQ(fe::RunProblem(f.ed(), false), "");
  TempDir exec;
  f.ed().Settings().ExecDir = exec.str();
  const std::string kernel = exec.file("KIRMEL_12");
  const std::string cannot = "The kernel program \"" + kernel + "\" was not found or cannot be executed.";
  EXPECT_EQ(fe::RunProblem(f.ed(), true), cannot);  // missing
  fs::create_directory(kernel);
  EXPECT_EQ(fe::RunProblem(f.ed(), true), cannot);  // a folder
  fs::remove(kernel);
  exec.write("KIRMEL_12", "#!/bin/sh\n");
  fs::permissions(kernel, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
  EXPECT_EQ(fe::RunProblem(f.ed(), true), cannot);  // not executable
  EXPECT_EQ(fe::RunProblem(f.ed(), false), "");      // a save does not need it
  fs::permissions(kernel, fs::perms::owner_exec, fs::perm_options::add);
  EXPECT_EQ(fe::RunProblem(f.ed(), true), "");
}

}  // namespace
}  // namespace kirmel::test
