// Comparisons of two runs, or of a run and measured data: what the two
// set-up dialogs hold, offer and check, and the chart each comparison builds.
//
// A set-up holds run 1, run 2 and a measured-data file together with the
// readers of their files.  Every file is read into fresh readers, which take
// the place of the held ones only when they were read: a file that cannot be
// opened, an input echo that is refused, or a measured-data file that does
// not hold what it should, leaves the set-up as it was (the reader says
// why, naming the file and line).  A run's concentration files are taken as
// the graph windows take them: their complete time blocks, the reader
// naming where a file stopped, so a run that stopped early can be compared.
// What the reads of one choice report goes to the token reader's sink as
// one message, each file once.  So the names, choices and readers of a set-up always belong
// together.  The runs' files come through the viewer's cache: a run
// compared with the run of the window it was opened from, or with itself,
// is not read again.  A run chosen whose files end short of the time it was
// set to simulate is said once a choice, as the graph windows say it
// (TRunEnd): to Information, or first in the message of that choice when
// there is one; a missing or cut input echo is said as they say it too.
//
// Two comparisons, each of two types (100 the water layer, 200 the sediment):
//   TCompareConc      at one output time: concentration along the water body,
//                     or the depth profile of one selected sediment subsystem
//   TCompareConcTime  in time: concentration at one water-layer segment, or
//                     in the top sediment layer of one subsystem
// Concentrations are shown in µg/L, the files' g/m3 x 1000.  A run whose
// files lack the chosen time or place (a time block shorter than the run's
// geometry, an output time the sediment file does not have) gives an empty
// series rather than points from elsewhere.
//
//   TCompareConc setup(kSedimentComparison, root);
//   setup.Show(runDir, 2);             // run 1 and its subsystem
//   setup.SetKind(TComparisonKind::TwoRuns);
//   if (auto error = setup.ChangeRun(2, chosenDir); !error.empty()) ...
//   if (auto error = setup.CheckView(); error.empty()) chart = setup.View();
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "frontend/chart/Chart.h"
#include "frontend/viewer/INPUT.h"
#include "frontend/viewer/Measure.h"
#include "frontend/viewer/OutputCache.h"
#include "frontend/viewer/WBSCO.h"
#include "frontend/viewer/WLSOCO.h"

namespace kirmel::fe {

inline constexpr int kWaterLayerComparison = 100;
inline constexpr int kSedimentComparison = 200;

// The items of "Compare:": nothing chosen, "Two runs", "Run with measured data".
enum class TComparisonKind { None = -1, TwoRuns = 0, Measured = 1 };

// One run of a comparison and the readers of its files.  Time is the
// 1-based output time (comparison at one time only); Node the selected
// sediment subsystem (1-based, into TINPUT::Subsystems), or in time for the
// water layer the 1-based segment of the water body; 0 means none.  Only
// subsystems under the water body are offered: the kernel writes no files
// for one on a buffer node.
struct TComparedRun {
  std::string Dir;  // empty: no run
  int Time = 0;
  int Node = 0;
  TINPUT Input;
  TWLSOCOList WLSOCO;
  TWBSCOList WBSCO;  // the sediment concentrations of the chosen subsystem
};

// "This is not a valid run." and where valid runs are, on three lines.
std::string InvalidRunMessage(const std::string& runsDir);

// What the two comparisons share: the type, the kind, the runs and the
// measured-data file.
class TComparison {
 public:
  TComparison(const TComparison&) = delete;
  TComparison& operator=(const TComparison&) = delete;
  virtual ~TComparison() = default;

  std::string GraphTitle;            // the title of the printed chart
  char DecimalSeparator = '.';       // of the numbers in texts and lines
  bool StandardDeviations = false;   // "Include standard deviations"
  // Called while files are read; a read it cancels changes nothing and
  // leaves with TReadCancelled.
  TReadProgress Progress;
  // Shows a notice about a run chosen (information, not an error).
  TMessageSink Information;

  int GraphType() const { return graphType_; }
  TComparisonKind Kind() const { return kind_; }
  void SetKind(TComparisonKind kind) { kind_ = kind; }

  // The runs' folder of the root: where the directory chooser opens.
  std::string RunsDir() const;

  // Run r (1 or 2).
  const TComparedRun& Run(int r) const;
  const std::string& RunDir1() const { return Run(1).Dir; }
  const std::string& RunDir2() const { return Run(2).Dir; }
  int NodeRun1() const { return Run(1).Node; }
  int NodeRun2() const { return Run(2).Node; }
  const std::string& MeasuredFile() const { return measuredFile_; }
  const TWLMeasure& WLMeasureData() const { return wlMeasure_; }
  const TWBMeasure& WBMeasureData() const { return wbMeasure_; }

  // Takes the directory chosen for run r (one trailing separator removed).
  // A directory outside the runs' folder gives InvalidRunMessage and changes
  // nothing; otherwise the run's files are read and the run replaced when
  // they read whole.  Returns the message to show, or "".
  std::string ChangeRun(int r, const std::string& chosenDir);
  // Takes the measured-data file chosen: "File does not exist." when there
  // is none; read by the reader of the graph type, and taken when it reads
  // whole.  Returns the message to show, or "".
  std::string ChangeMeasuredFile(const std::string& path);
  // Takes line `line` (1-based) of NodeLines(r); a subsystem's sediment
  // file is read first and the choice taken only when it reads whole.  0
  // and lines not offered change nothing.
  void ChooseNode(int r, int line);

  // Texts of the edits.
  std::string NameText(int r) const;
  std::string NodeText(int r) const;
  std::string FileNameText() const { return measuredFile_; }
  // Lines of the node pick list of run r.
  std::vector<std::string> NodeLines(int r) const;

  // Which rows and boxes can be used.
  bool RunBoxEnabled(int r) const;
  bool MeasuredBoxEnabled() const { return kind_ == TComparisonKind::Measured; }
  virtual bool NodeRowEnabled(int r) const = 0;

  // The reason "View" builds nothing ("Could not create graph." and why, or
  // "You must first select a type of comparison"), or "" when it can build.
  virtual std::string CheckView() const = 0;
  // The chart of the comparison; call when CheckView() is "" and the type is
  // 100 or 200.
  TChart View() const;
  virtual TChart ViewWaterLayer() const = 0;
  virtual TChart ViewSediment() const = 0;

 protected:
  TComparison(int graphType, std::string root, Parser& parser, TOutputCache& cache);

  TComparedRun& MutableRun(int r);
  // Runs the reads of one choice with a fresh context (each file named
  // once), then hands what they reported to the token reader's sink as one
  // message: also when a read fails with an exception, which then goes on.
  // A choice the user cancelled (TReadCancelled) changes nothing and says
  // nothing.
  void Reading(const std::function<void(TReadContext&)>& reads);
  void ShowReports();
  // Whether the node of a run is a selected sediment subsystem (else a
  // segment of the water body).
  virtual bool NodeIsSubsystem() const = 0;
  // Reads input.out and wlsoco.out of `dir` into `run`; true when the echo
  // was taken and the concentration file opened.
  bool ReadRun(const std::string& dir, TComparedRun& run, TReadContext& context);
  // Reads run 1 as a dialog opens (one trailing separator removed) and
  // presets its choices; a run that does not read leaves run 1 empty.  True
  // when it read.
  bool ShowRun1(const std::string& runDir1, TReadContext& context);
  // Reads the sediment file of selected subsystem i of `run`; when it
  // opens, takes it (its complete time blocks) and i as the run's node.
  void TakeSubsystem(TComparedRun& run, int i, TReadContext& context);
  // The nodes NodeLines offers: subsystems or segments, as Node counts them.
  std::vector<int> NodeChoices(const TComparedRun& run) const;
  // Fills in the choices of a run just read, before it takes its place.
  virtual void PresetRun(TComparedRun& run, TReadContext& context) = 0;
  // Sets the choice of a measured-data file just read.
  virtual void PresetMeasured() = 0;
  // "Could not create graph." and `reason` on the next line.
  static std::string CannotCreate(const std::string& reason);

  std::string DistanceOfSubsystem(const TINPUT& input, int i) const;
  std::string Label(const std::string& format, double value) const;
  // The line of `node` (as NodeChoices gives it) in the node pick list.
  std::string NodeLabel(const TComparedRun& run, int node) const;

  Parser& parser_;
  TOutputCache& cache_;

 private:
  int graphType_;
  std::string root_;
  TComparisonKind kind_ = TComparisonKind::None;
  TReadReports reports_;
  // The notice of the run the current choice read.
  std::string notice_;
  TComparedRun runs_[2];
  std::string measuredFile_;
  TWLMeasure wlMeasure_;
  TWBMeasure wbMeasure_;
};

// The comparison at one output time.
class TCompareConc : public TComparison {
 public:
  // `root` holds the runs' folder RUNS that runs are chosen from.
  TCompareConc(int graphType, std::string root, Parser& parser = ProgramParser(),
               TOutputCache& cache = TOutputCache::Viewer());

  // Reads run 1 as the dialog opens: its first output time is chosen, and
  // for the sediment the subsystem `nodeRun1` (1-based, into
  // TINPUT::Subsystems) when its file reads.
  // A run that does not read leaves run 1 empty.
  void Show(const std::string& runDir1, int nodeRun1);

  int TimeRun1() const { return Run(1).Time; }
  int TimeRun2() const { return Run(2).Time; }
  int SamplePeriod() const { return samplePeriod_; }
  int MeasuredTime() const { return measuredTime_; }

  // Take line t (1-based) of the pick lists; 0 and lines not offered change
  // nothing.
  void ChooseTime(int r, int t);
  void ChooseSamplePeriod(int g);
  void ChooseMeasuredTime(int g);

  std::string TimeText(int r) const;
  std::string SamplePeriodText() const;
  std::string MeasuredTimeText() const;
  std::vector<std::string> TimeLines(int r) const;
  std::vector<std::string> SamplePeriodLines() const;
  std::vector<std::string> MeasuredTimeLines() const;

  bool TimeRowEnabled(int r) const;
  bool NodeRowEnabled(int r) const override;
  bool SamplePeriodRowEnabled() const;
  bool MeasuredTimeRowEnabled() const;

  std::string CheckView() const override;
  TChart ViewWaterLayer() const override;
  TChart ViewSediment() const override;

 protected:
  bool NodeIsSubsystem() const override { return true; }
  void PresetRun(TComparedRun& run, TReadContext& context) override;
  void PresetMeasured() override;

 private:
  std::string TimeLabel(const TComparedRun& run, int t) const;
  // Lines g of the sample-period and measuring-time pick lists.
  std::string SamplePeriodLabel(int g) const;
  std::string MeasuredTimeLabel(int g) const;
  TSeries WaterLayerRunSeries(int r) const;
  TSeries SedimentRunSeries(int r) const;

  int samplePeriod_ = 0;
  int measuredTime_ = 0;
};

// The comparison in time.
class TCompareConcTime : public TComparison {
 public:
  TCompareConcTime(int graphType, std::string root, Parser& parser = ProgramParser(),
                   TOutputCache& cache = TOutputCache::Viewer());

  // Reads run 1 as the dialog opens and chooses its first node: the first
  // segment of the water body, or the first subsystem under the water body
  // when its sediment file reads.  A run that does not read leaves run 1 empty.
  void Show(const std::string& runDir1);

  int MeasuredDistance() const { return measuredDistance_; }
  int MeasuredLayer() const { return measuredLayer_; }

  // Take line k (1-based) of the pick lists; 0 and lines not offered change
  // nothing.
  void ChooseDistance(int k);
  void ChooseDepthLayer(int k);

  std::string DistanceText() const;
  std::string DepthLayerText() const;
  std::vector<std::string> DistanceLines() const;
  std::vector<std::string> DepthLayerLines() const;

  bool NodeRowEnabled(int r) const override;
  bool DistanceRowEnabled() const;
  bool DepthLayerRowEnabled() const;

  std::string CheckView() const override;
  TChart ViewWaterLayer() const override;
  TChart ViewSediment() const override;

 protected:
  bool NodeIsSubsystem() const override { return GraphType() == kSedimentComparison; }
  void PresetRun(TComparedRun& run, TReadContext& context) override;
  void PresetMeasured() override;

 private:
  // Lines k of the distance and depth-layer pick lists.
  std::string DistanceLabel(int k) const;
  std::string DepthLayerLabel(int k) const;
  TSeries WaterLayerRunSeries(int r) const;
  TSeries SedimentRunSeries(int r) const;

  int measuredDistance_ = 0;
  int measuredLayer_ = 0;
};

}  // namespace kirmel::fe
