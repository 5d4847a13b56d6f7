#include "frontend/editor/RunCheck.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <system_error>

#include "frontend/editor/Directories.h"
#include "frontend/editor/Run.h"
#include "frontend/model/Numbers.h"

namespace kirmel::fe {
namespace {

class TLimitCheck {
 public:
  explicit TLimitCheck(char separator) : separator_(separator) {}

  std::string Number(double value) const { return FormatGeneral(value, separator_); }

  // "<label> is <value> <unit>; KIRMEL accepts <min> to <max> <unit>."
  void Range(const std::string& label, double value, double min, double max,
             const std::string& unit = "") {
    if (!problem_.empty() || (value >= min && value <= max)) return;
    const std::string u = unit.empty() ? "" : " " + unit;
    problem_ = label + " is " + Number(value) + u + "; KIRMEL accepts " + Number(min) + " to " +
               Number(max) + u + ".";
  }

  // A half-life: 0 makes the transformation rate infinite.
  void HalfLife(const std::string& label, double value) {
    if (!problem_.empty() || value > 0) return;
    problem_ = label + " is " + Number(value) + " d; KIRMEL accepts values above 0 d.";
  }

  void Fail(std::string message) {
    if (problem_.empty()) problem_ = std::move(message);
  }

  const std::string& Problem() const { return problem_; }

 private:
  char separator_;
  std::string problem_;
};

// The time step in which the kernel applies a drift entry.  The kernel reads
// the entry time in days and the time step in seconds as single-precision
// numbers, takes the time in seconds and moves it to the nearest multiple of
// the step, half a step rounding up; a time less than 0.5 s after a multiple
// goes to that multiple.  The same arithmetic here, so that an entry half a
// step from a step lands where the kernel puts it.
long long KernelEntryStep(double days, double step) {
  const float dt = static_cast<float>(step);
  const float t = static_cast<float>(days) * 86400.0f;
  // A step below 1 s (only a hand-edited file has one) snaps nothing.
  if (!(dt >= 1.0f) || !(t / dt < 2.0e9f)) return static_cast<long long>(t);
  const float whole = std::trunc(t / dt);
  const float r = t - dt * whole;
  long long steps = static_cast<long long>(whole);
  if (r >= 0.5f && !(r < dt / 2.0f)) ++steps;
  return steps;
}

std::string PathCharacterProblem(const std::string& path) {
  for (unsigned char c : path)
    if (c < 32 || c == 127 || c == '\'')
      return "The path \"" + path +
             "\" contains a single quote or a control character and cannot be written into "
             "the names file.";
  return {};
}

}  // namespace

std::string KernelLimitProblem(const TKirmelData& data, char decimalSeparator) {
  TLimitCheck check(decimalSeparator);
  const TDitch& ditch = data.Ditch();
  const TSediment& sediment = data.Sediment();
  const TSolids& solids = data.Solids();

  // Waterbody page: the sediment segments.
  check.Range("Number of sediment segments", sediment.NodeCount(), 1, 50);
  for (int i = 1; i <= sediment.NodeCount(); ++i)
    check.Range("Thickness of sediment segment " + IntToStr(i), sediment.Node(i).Length(),
                0.0001, 0.5, "m");

  // Simulation page: output interval and output segments.
  const double step = ditch.Timestep().AsSeconds();
  if (data.OutputTimestep() * 86400 < step * (1 - 1e-9))
    check.Fail("Time interval of output is " + check.Number(data.OutputTimestep()) +
               " d; KIRMEL accepts " + check.Number(step / 86400) + " to " + check.Number(25) +
               " d (at least the calculation time step of " + check.Number(step) + " s).");
  check.Range("Number of output segments", ditch.OutputNodeCount(), 1, 9);
  for (int i = 1; i <= ditch.NodeCount(); ++i)
    if (ditch.Node(i).Output()) check.Range("Output segment", i, 1, 200);

  // Pesticide pages.
  check.HalfLife("Half-life for transformation in water at 20 \u00baC", solids.HalfLifeWater());
  check.HalfLife("Half-life for transformation in sediment at 20 \u00baC",
                 solids.HalfLifeSediment());
  check.Range("Molecular mass", solids.MolecularMass(), 10, 1000, "g/mol");
  check.Range("Diffusion coefficient in water", solids.DiffusionCoefficient(), 1, 100,
              "mm\u00b2/d");

  // Loading page: one drift entry per time step.
  const TDrift& drift = data.Drift();
  if (drift.Enabled()) {
    const TDriftLoadings& loadings = drift.Loadings();
    for (int a = 0; a < loadings.Count() && check.Problem().empty(); ++a)
      for (int b = a + 1; b < loadings.Count(); ++b) {
        const double ta = loadings.Entry(a).EntryTime();
        const double tb = loadings.Entry(b).EntryTime();
        if (KernelEntryStep(ta, step) != KernelEntryStep(tb, step)) continue;
        const std::string which =
            "Drift entries " + IntToStr(a + 1) + " and " + IntToStr(b + 1);
        if (ta == tb)
          check.Fail(which + " both enter at " + check.Number(ta) +
                     " d; KIRMEL accepts one drift entry per time step.");
        else
          check.Fail(which + " enter at " + check.Number(ta) + " d and " + check.Number(tb) +
                     " d, in one calculation time step of " + check.Number(step) +
                     " s; KIRMEL accepts one drift entry per time step.");
        break;
      }
  }

  check.Range("Background concentration in air", solids.BackgroundConcentration(), 0, 0,
              "g/m\u00b3");
  return check.Problem();
}

std::string RunProblem(const TKirmelEditor& editor, bool needKernel) {
  const TKirmelData& data = editor.Data();
  if (std::string p = NameProblem(data.ScenarioName(), "scenario"); !p.empty()) return p;
  if (std::string p = NameProblem(data.PesticideName(), "pesticide"); !p.empty()) return p;
  if (std::string p = KernelLimitProblem(data, editor.DecimalSeparator()); !p.empty()) return p;

  std::vector<std::string> paths;
  for (const TKirmelEditor::TInputFile& file : editor.InputFiles()) paths.push_back(file.Path);
  paths.push_back(editor.FilesInpPath());
  for (const std::string& path : paths)
    if (std::string p = PathCharacterProblem(path); !p.empty()) return p;

  if (needKernel) return KernelProblem(KernelPath(editor.Settings()));
  return {};
}

std::string KernelProblem(const std::string& kernel) {
  if (std::string p = ScriptTextProblem(kernel, "kernel path"); !p.empty()) return p;
  // A folder of that name passes the access test but cannot be run.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(kernel, ec) || ::access(kernel.c_str(), X_OK) != 0)
    return "The kernel program \"" + kernel + "\" was not found or cannot be executed.";
  return {};
}

}  // namespace kirmel::fe
