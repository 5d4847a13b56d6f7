// Reading the kernel input files back into the model.
#include <cmath>
#include <exception>
#include <functional>
#include <memory>
#include <set>
#include <span>

#include "frontend/editor/Editor.h"
#include "frontend/model/Numbers.h"
#include "frontend/model/Utils.h"

namespace kirmel::fe {
namespace {

// What one key of a file did.
enum class TKeyResult {
  kRead,     // the key and its values were taken
  kUnknown,  // not a key of this file
  kFailed,   // a list or table was short; its message has been shown
  kFinished  // the rest of the file is not read
};

// A value converted from the file's unit to the model's unit, rounded to the
// 15 significant digits in which the writer writes every real: the writer's
// conversion and this one then cancel exactly, so a value saved at a bound of
// its range (100.000001 mg/L written as 0.100000001 kg/m^3) reads back inside
// the range.
double FromFileUnits(double converted) {
  double rounded = converted;
  if (std::isfinite(converted) && TryStrToFloat(FormatGeneral(converted, '.', 15), '.', rounded))
    return rounded;
  return converted;
}

// Closes the reader's file however the reading ends.
class TCloseGuard {
 public:
  explicit TCloseGuard(Parser& parser) : parser_(parser) {}
  ~TCloseGuard() { parser_.CloseInputFile(); }
  TCloseGuard(const TCloseGuard&) = delete;
  TCloseGuard& operator=(const TCloseGuard&) = delete;

 private:
  Parser& parser_;
};

// Passes on the exception being handled, its message preceded by the file's
// name when it does not begin with it already (followed by ": " or by the
// line), so that a refused value says where it came from.  Numbers in it use
// the user's decimal separator.
[[noreturn]] void RethrowNamingFile(const std::string& path, char separator) {
  const std::string prefix = path + ": ";
  try {
    throw;
  } catch (const EOutOfRange& e) {
    throw EOutOfRange(prefix + e.Message(separator));
  } catch (const EIllegalValue& e) {
    const std::string_view what = e.what();
    if (what.starts_with(prefix) || what.starts_with(path + ", line ")) throw;
    throw EIllegalValue(prefix + e.Message(separator));
  }
}

// A key that the writer writes into a file.  A list key is written only when
// its list has elements (the count comes from an earlier key or file).
struct TWrittenKey {
  std::string_view Name;
  bool List = false;
};

// The keys of each file in the order the writer writes them: a file that
// lacks one was not written whole (or was cut short), and reading it would
// fill the model with defaults where the user's values were.
constexpr TWrittenKey kWLNUKeys[] = {{"betawl"},  {"thetawl"}, {"deltwl"},  {"ttot"},
                                     {"xdit"},    {"xfb"},     {"xeb"},     {"nxsedit"},
                                     {"nxsefb"},  {"nxseeb"},  {"lesefb"},  {"lesedit", true},
                                     {"leseeb"}};
constexpr TWrittenKey kWLPAKeys[] = {{"wibot"}, {"sisl"},   {"wdhfl"}, {"leplot"},
                                     {"coss"},  {"raomss"}, {"dwmp"}};
constexpr TWrittenKey kWLSTKeys[] = {{"castwl", true}, {"coair"}};
constexpr TWrittenKey kWBNUKeys[] = {{"betawb"}, {"thetawb"}, {"deltwb"},
                                     {"zwb"},    {"zebb"},    {"nzsewb"},
                                     {"nzseebb"}, {"lesewb"}, {"leseebb"}};
constexpr TWrittenKey kWBPAKeys[] = {{"bdwb"}, {"raomwb", true}, {"ldis"}};
constexpr TWrittenKey kWBSTKeys[] = {{"castwb", true}};
constexpr TWrittenKey kHYKeys[] = {{"u"}, {"wdh"}, {"kds"}, {"qseif"}, {"colot"}, {"te"}};
constexpr TWrittenKey kOPOUTKeys[] = {
    {"op_input"},   {"op_icwlhy"},  {"op_icwb"},    {"op_wlmb"},       {"op_wlmbnodenr"},
    {"op_wbsconodenr"}, {"op_wbmbnodenr"}, {"op_wbmball"}, {"op_dbnodenr"}, {"op_dbdit"},
    {"op_ecnodenr"}, {"deltout"},   {"nwbsy"},      {"iwbsy", true},   {"ktop"}};
constexpr TWrittenKey kSLKeys[] = {{"op_slus"}, {"op_slud"}, {"op_slur"}, {"op_slmd"},
                                   {"op_slmr"}, {"ntslus"},  {"tslus"}};
constexpr TWrittenKey kSUKeys[] = {
    {"dt50wl"}, {"aetf"},  {"kdomssdit"}, {"coobkomss"}, {"exfrss"}, {"kdmpdit"}, {"mamol"},
    {"klq"},    {"kga"},   {"psat"},      {"tepsat"},    {"mepsat"}, {"cosol"},   {"tesol"},
    {"mesol"},  {"kdfw"},  {"dt50wb"},    {"kdomwb1"},   {"coobkomwb"}, {"exfrwb"}};

// Which keys a file must hold, and whether a list key's list has elements.
struct TFileKeys {
  std::span<const TWrittenKey> Keys;
  std::function<bool(std::string_view)> ListHasElements = [](std::string_view) { return true; };
};

// Reads "name = value" statements until the file ends, handing each to
// `handle(name, value)`.  With `nameMayHoldEquals` (OPOUT.INP) a name that
// ends in "=" carries its equals sign and no separate one is read.  Then
// every key the file must hold has to have been read.
template <class Handler>
bool ReadKeys(Parser& parser, const std::string& path, bool nameMayHoldEquals,
              const std::function<void(const std::string&)>& showError, const TFileKeys& keys,
              Handler& handle) {
  if (!parser.OpenInputFile(path)) return false;
  TCloseGuard guard(parser);
  std::string name, eq, value;
  std::set<std::string, std::less<>> read;
  bool finished = false;
  // Every pass takes at least one token, so the loop ends with the file.
  while (!finished && parser.GetToken(name)) {
    bool equalsInName = nameMayHoldEquals && !name.empty() && name.back() == '=';
    if (equalsInName) {
      name.pop_back();
    } else if (!parser.GetToken(eq)) {
      showError("Missing \"=\" in " + path);
      return false;
    }
    if (!parser.GetToken(value)) {
      showError("Missing value in " + path);
      return false;
    }
    switch (handle(name, value)) {
      case TKeyResult::kRead:
        read.insert(name);
        break;
      case TKeyResult::kUnknown:
        showError("Unknown variable " + PrintableText(name) + " in " + path);
        return false;
      case TKeyResult::kFailed:
        return false;
      case TKeyResult::kFinished:
        finished = true;
        break;
    }
  }
  for (const TWrittenKey& key : keys.Keys) {
    if (read.count(key.Name) || (key.List && !keys.ListHasElements(key.Name))) continue;
    showError("Missing variable " + std::string(key.Name) + " in " + path);
    return false;
  }
  return true;
}

// ReadKeys, with every refused value's message naming the file.
template <class Handler>
bool ReadKeyFile(Parser& parser, const std::string& path, bool nameMayHoldEquals,
                 const std::function<void(const std::string&)>& showError, const TFileKeys& keys,
                 Handler handle) {
  try {
    return ReadKeys(parser, path, nameMayHoldEquals, showError, keys, handle);
  } catch (const EKirmelError&) {
    RethrowNamingFile(path, parser.DecimalSeparator());
  }
}

// Reads the n elements of a list whose first element is `first` (the value
// token), calling take(element, index) for each, index from 1.  When the file
// ends early it shows `missing` and returns false.
template <class Take>
bool ReadList(Parser& parser, const std::string& first, long long n,
              const std::function<void(const std::string&)>& showError,
              const std::string& missing, Take take) {
  std::string token = first;
  for (long long i = 1; i <= n; ++i) {
    if (i > 1 && !parser.GetToken(token)) {
      showError(missing);
      return false;
    }
    take(token, i);
  }
  return true;
}

// One column of a table: the start of its message when its value is missing
// ("Missing ... in "), and the setter that takes the value.
template <class TRow>
struct TColumn {
  const char* missing;
  void (TRow::*set)(double);
};

// Reads one row of a table: a number for each column in turn, handed to the
// column's setter on row.  When the file ends first it shows the missing
// column's message with the file's name and returns false.
template <class TRow, std::size_t N>
bool ReadRow(Parser& parser, const std::string& path,
             const std::function<void(const std::string&)>& showError, TRow& row,
             const TColumn<TRow> (&columns)[N]) {
  std::string token;
  for (const TColumn<TRow>& column : columns) {
    if (!parser.GetToken(token)) {
      showError(column.missing + path);
      return false;
    }
    double v = 0;
    parser.StrToFloatValue(token, v);
    (row.*column.set)(v);
  }
  return true;
}

}  // namespace

bool TKirmelEditor::ReadWLNU(const std::string& path, TDitch& ditch, TTimestep& totalTime) {
  Parser& p = parser_;
  int count = 0, frontCount = 0, endCount = 0;
  auto error = [this](const std::string& m) { ShowError(m); };
  // The segment lengths of one list: n values, each a new segment appended
  // while the list has room.  Without segments the writer writes the single
  // value 0., which is the value token already read.
  auto readLengths = [&](const std::string& value, int n, auto clear, auto canAdd, auto add) {
    clear();
    return ReadList(p, value, n, error, "Missing segment length in " + path,
                    [&](const std::string& token, long long) {
      double length = 0;
      p.StrToFloatValue(token, length);
      auto node = std::make_unique<TDitchNode>(false, length, 0);
      if (canAdd()) add(std::move(node));
    });
  };
  TFileKeys keys{kWLNUKeys, [&](std::string_view) { return count > 0; }};
  return ReadKeyFile(p, path, false, error, keys, [&](const std::string& name, const std::string& value) {
    double v = 0;
    if (name == "betawl" || name == "thetawl") return TKeyResult::kRead;
    if (name == "deltwl") {
      p.StrToFloatValue(value, v);
      ditch.Timestep().SetTime(0, 0, 0, v);
    } else if (name == "ttot") {
      p.StrToFloatValue(value, v);
      totalTime.SetTime(0, 0, 0, v * 86400);
    } else if (name == "xdit") {
      p.StrToFloatValue(value, v);
      ditch.SetLength(v);
    } else if (name == "xfb") {
      p.StrToFloatValue(value, v);
      ditch.SetFrontBufferLength(v);
    } else if (name == "xeb") {
      p.StrToFloatValue(value, v);
      ditch.SetEndBufferLength(v);
    } else if (name == "nxsedit") {
      p.StrToIntValue(value, count);
    } else if (name == "nxsefb") {
      p.StrToIntValue(value, frontCount);
    } else if (name == "nxseeb") {
      p.StrToIntValue(value, endCount);
    } else if (name == "lesedit") {
      if (!readLengths(value, count, [&] { ditch.ClearNodes(); },
                       [&] { return ditch.CanAddNode(); },
                       [&](std::unique_ptr<TDitchNode> n) { ditch.AddNode(std::move(n)); }))
        return TKeyResult::kFailed;
    } else if (name == "lesefb") {
      if (!readLengths(value, frontCount, [&] { ditch.ClearFrontBufferNodes(); },
                       [&] { return ditch.CanAddFrontBufferNode(); },
                       [&](std::unique_ptr<TDitchNode> n) { ditch.AddFrontBufferNode(std::move(n)); }))
        return TKeyResult::kFailed;
    } else if (name == "leseeb") {
      if (!readLengths(value, endCount, [&] { ditch.ClearEndBufferNodes(); },
                       [&] { return ditch.CanAddEndBufferNode(); },
                       [&](std::unique_ptr<TDitchNode> n) { ditch.AddEndBufferNode(std::move(n)); }))
        return TKeyResult::kFailed;
    } else {
      return TKeyResult::kUnknown;
    }
    return TKeyResult::kRead;
  });
}

bool TKirmelEditor::ReadWLPA(const std::string& path, TDitch& ditch, TMetrics& metrics) {
  Parser& p = parser_;
  auto error = [this](const std::string& m) { ShowError(m); };
  return ReadKeyFile(p, path, false, error, TFileKeys{kWLPAKeys}, [&](const std::string& name, const std::string& value) {
    double v = 0;
    void (TMetrics::*metricsSetter)(double) = nullptr;
    void (TDitch::*ditchSetter)(double) = nullptr;
    if (name == "wibot") metricsSetter = &TMetrics::SetBottomWidth;
    else if (name == "sisl") metricsSetter = &TMetrics::SetSideSlope;
    else if (name == "wdhfl") metricsSetter = &TMetrics::SetWaterDepth;
    else if (name == "leplot") ditchSetter = &TDitch::SetPlotLength;
    else if (name == "coss") ditchSetter = &TDitch::SetSuspendedSolids;
    else if (name == "raomss") ditchSetter = &TDitch::SetMassRatioOM;
    else if (name == "dwmp") ditchSetter = &TDitch::SetMacrophytes;
    else return TKeyResult::kUnknown;
    p.StrToFloatValue(value, v);
    if (metricsSetter) (metrics.*metricsSetter)(v);
    else (ditch.*ditchSetter)(v);
    return TKeyResult::kRead;
  });
}

bool TKirmelEditor::ReadWLST(const std::string& path, TDitch& ditch,
                             double& backgroundConcentration) {
  Parser& p = parser_;
  auto error = [this](const std::string& m) { ShowError(m); };
  TFileKeys keys{kWLSTKeys, [&](std::string_view) {
    return ditch.FrontBufferNodeCount() + ditch.NodeCount() + ditch.EndBufferNodeCount() > 0;
  }};
  return ReadKeyFile(p, path, false, error, keys, [&](const std::string& name, const std::string& value) {
    if (name == "coair") {
      p.StrToFloatValue(value, backgroundConcentration);
    } else if (name == "castwl") {
      // One list over the front buffer, the water body and the end buffer.
      const int front = ditch.FrontBufferNodeCount();
      const int body = ditch.NodeCount();
      const int total = front + body + ditch.EndBufferNodeCount();
      bool complete = ReadList(p, value, total, error, "Missing initial concentration in " + path,
                               [&](const std::string& token, long long n) {
        double v = 0;
        p.StrToFloatValue(token, v);
        const int i = static_cast<int>(n);
        TDitchNode& node = i <= front       ? ditch.FrontBufferNode(i)
                           : i <= front + body ? ditch.Node(i - front)
                                               : ditch.EndBufferNode(i - front - body);
        node.SetInitialConcentration(FromFileUnits(v * 1000));
      });
      if (!complete) return TKeyResult::kFailed;
    } else {
      return TKeyResult::kUnknown;
    }
    return TKeyResult::kRead;
  });
}

bool TKirmelEditor::ReadWBNU(const std::string& path, TSediment& sediment) {
  Parser& p = parser_;
  int layers = 0, bufferLayers = 0;
  auto error = [this](const std::string& m) { ShowError(m); };
  return ReadKeyFile(p, path, false, error, TFileKeys{kWBNUKeys}, [&](const std::string& name, const std::string& value) {
    double v = 0;
    if (name == "betawb" || name == "thetawb") return TKeyResult::kRead;
    if (name == "deltwb") {
      p.StrToFloatValue(value, v);
      sediment.Timestep().SetTime(0, 0, 0, v);
    } else if (name == "zwb") {
      p.StrToFloatValue(value, v);
      sediment.SetSedimentLength(v);
    } else if (name == "zebb") {
      p.StrToFloatValue(value, v);
      sediment.SetEndBufferLength(v);
    } else if (name == "nzsewb") {
      p.StrToIntValue(value, layers);
    } else if (name == "nzseebb") {
      p.StrToIntValue(value, bufferLayers);
    } else if (name == "lesewb" || name == "leseebb") {
      bool buffer = name == "leseebb";
      if (buffer) sediment.ClearEndBufferNodes();
      else sediment.ClearNodes();
      bool complete = ReadList(p, value, buffer ? bufferLayers : layers, error,
                               "Missing coordinate in " + path,
                               [&](const std::string& token, long long) {
        double thickness = 0;
        p.StrToFloatValue(token, thickness);
        auto layer = std::make_unique<TSedimentNode>(thickness, 0, 10, 0, 0, 0);
        if (buffer) {
          if (sediment.CanAddEndBufferNode()) sediment.AddEndBufferNode(std::move(layer));
        } else if (sediment.CanAddNode()) {
          sediment.AddNode(std::move(layer));
        }
      });
      if (!complete) return TKeyResult::kFailed;
    } else {
      return TKeyResult::kUnknown;
    }
    return TKeyResult::kRead;
  });
}

bool TKirmelEditor::ReadWBPA(const std::string& path, TSediment& sediment) {
  Parser& p = parser_;
  auto error = [this](const std::string& m) { ShowError(m); };
  TFileKeys keys{kWBPAKeys, [&](std::string_view) { return sediment.NodeCount() > 0; }};
  return ReadKeyFile(p, path, false, error, keys, [&](const std::string& name, const std::string& value) {
    double v = 0;
    if (name == "ldis") {
      p.StrToFloatValue(value, v);
      sediment.SetDispersionLength(v);
    } else if (name == "bdwb") {
      // The names line "bdwb por tor" has been read as name, "=" and value;
      // one row per layer follows.
      static const TColumn<TSedimentNode> kColumns[] = {
          {"Missing bulk density in ", &TSedimentNode::SetBulkDensity},
          {"Missing porosity in ", &TSedimentNode::SetPorosity},
          {"Missing tortuosity in ", &TSedimentNode::SetTortuosity}};
      for (int i = 1; i <= sediment.NodeCount(); ++i)
        if (!ReadRow(p, path, error, sediment.Node(i), kColumns)) return TKeyResult::kFailed;
    } else if (name == "raomwb") {
      bool complete = ReadList(p, value, sediment.NodeCount(), error,
                               "Missing mass ratio in " + path,
                               [&](const std::string& token, long long i) {
        p.StrToFloatValue(token, v);
        sediment.Node(static_cast<int>(i)).SetOrganicMatter(v);
      });
      if (!complete) return TKeyResult::kFailed;
    } else {
      return TKeyResult::kUnknown;
    }
    return TKeyResult::kRead;
  });
}

bool TKirmelEditor::ReadWBST(const std::string& path, TSediment& sediment) {
  Parser& p = parser_;
  auto error = [this](const std::string& m) { ShowError(m); };
  TFileKeys keys{kWBSTKeys, [&](std::string_view) { return sediment.NodeCount() > 0; }};
  return ReadKeyFile(p, path, false, error, keys, [&](const std::string& name, const std::string& value) {
    if (name != "castwb") return TKeyResult::kUnknown;
    const int layers = sediment.NodeCount();
    bool complete = ReadList(p, value, layers + sediment.EndBufferNodeCount(), error,
                             "Missing initial concentration in " + path,
                             [&](const std::string& token, long long i) {
      double v = 0;
      p.StrToFloatValue(token, v);
      TSedimentNode& layer = i <= layers ? sediment.Node(static_cast<int>(i))
                                         : sediment.EndBufferNode(static_cast<int>(i) - layers);
      layer.SetInitialConcentration(FromFileUnits(v * 1000));
    });
    if (!complete) return TKeyResult::kFailed;
    return TKeyResult::kRead;
  });
}

bool TKirmelEditor::ReadHY(const std::string& path, THydrology& hydrology) {
  Parser& p = parser_;
  auto error = [this](const std::string& m) { ShowError(m); };
  return ReadKeyFile(p, path, false, error, TFileKeys{kHYKeys}, [&](const std::string& name, const std::string& value) {
    double v = 0;
    if (name == "u") {
      p.StrToFloatValue(value, v);
      hydrology.SetFlowVelocity(v);
    } else if (name == "wdh") {
      p.StrToFloatValue(value, v);
      hydrology.SetWaterHeight(v);
    } else if (name == "kds") {
      p.StrToFloatValue(value, v);
      hydrology.SetDispersionCoefficient(v);
    } else if (name == "qseif") {
      p.StrToFloatValue(value, v);
      hydrology.SetSeepage(FromFileUnits(v * 1000));
    } else if (name == "colot") {
      p.StrToFloatValue(value, v);
      hydrology.SetIncomingConcentration(v);
    } else if (name == "te") {
      p.StrToFloatValue(value, v);
      hydrology.SetTemperature(FromFileUnits(v - 273));
    } else {
      return TKeyResult::kUnknown;
    }
    return TKeyResult::kRead;
  });
}

bool TKirmelEditor::ReadOPOUT(const std::string& path, TDitch& ditch, double& outputTimestep,
                              std::optional<int>& ktop, TSettings& settings) {
  Parser& p = parser_;
  int count = 0;
  auto error = [this](const std::string& m) { ShowError(m); };
  TFileKeys keys{kOPOUTKeys, [&](std::string_view) { return count > 0; }};
  return ReadKeyFile(p, path, true, error, keys, [&](const std::string& name, const std::string& value) {
    double v = 0;
    bool TSettings::*flag = nullptr;
    if (name == "op_input") flag = &TSettings::op_input;
    else if (name == "op_icwlhy") flag = &TSettings::op_icwlhy;
    else if (name == "op_icwb") flag = &TSettings::op_icwb;
    else if (name == "op_wlmb") flag = &TSettings::op_wlmb;
    else if (name == "op_wlmbnodenr") flag = &TSettings::op_wlmbnodenr;
    else if (name == "op_wbsconodenr") flag = &TSettings::op_wbsconodenr;
    else if (name == "op_ecnodenr") flag = &TSettings::op_ecnodenr;
    else if (name == "op_wbmbnodenr") flag = &TSettings::op_wbmbnodenr;
    else if (name == "op_wbmball") flag = &TSettings::op_wbmball;
    else if (name == "op_dbnodenr") flag = &TSettings::op_dbnodenr;
    else if (name == "op_dbdit") flag = &TSettings::op_dbdit;
    if (flag) {
      p.StrToFloatValue(value, v);
      settings.*flag = v != 0;
    } else if (name == "deltout") {
      p.StrToFloatValue(value, outputTimestep);
    } else if (name == "nwbsy") {
      p.StrToFloatValue(value, v);
      count = RoundHalfEven(v);
    } else if (name == "iwbsy") {
      // Kernel node numbers count the front buffer's segments first.
      const int front = ditch.FrontBufferNodeCount();
      bool complete = ReadList(p, value, count, error, "Missing node number in " + path,
                               [&](const std::string& token, long long) {
        double node = 0;
        p.StrToFloatValue(token, node);
        node -= front;
        if (node >= 1 && node <= ditch.NodeCount()) ditch.Node(RoundHalfEven(node)).SetOutput(true);
      });
      if (!complete) return TKeyResult::kFailed;
    } else if (name == "ktop") {
      p.StrToFloatValue(value, v);
      ktop = RoundHalfEven(v);
    } else {
      return TKeyResult::kUnknown;
    }
    return TKeyResult::kRead;
  });
}

bool TKirmelEditor::ReadSL(const std::string& path, TDrift& drift) {
  Parser& p = parser_;
  int count = 0;
  auto error = [this](const std::string& m) { ShowError(m); };
  return ReadKeyFile(p, path, false, error, TFileKeys{kSLKeys}, [&](const std::string& name, const std::string& value) {
    double v = 0;
    if (name == "op_slud" || name == "op_slur" || name == "op_slmd" || name == "op_slmr")
      return TKeyResult::kRead;
    if (name == "ntslud") return TKeyResult::kFinished;
    if (name == "op_slus") {
      p.StrToFloatValue(value, v);
      drift.SetEnabled(v != 0);
    } else if (name == "ntslus") {
      p.StrToIntValue(value, count);
    } else if (name == "tslus") {
      // "tslus mslus stxslus" have been read as name, "=" and value; the
      // fourth column name follows, then one row per entry.
      std::string token;
      p.GetToken(token);
      drift.Loadings().Clear();
      static const TColumn<TDriftEntry> kColumns[] = {
          {"Missing time of loading in ", &TDriftEntry::SetEntryTime},
          {"Missing mass in ", &TDriftEntry::SetMass},
          {"Missing start location in ", &TDriftEntry::SetStartPos},
          {"Missing end location in ", &TDriftEntry::SetEndPos}};
      // A count above the list's capacity is refused by Add at entry 501,
      // so the loop is bounded by the capacity as well as by the file.
      for (int row = 0; row < count; ++row) {
        auto entry = std::make_unique<TDriftEntry>();
        if (!ReadRow(p, path, error, *entry, kColumns)) return TKeyResult::kFailed;
        drift.Loadings().Add(std::move(entry));
      }
    } else {
      return TKeyResult::kUnknown;
    }
    return TKeyResult::kRead;
  });
}

bool TKirmelEditor::ReadSU(const std::string& path, TSolids& solids) {
  Parser& p = parser_;
  auto error = [this](const std::string& m) { ShowError(m); };
  struct TKey {
    const char* name;
    void (TSolids::*setter)(double);
    double factor;  // file unit -> model unit
    double offset;
  };
  static const TKey kKeys[] = {
      {"dt50wl", &TSolids::SetHalfLifeWater, 1, 0},
      {"aetf", &TSolids::SetActivationEnergy, 1, 0},
      {"kdomssdit", &TSolids::SetSorptionSuspendedSolids, 1000, 0},
      {"coobkomss", &TSolids::SetConcentrationSuspendedSolids, 1000, 0},
      {"exfrss", &TSolids::SetFreundlichSuspendedSolids, 1, 0},
      {"kdmpdit", &TSolids::SetSorptionMacrophytes, 1000, 0},
      {"mamol", &TSolids::SetMolecularMass, 1, 0},
      {"klq", &TSolids::SetTransportCoefficientLiquid, 1, 0},
      {"kga", &TSolids::SetTransportCoefficientGas, 1, 0},
      {"psat", &TSolids::SetSaturatedVapourPressure, 1, 0},
      {"tepsat", &TSolids::SetVapourPressureTemperature, 1, -273},
      {"mepsat", &TSolids::SetEnthalpyVaporisation, 1, 0},
      {"cosol", &TSolids::SetSolubility, 0, 0},  // divided by 1000 below
      {"tesol", &TSolids::SetSolubilityTemperature, 1, -273},
      {"mesol", &TSolids::SetEnthalpyDissolution, 1, 0},
      {"kdfw", &TSolids::SetDiffusionCoefficient, 1, 0},
      {"dt50wb", &TSolids::SetHalfLifeSediment, 1, 0},
      {"kdomwb1", &TSolids::SetSorptionSediment, 1000, 0},
      {"coobkomwb", &TSolids::SetConcentrationSediment, 1000, 0},
      {"exfrwb", &TSolids::SetFreundlichSediment, 1, 0},
  };
  return ReadKeyFile(p, path, false, error, TFileKeys{kSUKeys}, [&](const std::string& name, const std::string& value) {
    for (const TKey& key : kKeys) {
      if (name != key.name) continue;
      double v = 0;
      p.StrToFloatValue(value, v);
      // g/m^3 -> g/L divides; every other conversion multiplies or shifts.
      const bool same = key.factor == 1 && key.offset == 0;
      double converted = key.factor == 0 ? v / 1000 : v * key.factor + key.offset;
      (solids.*key.setter)(same ? converted : FromFileUnits(converted));
      return TKeyResult::kRead;
    }
    return TKeyResult::kUnknown;
  });
}

bool TKirmelEditor::ReadFolder(const std::string& dir, const std::string& what,
                              const std::function<bool()>& read) {
  std::vector<std::string> held;
  const TMessageSink sink = messages_;
  SetMessageSink([&held](const std::string& message) { held.push_back(message); });
  const std::string refused = "Cannot read the " + what + " \"" + dir.substr(0, dir.size() - 1) +
                              "\": ";
  const std::string busy = refused + "it is being saved by another program. Try again in a moment.";
  bool ok = false;
  std::exception_ptr failure;
  const auto deadline = std::chrono::steady_clock::now() + lockWait_;
  try {
    for (;;) {
      held.clear();
      failure = nullptr;
      const files::TFolderReadLock lock(dir, lockWait_);
      if (std::string problem = lock.Problem(); !problem.empty()) {
        held.push_back(refused + problem);
        break;
      }
      if (lock.Busy()) {
        held.push_back(busy);
        break;
      }
      try {
        ok = read();
      } catch (...) {
        failure = std::current_exception();
      }
      if (!lock.Replaced()) break;
      // Saved meanwhile: what was read may be of two versions.
      ok = false;
      if (std::chrono::steady_clock::now() >= deadline) {
        held = {busy};
        failure = nullptr;
        break;
      }
    }
  } catch (...) {
    failure = std::current_exception();
  }
  SetMessageSink(sink);
  for (const std::string& message : held) ShowError(message);
  if (failure) std::rethrow_exception(failure);
  return ok;
}

std::string TKirmelEditor::FileToRead(const std::string& dir, const std::string& file) {
  if (saveFault_) saveFault_(files::TSaveStep::ReadFile, file);
  return dir + file;
}

bool TKirmelEditor::LoadScenario(const std::string& name) {
  // What the scenario's files hold, made afresh for each reading.
  struct TParts {
    explicit TParts(const std::string& root) : settings(root) {}
    std::unique_ptr<TMetrics> metrics = std::make_unique<TMetrics>();
    std::unique_ptr<TDitch> ditch = std::make_unique<TDitch>();
    std::unique_ptr<TSediment> sediment = std::make_unique<TSediment>();
    std::unique_ptr<THydrology> hydrology = std::make_unique<THydrology>();
    std::unique_ptr<TDrift> drift = std::make_unique<TDrift>();
    TSettings settings;
    TTimestep totalTime;
    double background = 0;
    double outputTimestep = TKirmelData().OutputTimestep();
    std::optional<int> ktop;
  };
  std::optional<TParts> parts;

  const std::string dir = settings_.ScenarioDir(name) + "/";
  auto path = [&](const char* file) { return FileToRead(dir, file); };
  bool ok = ReadFolder(dir, "scenario", [&] {
    TParts& p = parts.emplace(settings_.Root());
    return ReadWLNU(path("WLNU.INP"), *p.ditch, p.totalTime) &&
           ReadWLPA(path("WLPA.INP"), *p.ditch, *p.metrics) &&
           ReadWLST(path("WLST.INP"), *p.ditch, p.background) &&
           ReadWBNU(path("WBNU.INP"), *p.sediment) && ReadWBPA(path("WBPA.INP"), *p.sediment) &&
           ReadWBST(path("WBST.INP"), *p.sediment) && ReadHY(path("HY.INP"), *p.hydrology) &&
           ReadOPOUT(path("OPOUT.INP"), *p.ditch, p.outputTimestep, p.ktop, p.settings) &&
           ReadSL(path("SL.INP"), *p.drift);
  });
  if (!ok) return false;
  auto& [metrics, ditch, sediment, hydrology, drift, settings, totalTime, background,
         outputTimestep, ktop] = *parts;

  // The drift list is never empty: a file without entries gives the default
  // entry over the whole water body.
  if (drift->Loadings().Count() == 0) {
    auto entry = std::make_unique<TDriftEntry>();
    entry->SetEndPos(ditch->Length());
    drift->Loadings().Add(std::move(entry));
  }
  // ReadOPOUT has refused a file without ktop.
  const int top = ktop.value_or(0);

  // Every value that the model checks when it is put in is checked here first,
  // on a scratch model with the same number of sediment layers, so that the
  // swap below cannot fail half-way.
  TKirmelData scratch;
  if (sediment->NodeCount() == 0) scratch.Sediment().ClearNodes();
  try {
    scratch.SetKTop(top);
    scratch.SetOutputTimestep(outputTimestep);
  } catch (const EKirmelError&) {
    RethrowNamingFile(dir + "OPOUT.INP", decimalSeparator_);
  }
  try {
    scratch.Solids().SetBackgroundConcentration(background);
  } catch (const EKirmelError&) {
    RethrowNamingFile(dir + "WLST.INP", decimalSeparator_);
  }

  data_.SetMetrics(std::move(metrics));
  data_.SetDitch(std::move(ditch));
  data_.SetSediment(std::move(sediment));
  data_.SetHydrology(std::move(hydrology));
  data_.SetDrift(std::move(drift));
  data_.Solids().SetBackgroundConcentration(background);
  data_.TotalTime().Assign(totalTime);
  data_.SetKTop(top);
  data_.SetOutputTimestep(outputTimestep);
  settings_ = std::move(settings);
  // The caller names the model after the scenario it loaded.
  scenarioBaseline_ = ScenarioState(name);
  return true;
}

bool TKirmelEditor::LoadPesticide(const std::string& name) {
  std::unique_ptr<TSolids> solids;
  const std::string dir = settings_.PesticideDir(name) + "/";
  if (!ReadFolder(dir, "pesticide", [&] {
        solids = std::make_unique<TSolids>();
        return ReadSU(FileToRead(dir, "SU.INP"), *solids);
      }))
    return false;
  // The background concentration in air belongs to the scenario (WLST.INP).
  solids->SetBackgroundConcentration(data_.Solids().BackgroundConcentration());
  data_.SetSolids(std::move(solids));
  pesticideBaseline_ = PesticideState(name);
  return true;
}

}  // namespace kirmel::fe
