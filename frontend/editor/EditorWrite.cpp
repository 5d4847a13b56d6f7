// Writing the kernel input files and the names file.
#include <cmath>

#include "frontend/editor/Editor.h"
#include "frontend/model/Numbers.h"
#include "platform/Paths.h"
#include "platform/Version.h"

namespace kirmel::fe {
namespace {

constexpr std::string_view kEol = "\r\n";

std::string PadRight(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string General(double value) { return FormatGeneral(value, '.', 15); }

// The number text before the guarantee of a decimal point or exponent.
std::string RealText(double value) {
  if (std::trunc(value) == value) {
    std::string text = General(value);
    // A whole number too large for fixed notation already has its exponent.
    if (text.find('E') == std::string::npos) text += '.';
    return text;
  }
  if (std::fabs(value) < 0.001) {
    double mantissa = std::fabs(value);
    int exponent = 0;
    // Ends within about 330 steps even for the smallest subnormal.
    while (mantissa < 1) {
      mantissa *= 10;
      --exponent;
    }
    if (value < 0) mantissa = -mantissa;
    return RealText(mantissa) + "E" + IntToStr(exponent);
  }
  return General(value);
}

}  // namespace

std::string TKirmelEditor::FormatReal(double value) {
  std::string text = RealText(value);
  // A value just short of a whole number rounds to one in 15 digits
  // (2009.9999999999998 -> "2010"); the kernel reads such a text as an
  // integer and refuses it where a real is expected.
  if (text.find_first_of(".E") == std::string::npos && std::isfinite(value)) text += '.';
  return text;
}

// ---- The file being written ----

void TKirmelEditor::BeginFile(const std::string& path) {
  outPath_ = image_ ? path : paths::forCreate(path);
  out_.clear();
}

void TKirmelEditor::EndFile() {
  std::string text;
  text.swap(out_);
  if (image_) {
    imageText_ += text;
    return;
  }
  if (folder_) {
    // Part of a scenario or pesticide: into the folder being saved.
    folder_->WriteFile(outPath_.substr(outPath_.find_last_of('/') + 1), text);
    return;
  }
  try {
    files::ReplaceFile(outPath_, text, saveFault_);
  } catch (const files::TSaveError& e) {
    throw EInOutError(e.what());
  }
}

void TKirmelEditor::Line(std::string_view text) {
  out_.append(text);
  out_.append(kEol);
}

// ---- Line primitives ----

void TKirmelEditor::WriteSeparator() {
  if (comments_) Line("*" + std::string(78, '-'));
}

void TKirmelEditor::WriteEndOfFile() {
  const std::string mark = "*----END OF FILE";
  if (comments_) Line(mark + std::string(79 - mark.size(), '-'));
}

void TKirmelEditor::WriteStar() { Line("*"); }

void TKirmelEditor::WriteComment(std::string_view text) { Line("*   " + std::string(text)); }

void TKirmelEditor::WriteExplanation(std::string_view text) {
  if (comments_) WriteComment(text);
}

void TKirmelEditor::WriteSection(int number, std::string_view title) {
  WriteSeparator();
  WriteStar();
  WriteExplanation("Section " + IntToStr(number) + ": " + std::string(title));
  WriteSeparator();
  WriteStar();
}

void TKirmelEditor::WriteHeader(std::string_view contents1, std::string_view contents2) {
  if (image_) return;  // the date and the path are not part of the model
  const TOutputOptions& options = settings_.OutputOptions;
  WriteStar();
  WriteComment("KIRMEL input file");
  if (options.WriteVersions) {
    WriteComment("GUI version: " + Version());
    WriteComment("KIRMEL version: " + version::kernelRelease());
  }
  WriteStar();
  if (options.WriteFileName) WriteComment("Filename: " + outPath_);
  if (options.WriteContents) {
    WriteComment("Contents: " + std::string(contents1));
    if (!contents2.empty()) WriteComment(std::string(10, ' ') + std::string(contents2));
  }
  if (options.WriteDate) WriteComment("Date    : " + (date_ ? date_() : std::string()));
  if (options.WriteAuthor) WriteComment("Author  : " + options.Author);
  if (options.WriteNote && !options.Note.empty()) WriteComment("Note    : " + options.Note);
  WriteStar();
}

void TKirmelEditor::WriteIntegerVariable(std::string_view name, long long value,
                                         std::string_view unit, long long min, long long max) {
  Line("  " + PadRight(std::string(name) + " = " + IntToStr(value), 30) + " ! unit: " +
       PadRight(std::string(unit), 10) + " range: " + IntToStr(min) + " .... " + IntToStr(max));
}

void TKirmelEditor::WriteSwitch(std::string_view name, bool value) {
  WriteIntegerVariable(name, value ? 1 : 0, "-", 0, 1);
}

void TKirmelEditor::WriteRealVariable(std::string_view name, std::string_view unit, double value,
                                      double min, double max) {
  Line("  " + PadRight(std::string(name) + " = " + FormatReal(value), 30) + " ! unit: " +
       PadRight(std::string(unit), 10) + " range: " + FormatReal(min) + " .... " +
       FormatReal(max));
}

void TKirmelEditor::WriteStringVariable(std::string_view name, std::string_view value,
                                        std::string_view description) {
  std::string text = "  " + PadRight(std::string(name) + " = " + std::string(value), 40);
  if (!description.empty()) text += " ! " + std::string(description);
  Line(text);
}

void TKirmelEditor::WriteValueList(std::string_view prefix, const std::vector<double>& values,
                                   int perLine, std::string_view comment) {
  const std::size_t n = values.size();
  const std::size_t step = static_cast<std::size_t>(perLine);
  for (std::size_t first = 0; first < n; first += step) {
    std::string text = first == 0 ? std::string(prefix) : std::string(11, ' ');
    for (std::size_t k = first; k < first + step; ++k)
      text += k < n ? PadLeft(FormatReal(values[k]), 5) + " " : std::string(6, ' ');
    if (first == 0) text += comment;
    Line(text);
  }
}

// ---- Save entries ----

namespace {

// Points the editor's writer at a folder being saved (or at the image text)
// for one save, and back however the save ends.
template <class T>
class TScopedValue {
 public:
  TScopedValue(T& slot, T value) : slot_(slot), old_(slot) { slot_ = value; }
  ~TScopedValue() { slot_ = old_; }
  TScopedValue(const TScopedValue&) = delete;
  TScopedValue& operator=(const TScopedValue&) = delete;

 private:
  T& slot_;
  T old_;
};

// The error of a save of the folder `dir` that failed: why, and what that
// means for the files (a folder that is not there has none).
[[noreturn]] void ThrowSaveFailure(const files::TSaveError& e, const std::string& what,
                                   const std::string& name, const std::string& dir) {
  std::string message = e.what();
  if (!e.InPlace())
    message += "\r" "The " + what + " \"" + name + "\" has not been saved" +
               (paths::exists(dir) ? "; its files are as they were." : ".");
  if (e.WriteProtected()) throw EWriteProtected(message, e.ParentWriteProtected());
  throw EInOutError(message);
}

}  // namespace

void TKirmelEditor::WriteScenarioFiles(const std::string& dir) {
  WriteWLNU(dir + "WLNU.INP");
  WriteWLPA(dir + "WLPA.INP");
  WriteWLST(dir + "WLST.INP");
  WriteWBNU(dir + "WBNU.INP");
  WriteWBPA(dir + "WBPA.INP");
  WriteWBST(dir + "WBST.INP");
  WriteHY(dir + "HY.INP");
  WriteOPOUTFile(dir + "OPOUT.INP");
  WriteSL(dir + "SL.INP");
}

void TKirmelEditor::SaveScenario() {
  SetCommentSwitch();
  const std::string name = data_.ScenarioName();
  const std::string dir = settings_.ScenarioDir(name) + "/";
  try {
    files::TFolderSave folder(settings_.ScenarioDir(name), saveFault_, lockWait_);
    TScopedValue<files::TFolderSave*> target(folder_, &folder);
    WriteScenarioFiles(dir);
    folder.Commit();
  } catch (const files::TSaveError& e) {
    // In place but not confirmed: what is on disk is the model as it is.
    if (e.InPlace()) MarkScenarioUnchanged();
    ThrowSaveFailure(e, "scenario", name, settings_.ScenarioDir(name));
  }
  MarkScenarioUnchanged();
}

void TKirmelEditor::SavePesticide() {
  SetCommentSwitch();
  const std::string name = data_.PesticideName();
  try {
    files::TFolderSave folder(settings_.PesticideDir(name), saveFault_, lockWait_);
    TScopedValue<files::TFolderSave*> target(folder_, &folder);
    WriteSU(settings_.PesticideDir(name) + "/SU.INP");
    folder.Commit();
  } catch (const files::TSaveError& e) {
    if (e.InPlace()) MarkPesticideUnchanged();
    ThrowSaveFailure(e, "pesticide", name, settings_.PesticideDir(name));
  }
  MarkPesticideUnchanged();
}

// ---- Changes ----

std::string TKirmelEditor::ScenarioState(const std::string& name) {
  TScopedValue<bool> image(image_, true);
  TScopedValue<bool> comments(comments_, comments_);
  imageText_ = name;
  imageText_ += '\0';
  SetCommentSwitch();
  WriteScenarioFiles("");
  return std::move(imageText_);
}

std::string TKirmelEditor::PesticideState(const std::string& name) {
  TScopedValue<bool> image(image_, true);
  TScopedValue<bool> comments(comments_, comments_);
  imageText_ = name;
  imageText_ += '\0';
  SetCommentSwitch();
  WriteSU("SU.INP");
  return std::move(imageText_);
}

bool TKirmelEditor::ScenarioChanged() {
  return ScenarioState(data_.ScenarioName()) != scenarioBaseline_;
}

bool TKirmelEditor::PesticideChanged() {
  return PesticideState(data_.PesticideName()) != pesticideBaseline_;
}

void TKirmelEditor::MarkScenarioUnchanged() {
  scenarioBaseline_ = ScenarioState(data_.ScenarioName());
}

void TKirmelEditor::MarkPesticideUnchanged() {
  pesticideBaseline_ = PesticideState(data_.PesticideName());
}

std::vector<TKirmelEditor::TInputFile> TKirmelEditor::InputFiles() const {
  const std::string scenarioDir = settings_.ScenarioDir(data_.ScenarioName()) + "/";
  const std::string pesticideDir = settings_.PesticideDir(data_.PesticideName()) + "/";
  // The names as they are on disk, so that the kernel finds them whatever
  // their case.
  auto file = [](const char* key, const std::string& path, const char* description) {
    return TInputFile{key, paths::forCreate(path), description};
  };
  return {file("opoutinp", scenarioDir + "OPOUT.INP", "Output options"),
          file("wlnuinp", scenarioDir + "WLNU.INP",
               "Numerical solution, time and length waterbody"),
          file("wlpainp", scenarioDir + "WLPA.INP", "Geometry and other characteristics waterbody"),
          file("wlstinp", scenarioDir + "WLST.INP", "Initial concentrations water layer"),
          file("wbnuinp", scenarioDir + "WBNU.INP", "Numerical solution and thickness sediment"),
          file("wbpainp", scenarioDir + "WBPA.INP", "Characteristics sediment"),
          file("wbstinp", scenarioDir + "WBST.INP", "Initial concentrations sediment"),
          file("hyinp", scenarioDir + "HY.INP", "Hydrological characteristics"),
          file("suinp", pesticideDir + "SU.INP", "Substance properties"),
          file("slinp", scenarioDir + "SL.INP", "Substance loadings")};
}

std::string TKirmelEditor::FilesInpPath() const {
  return paths::forCreate(settings_.RunDirOf(data_.ScenarioName(), data_.PesticideName()) +
                          "/FILES.INP");
}

void TKirmelEditor::WriteFilesInp() {
  SetCommentSwitch();
  BeginFile(FilesInpPath());
  WriteHeader("Names of inputfiles for KIRMEL simulation", "");
  WriteSection(1, "Path and names input files");
  // The kernel reads at most 1023 characters of a line: a longer path is
  // written in pieces joined by "//", a piece a line.
  constexpr std::size_t kPiece = 900;
  for (const TInputFile& file : InputFiles()) {
    std::string quoted = "'";
    for (std::size_t at = 0; at < file.Path.size(); at += kPiece) {
      if (at > 0) {
        quoted += "' //";
        quoted += kEol;
        quoted += "   '";
      }
      quoted += file.Path.substr(at, kPiece);
    }
    quoted += '\'';
    WriteStringVariable(file.Key, quoted, file.Description);
  }
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

// ---- The ten kernel input files ----

void TKirmelEditor::WriteWLNU(const std::string& path) {
  const TDitch& ditch = data_.Ditch();
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning numerical solution and",
              "time and length of waterbody considered");
  WriteSection(1, "Numerical weight factors");
  WriteExplanation("numerical weight factor for space");
  WriteRealVariable("betawl", "-", 0.5, 0, 1);
  WriteExplanation("numerical weight factor for time");
  WriteRealVariable("thetawl", "-", 1, 0, 1);
  WriteStar();
  WriteSection(2, "Time parameters");
  WriteExplanation("selected time step for water layer (multiple should equal one day)");
  WriteRealVariable("deltwl", "s", ditch.Timestep().AsSeconds(), 1, 86400);
  WriteExplanation("total time considered (holds also for sediment)");
  WriteRealVariable("ttot", "d", data_.TotalTime().AsDays(), 0.1, 500);
  WriteStar();
  WriteSection(3, "Space parameters");
  WriteExplanation("total length of waterbody considered");
  WriteRealVariable("xdit", "m", ditch.Length(), 0.05, 10000);
  WriteExplanation("length of front buffer (0. if none)");
  WriteRealVariable("xfb", "m", ditch.FrontBufferLength(), 0, 1000);
  WriteExplanation("length of end buffer (0. if none)");
  WriteRealVariable("xeb", "m", ditch.EndBufferLength(), 0, 1000);
  WriteStar();
  WriteSection(4, "Number of segments");
  WriteExplanation("number segments in waterbody");
  WriteIntegerVariable("nxsedit", ditch.NodeCount(), "-", 1, 500);
  WriteExplanation("number segments in front buffer (0 if none)");
  WriteIntegerVariable("nxsefb", ditch.FrontBufferNodeCount(), "-", 0, 25);
  WriteExplanation("number segments in end buffer (0 if none)");
  WriteIntegerVariable("nxseeb", ditch.EndBufferNodeCount(), "-", 0, 25);
  WriteSection(5, "Lengths of segments");

  std::vector<double> lengths;
  WriteExplanation("lengths of segments in front buffer (0. if none)");
  for (int i = 1; i <= ditch.FrontBufferNodeCount(); ++i)
    lengths.push_back(ditch.FrontBufferNode(i).Length());
  if (lengths.empty())
    WriteRealVariable("lesefb", "m", 0, 0, 1000);
  else
    WriteValueList(" lesefb =  ", lengths, 4, "  ! unit: m          range 0. .... 1000.");

  WriteExplanation("lengths of segments in waterbody");
  lengths.clear();
  for (int i = 1; i <= ditch.NodeCount(); ++i) lengths.push_back(ditch.Node(i).Length());
  WriteValueList(" lesedit = ", lengths, 4, "  ! unit: m          range 0.05 .... 1000.");

  WriteExplanation("lengths of segments in end buffer (0. if none)");
  lengths.clear();
  for (int i = 1; i <= ditch.EndBufferNodeCount(); ++i)
    lengths.push_back(ditch.EndBufferNode(i).Length());
  if (lengths.empty())
    WriteRealVariable("leseeb", "m", 0, 0, 1000);
  else
    WriteValueList(" leseeb =  ", lengths, 4, "  ! unit: m          range 0. .... 1000.");
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

void TKirmelEditor::WriteWLPA(const std::string& path) {
  const TDitch& ditch = data_.Ditch();
  const TMetrics& metrics = data_.Metrics();
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning geometry and other",
              "characteristics of the waterbody");
  WriteSection(1, "Geometry of the waterbody");
  WriteExplanation("bottom width of waterbody");
  WriteRealVariable("wibot", "m", metrics.BottomWidth(), 0.05, 100);
  WriteExplanation("side slope, horizontal/vertical");
  WriteRealVariable("sisl", "m", metrics.SideSlope(), 0.00001, 10);
  WriteExplanation("water depth defining perimeter for exchange water layer - sediment,");
  WriteExplanation("h_w");
  WriteRealVariable("wdhfl", "m", metrics.WaterDepth(), 0, 2);
  WriteStar();
  WriteSection(2, "Geometry of the neighbouring plot of land");
  WriteExplanation("length of draining plot perpendicular to waterbody and located");
  WriteExplanation("at one or both sides");
  // The kernel takes a fixed plot length, whatever the model holds.
  WriteRealVariable("leplot", "m^2/d", 999, 10, 100000);
  WriteStar();
  WriteSection(3, "Concentration and organic matter in suspended solids");
  WriteExplanation("concentration of suspended solids, ss");
  WriteRealVariable("coss", "g/m3", ditch.SuspendedSolids(), 1, 100000);
  WriteExplanation("mass ratio of organic matter, m_om, ss");
  WriteRealVariable("raomss", "-", ditch.MassRatioOM(), 0, 1);
  WriteStar();
  WriteSection(4, "Amount of macrophytes");
  WriteExplanation("dry weight of macrophyte biomass per m^2 bottom, DW");
  WriteRealVariable("dwmp", "g/m^2", ditch.Macrophytes(), 0, 1000);
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

void TKirmelEditor::WriteWLST(const std::string& path) {
  const TDitch& ditch = data_.Ditch();
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning initial concentrations", "in the water layer");
  WriteSection(1, "Initial concentrations");
  WriteExplanation("initial (start) mass concentration of pesticide in water layer, c^*,");
  WriteExplanation("for segments in x-direction (nxsetot, so buffers included)");
  // ug/L in the model, g/m^3 in the file; front buffer, water body and end
  // buffer form one list.
  std::vector<double> concentrations;
  for (int i = 1; i <= ditch.FrontBufferNodeCount(); ++i)
    concentrations.push_back(ditch.FrontBufferNode(i).InitialConcentration() / 1000);
  for (int i = 1; i <= ditch.NodeCount(); ++i)
    concentrations.push_back(ditch.Node(i).InitialConcentration() / 1000);
  for (int i = 1; i <= ditch.EndBufferNodeCount(); ++i)
    concentrations.push_back(ditch.EndBufferNode(i).InitialConcentration() / 1000);
  WriteValueList("  castwl = ", concentrations, 4, "  ! unit: g/m^3      range 0. .... 100.");
  WriteStar();
  WriteSection(2, "Constant background concentration in air");
  WriteExplanation("constant background concentration of pesticide in air");
  WriteRealVariable("coair", "g/m^3", data_.Solids().BackgroundConcentration(), 0, 0);
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

void TKirmelEditor::WriteWBNU(const std::string& path) {
  const TSediment& sediment = data_.Sediment();
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning numerical solution and",
              "considered thickness sediment");
  WriteSection(1, "Numerical weight factors");
  WriteExplanation("numerical weight factor for space");
  WriteRealVariable("betawb", "-", 0.5, 0, 1);
  WriteExplanation("numerical weight factor for time");
  WriteRealVariable("thetawb", "-", 1, 0, 1);
  WriteStar();
  WriteSection(2, "Time parameters");
  WriteExplanation("selected time step sediment");
  // The sediment runs with the water layer's step.
  WriteRealVariable("deltwb", "s", data_.Ditch().Timestep().AsSeconds(), 1, 86400);
  WriteStar();
  WriteSection(3, "Space parameters");
  WriteExplanation("length sediment considered (end buffer excluded)");
  WriteRealVariable("zwb", "m", sediment.SedimentLength(), 0.001, 0.5);
  WriteExplanation("length end buffer sediment (0. if none)");
  WriteRealVariable("zebb", "m", sediment.EndBufferLength(), 0, 0.1);
  WriteStar();
  WriteSection(4, "Number segments");
  WriteExplanation("number segments in sediment (end buffer excluded)");
  WriteIntegerVariable("nzsewb", sediment.NodeCount(), "-", 1, 50);
  WriteExplanation("number segments in end buffer (0 if none)");
  WriteIntegerVariable("nzseebb", sediment.EndBufferNodeCount(), "-", 0, 10);
  WriteSection(5, "Thickness segments");
  WriteExplanation("thickness of segments in sediment");
  std::vector<double> lengths;
  for (int i = 1; i <= sediment.NodeCount(); ++i) lengths.push_back(sediment.Node(i).Length());
  if (lengths.empty())
    WriteRealVariable("lesewb", "m", 0, 0.0001, 0.6);
  else
    WriteValueList(" lesewb =  ", lengths, 3, "  ! unit: m          range 0.0001 .... 0.6");
  WriteStar();
  WriteExplanation("thickness of segments in end buffer (0. if none)");
  lengths.clear();
  for (int i = 1; i <= sediment.EndBufferNodeCount(); ++i)
    lengths.push_back(sediment.EndBufferNode(i).Length());
  if (lengths.empty())
    WriteRealVariable("leseebb", "m", 0, 0, 0.6);
  else
    WriteValueList(" leseebb =  ", lengths, 3, "  ! unit: m          range 0. .... 0.6");
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

void TKirmelEditor::WriteWBPA(const std::string& path) {
  const TSediment& sediment = data_.Sediment();
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning sediment", "characteristics");
  WriteSection(1, "Physical properties sediment");
  WriteExplanation("bdwb(1-nzsewb), bulk density dry sediment material, rho_b (as a");
  WriteExplanation("function of depth, end buffer excluded)");
  WriteStar();
  WriteExplanation("por(1-nzsewb), porosity (volume fraction void water), epsilon (as");
  WriteExplanation("a function of depth, end buffer excluded)");
  WriteStar();
  WriteExplanation("tor(1-nzsewb), tortuosity, lamba (as a function of depth, end buffer");
  WriteExplanation("excluded)");
  WriteStar();
  Line("  bdwb                por                 tor");
  for (int i = 1; i <= sediment.NodeCount(); ++i) {
    const TSedimentNode& layer = sediment.Node(i);
    std::string row = " ";
    row += PadLeft(FormatReal(layer.BulkDensity()), 7);
    row += std::string(13, ' ');
    row += PadLeft(FormatReal(layer.Porosity()), 6);
    row += std::string(14, ' ');
    row += PadLeft(FormatReal(layer.Tortuosity()), 6);
    Line(row);
  }
  Line("! kg/m^3              -                   -            unit");
  Line("! 10. .... 3000.      0. .... 1.          0. .... 1.   range");
  WriteStar();
  WriteSection(2, "Organic matter sediment");
  WriteExplanation("mass ratio organic matter of dry sediment material, m_om,wb (as a");
  WriteExplanation("function of depth, end buffer excluded)");
  for (int i = 1; i <= sediment.NodeCount(); ++i) {
    double value = sediment.Node(i).OrganicMatter();
    if (i == 1)
      WriteRealVariable("raomwb", "-", value, 0, 1);
    else
      Line(std::string(11, ' ') + FormatReal(value));
  }
  WriteStar();
  WriteSection(3, "Dispersion in sediment");
  WriteExplanation("dispersion length");
  WriteRealVariable("ldis", "m", sediment.DispersionLength(), 0, 1);
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

void TKirmelEditor::WriteWBST(const std::string& path) {
  const TSediment& sediment = data_.Sediment();
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning initial concentrations", "in sediment");
  WriteSection(1, "Initial concentrations");
  WriteExplanation("initial (start) mass concentration pesticide in sediment, c^*,");
  WriteExplanation("for the total number of segments in z-direction (nzsetot, so end");
  WriteExplanation("buffer included");
  // mg/m^3 in the model, g/m^3 in the file.
  for (int i = 1; i <= sediment.NodeCount(); ++i) {
    double value = sediment.Node(i).InitialConcentration() / 1000;
    if (i == 1)
      WriteRealVariable("castwb", "g/m^3", value, 0, 1000);
    else
      Line(std::string(11, ' ') + FormatReal(value));
  }
  for (int i = 1; i <= sediment.EndBufferNodeCount(); ++i)
    Line(std::string(11, ' ') + FormatReal(sediment.EndBufferNode(i).InitialConcentration() / 1000));
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

void TKirmelEditor::WriteHY(const std::string& path) {
  const THydrology& hydrology = data_.Hydrology();
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning hydrological", "characteristics");
  WriteSection(1, "Flow velocity and water depth of water layer");
  WriteExplanation("constant flow velocity in waterbody");
  WriteRealVariable("u", "m/d", hydrology.FlowVelocity(), -100000, 100000);
  WriteExplanation("constant water depth in waterbody");
  WriteRealVariable("wdh", "m", hydrology.WaterHeight(), 0.01, 2);
  WriteStar();
  WriteSection(2, "Dispersion coefficient");
  WriteExplanation("dispersion coefficient of pesticide in water, E_x");
  WriteRealVariable("kds", "m^2/d", hydrology.DispersionCoefficient(), 1, 100000000);
  WriteStar();
  WriteSection(3, "Seepage with concentration");
  WriteExplanation("upward seepage through sediment into waterbody");
  // mm/d in the model, m^3/m^2.d in the file.
  WriteRealVariable("qseif", "m^3/m^2.d", hydrology.Seepage() / 1000, 0, 0.01);
  WriteStar();
  WriteExplanation("concentration of pesticide in incoming water");
  WriteRealVariable("colot", "g/m^3", hydrology.IncomingConcentration(), 0, 1);
  WriteStar();
  WriteSection(4, "Temperature");
  WriteExplanation("temperature in water and sediment");
  WriteRealVariable("te", "K", hydrology.Temperature() + 273, 273, 323);
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

void TKirmelEditor::WriteOPOUTFile(const std::string& path) {
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning options for obtaining", "model output");
  WriteOPOUT();
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

void TKirmelEditor::WriteOPOUT() {
  SetCommentSwitch();
  const TSettings& s = settings_;
  WriteSection(1, "Selected output files");
  WriteExplanation("output file input.out (echo of all input) wanted? (0 = no, 1 = yes)");
  WriteSwitch("op_input", s.op_input);
  WriteExplanation("output file icwlhy.out (initial calculations for water layer and");
  WriteExplanation("hydrology) wanted? (0 = no, 1 = yes)");
  WriteSwitch("op_icwlhy", s.op_icwlhy);
  WriteExplanation("output file icwb.out (initial calculations for sediment) wanted?");
  WriteExplanation("(0 = no, 1 = yes)");
  WriteSwitch("op_icwb", s.op_icwb);
  WriteExplanation("output file wlmb.out (mass balance water layer) wanted? (0 = no,");
  WriteExplanation("1 = yes)");
  WriteSwitch("op_wlmb", s.op_wlmb);
  WriteExplanation("output file wlmbnodenr.out (mass balance segment water layer)");
  WriteExplanation("wanted? (0 = no, 1 = yes)");
  WriteSwitch("op_wlmbnodenr", s.op_wlmbnodenr);
  WriteExplanation("output file wbsconondenr.out (concentrations sediment sub-system)");
  WriteExplanation("wanted? (0 = no, 1 = yes)");
  WriteSwitch("op_wbsconodenr", s.op_wbsconodenr);
  WriteExplanation("output file wbmbnodenr.out (mass balance sediment sub-system)");
  WriteExplanation("wanted? (0 = no, 1 = yes)");
  WriteSwitch("op_wbmbnodenr", s.op_wbmbnodenr);
  WriteExplanation("output file wbmball.out (mass balance all sediment sub-systems)");
  WriteExplanation("wanted? (0 = no, 1 = yes)");
  WriteSwitch("op_wbmball", s.op_wbmball);
  WriteExplanation("output file dbnodenr.out (distribution substance in wl+wb at");
  WriteExplanation("segmentnr wl) wanted? (0 = no, 1 = yes)");
  WriteSwitch("op_dbnodenr", s.op_dbnodenr);
  WriteExplanation("output file dbdit.out (distribution substance in total waterbody)");
  WriteExplanation("wanted? (0 = no, 1 = yes)");
  WriteSwitch("op_dbdit", s.op_dbdit);
  WriteExplanation("output file ecnodenr.out (exposure concentration at segmentnr)");
  WriteExplanation("wanted? (0 = no, 1 = yes)");
  WriteSwitch("op_ecnodenr", s.op_ecnodenr);
  WriteStar();
  WriteSection(2, "Timestep for output");
  WriteExplanation("timestep for output (should be a multiple of the selected calculation");
  WriteExplanation("timestep deltwl)");
  WriteRealVariable("deltout", "d", data_.OutputTimestep(), 0.001, 25);
  WriteStar();
  WriteSection(3, "Selected segments wl + sediment sub-systems for output");
  WriteExplanation("number of segments wl, coupled to sediment sub-systems, for which");
  WriteExplanation("output is wanted (max. of 9)");
  const TDitch& ditch = data_.Ditch();
  WriteIntegerVariable("nwbsy", ditch.OutputNodeCount(), "-", 0, 9);
  WriteExplanation("node number in water layer at/or under which output is wanted");
  // The kernel numbers its nodes through the front buffer first, so the
  // node of water-body segment i lies behind the front buffer's segments.
  const int frontNodes = ditch.FrontBufferNodeCount();
  bool first = true;
  for (int i = 1; i <= ditch.NodeCount(); ++i) {
    if (!ditch.Node(i).Output()) continue;
    const std::string node = IntToStr(frontNodes + i);
    if (first)
      Line("  iwbsy =  " + node + "     ! unit: -       range: 1 .... 200");
    else
      Line(std::string(11, ' ') + node);
    first = false;
  }
  WriteExplanation("number of upper segments forming the top layer for which the");
  WriteExplanation("accumulated pesticide mass will be calculated");
  WriteIntegerVariable("ktop", data_.KTop(), "-", 1, 200);
}

void TKirmelEditor::WriteSL(const std::string& path) {
  const TDrift& drift = data_.Drift();
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning substance",
              "loadings to the water layer via different entry routes");
  WriteSection(1, "Source of data and entry route");
  WriteExplanation("switches for: user specified or model output, and type of entry route");
  WriteExplanation("(0 = no, 1 = yes), different sources of data and entry routes");
  WriteExplanation("can be combined");
  WriteStar();
  WriteExplanation("user specified, spray drift");
  WriteSwitch("op_slus", drift.Enabled());
  WriteExplanation("user specified, drainage");
  WriteSwitch("op_slud", false);
  WriteExplanation("user specified, runoff");
  WriteSwitch("op_slur", false);
  WriteExplanation("model output, drainage");
  WriteSwitch("op_slmd", false);
  WriteExplanation("model output, runoff");
  WriteSwitch("op_slmr", false);
  WriteStar();
  WriteSection(2, "If op_slus = 1 (user specified, spray drift) specify:");
  WriteExplanation("number of loadings  (max. of 500)");
  const TDriftLoadings& loadings = drift.Loadings();
  Line("  ntslus = " + IntToStr(loadings.Count()));
  WriteStar();
  WriteExplanation("tslus, time of loading (d)");
  WriteStar();
  WriteExplanation("mslus, mass per square metre (g/m^2) deposited onto the water surface");
  WriteStar();
  WriteExplanation("stxslus, enxslus, onto stretch of waterbody from .. m (stxslus)");
  WriteExplanation("to .. m (enxslus)");
  WriteStar();
  Line("  tslus           mslus          stxslus          enxslus");
  for (int k = 0; k < loadings.Count(); ++k) {
    const TDriftEntry& entry = loadings.Entry(k);
    Line("    " + PadLeft(FormatReal(entry.EntryTime()), 6) + std::string(13, ' ') +
         PadLeft(FormatReal(entry.Mass()), 6) + std::string(12, ' ') +
         PadLeft(FormatReal(entry.StartPos()), 6) + std::string(15, ' ') +
         PadLeft(FormatReal(entry.EndPos()), 6));
  }
  Line("!   d             g/m^2            m               m            unit");
  Line("! 0 ... 500.0  0 ... 1000.0         0 .... 10,000.             range");
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

void TKirmelEditor::WriteSU(const std::string& path) {
  const TSolids& su = data_.Solids();
  BeginFile(path);
  WriteHeader("Input data for KIRMEL concerning the substance", "");
  WriteSection(1, "Transformation in water layer");
  WriteExplanation("half-life for transformation in water at 293 K");
  WriteRealVariable("dt50wl", "d", su.HalfLifeWater(), 0, 10000);
  WriteExplanation("molar Arrhenius activation energy for transformation rate");
  WriteExplanation("(also used for sediment) (default value)");
  WriteRealVariable("aetf", "J/mol", su.ActivationEnergy(), 0, 1000000);
  WriteStar();
  // L/kg -> m^3/kg and mg/L -> kg/m^3 divide by 1000; g/L -> g/m^3
  // multiplies by 1000; degrees Celsius -> K add 273.
  WriteSection(2, "Sorption suspended solids");
  WriteExplanation("slope sorption isotherm based at organic matter content, K_om,ss,");
  WriteExplanation("(distribution coefficient)");
  WriteRealVariable("kdomssdit", "m^3/kg", su.SorptionSuspendedSolids() / 1000, 0, 1000);
  WriteExplanation("concentration pesticide at which the K_om of the suspended solids");
  WriteExplanation("has been observed, c_e,ss (default value)");
  WriteRealVariable("coobkomss", "kg/m^3", su.ConcentrationSuspendedSolids() / 1000, 0.000001,
                    0.1);
  WriteExplanation("Freundlich exponent for sorption to suspended solids, n_ss");
  WriteRealVariable("exfrss", "-", su.FreundlichSuspendedSolids(), 0.1, 2);
  WriteStar();
  WriteSection(3, "Sorption to macrophytes");
  WriteExplanation("slope sorption isotherm based at dry weight macrophytes, K_mp");
  WriteExplanation("(distribution coefficient)");
  WriteRealVariable("kdmpdit", "m^3/kg", su.SorptionMacrophytes() / 1000, 0, 1000);
  WriteStar();
  WriteSection(4, "Volatilisation");
  WriteExplanation("molecular mass pesticide, M");
  WriteRealVariable("mamol", "g/mol", su.MolecularMass(), 10, 10000);
  WriteExplanation("transport coefficient pesticide in liquid phase, k_l");
  WriteRealVariable("klq", "m/d", su.TransportCoefficientLiquid(), 0.1, 5);
  WriteExplanation("transport coefficient pesticide in gas phase, k_g");
  WriteRealVariable("kga", "m/d", su.TransportCoefficientGas(), 0.1, 500);
  WriteExplanation("saturated vapour pressure pesticide, P");
  WriteRealVariable("psat", "Pa", su.SaturatedVapourPressure(), 1e-15, 5000);
  WriteExplanation("temperature at which saturated vapour pressure measured");
  WriteRealVariable("tepsat", "K", su.VapourPressureTemperature() + 273, 273, 373);
  WriteExplanation("molar enthalpy of vaporisation (default value)");
  WriteRealVariable("mepsat", "J/mol", su.EnthalpyVaporisation(), 0, 1000000);
  WriteExplanation("solubility pesticide in water, c_sol");
  WriteRealVariable("cosol", "g/m^3", su.Solubility() * 1000, 0.000001, 2000000);
  WriteExplanation("temperature at which solubility is measured");
  WriteRealVariable("tesol", "K", su.SolubilityTemperature() + 273, 273, 373);
  WriteExplanation("molar enthalpy of dissolution (default value)");
  WriteRealVariable("mesol", "J/mol", su.EnthalpyDissolution(), 0, 1000000);
  WriteStar();
  WriteSection(5, "Exchange water column - sediment");
  WriteExplanation("diffusion coefficient pesticide in water, D_w (default value");
  WriteRealVariable("kdfw", "mm^2/d", su.DiffusionCoefficient(), 1, 200);
  WriteStar();
  WriteSection(6, "Transformation in sediment");
  WriteExplanation("half-life transformation sediment at 293 K");
  WriteRealVariable("dt50wb", "d", su.HalfLifeSediment(), 0, 10000);
  WriteStar();
  WriteSection(7, "Sorption sediment");
  WriteExplanation("slope sorption isotherm based at organic matter content of");
  WriteExplanation("sediment material, K_om,wb, (distribution coefficient)");
  WriteRealVariable("kdomwb1", "m^3/kg", su.SorptionSediment() / 1000, 0, 1000);
  WriteExplanation("concentration pesticide at which the K_om of the sediment material");
  WriteExplanation("has been observed, c_e,wb (default value)");
  WriteRealVariable("coobkomwb", "kg/m^3", su.ConcentrationSediment() / 1000, 0.000001, 0.1);
  WriteExplanation("Freundlich exponent for sorption to sediment material, n_wb");
  WriteRealVariable("exfrwb", "-", su.FreundlichSediment(), 0.1, 2);
  WriteStar();
  WriteEndOfFile();
  EndFile();
}

}  // namespace kirmel::fe
