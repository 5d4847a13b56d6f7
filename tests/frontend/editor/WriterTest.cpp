// The kernel input files as written: number texts, golden files for the
// default model, the layouts of varied lists, and failed writes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <locale>

#include "EditorTestSupport.h"

namespace kirmel::test {
namespace {

namespace fs = std::filesystem;
using fe::TKirmelEditor;

const std::string kGolden = std::string(KIRMEL_TEST_DATA) + "/editor/";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// Compares a written file with its golden file, the root written as @ROOT@.
// With KIRMEL_UPDATE_GOLDEN=1 the golden file is rewritten instead, and
// nothing is compared.
void ExpectGolden(const EditorFixture& f, const std::string& written, const std::string& golden) {
  std::string text = Replace(readFile(written), f.editor->Settings().Root(), "@ROOT@");
  if (UpdateGolden()) {
    fs::create_directories(fs::path(kGolden + golden).parent_path());
    std::ofstream(kGolden + golden, std::ios::binary) << text;
    return;
  }
  EXPECT_EQ(text, readFile(kGolden + golden)) << golden;
}

void SaveAll(EditorFixture& f) {
  f.save("DefaultScenario", "DefaultPesticide");
  fs::create_directories(f.ed().Settings().RunDirOf("DefaultScenario", "DefaultPesticide"));
  f.ed().WriteFilesInp();
}

void ExpectAllGolden(EditorFixture& f, const std::string& set) {
  for (const std::string& name : ScenarioFiles())
    ExpectGolden(f, f.scenarioDir("DefaultScenario") + "/" + name, set + "/" + name);
  ExpectGolden(f, f.pesticideDir("DefaultPesticide") + "/SU.INP", set + "/SU.INP");
  ExpectGolden(f, f.ed().Settings().RunDirOf("DefaultScenario", "DefaultPesticide") + "/FILES.INP",
               set + "/FILES.INP");
}

TEST(FormatReal, WritesEveryRealWithPointOrExponent) {
  const std::pair<double, const char*> cases[] = {
      {30, "30."},          {0, "0."},           {600, "600."},     {16400, "16400."},
      {-100000, "-100000."}, {0.5, "0.5"},        {0.05, "0.05"},    {0.0025, "0.0025"},
      {0.001, "0.001"},     {0.0009, "9.E-4"},   {-0.0005, "-5.E-4"}, {0.0001, "1.E-4"},
      {0.00001, "1.E-5"},   {0.000001, "1.E-6"}, {0.000999999999, "9.99999999E-4"},
      {1e-15, "1E-15"},     {0.001 / 1000, "1.E-6"}, {16.4, "16.4"}, {283, "283."},
  };
  for (auto [value, text] : cases) EXPECT_EQ(TKirmelEditor::FormatReal(value), text) << value;
  // Just short of a whole number: 15 digits round it to 2010, which must not
  // reach the kernel as an integer.
  EXPECT_EQ(TKirmelEditor::FormatReal(2.01 * 1000), "2010.");
  EXPECT_EQ(TKirmelEditor::FormatReal(-0.99999999999999989), "-1.");
  EXPECT_EQ(TKirmelEditor::FormatReal(1e300), "1E300");
}

TEST(EditorGolden, DefaultModelWithComments) {
  EditorFixture f;
  SaveAll(f);
  ExpectAllGolden(f, "comments");
}

TEST(EditorGolden, DefaultModelWithoutComments) {
  EditorFixture f;
  f.ed().Settings().OutputOptions.Comments = false;
  SaveAll(f);
  ExpectAllGolden(f, "plain");
}

TEST(EditorGolden, HydrologyIsTheDocumentedSample) {
  // The published HY.INP of the default hydrology, without its date line.
  EditorFixture f;
  f.ed().Settings().OutputOptions.WriteDate = false;
  SaveAll(f);
  ExpectGolden(f, f.scenarioDir("DefaultScenario") + "/HY.INP", "hy_sample.INP");
}

TEST(EditorGolden, HeaderOptions) {
  EditorFixture f;
  auto& o = f.ed().Settings().OutputOptions;
  o.WriteVersions = false;
  o.WriteContents = false;
  o.WriteAuthor = true;
  o.Author = "A. Author";
  o.WriteNote = true;
  o.Note = "trial";
  SaveAll(f);
  std::string text = readFile(f.scenarioDir("DefaultScenario") + "/HY.INP");
  std::string root = f.ed().Settings().Root();
  EXPECT_EQ(text.substr(0, text.find("*---")),
            "*\r\n*   KIRMEL input file\r\n*\r\n*   Filename: " + root +
                "/SCENARIOS/DefaultScenario/HY.INP\r\n*   Date    : 09-12-2026\r\n"
                "*   Author  : A. Author\r\n*   Note    : trial\r\n*\r\n");
  o.Note.clear();
  f.ed().SaveScenario();
  EXPECT_EQ(readFile(f.scenarioDir("DefaultScenario") + "/HY.INP").find("Note"), std::string::npos);
}

// A numpunct that writes numbers the way a comma locale does.
struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(EditorGolden, CommaLocaleStillWritesFullStops) {
  std::locale old = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  EditorFixture f(',');
  SaveAll(f);
  std::locale::global(old);
  ExpectAllGolden(f, "comments");
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
  return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(EditorLayout, ListsAndTablesOfAVariedModel) {
  EditorFixture f;
  fe::TKirmelData& d = f.data();
  fe::TDitch& ditch = d.Ditch();
  for (double length : {1.0, 2.5, 3.0, 4.0, 5.0})
    ditch.AddFrontBufferNode(std::make_unique<fe::TDitchNode>(false, length, 1000));
  ditch.ClearNodes();
  ditch.AddNode(std::make_unique<fe::TDitchNode>(false, 100, 2.5));
  ditch.AddNode(std::make_unique<fe::TDitchNode>(false, 12345.0 / 1000 * 10, 0));
  fe::TSediment& sediment = d.Sediment();
  sediment.ClearNodes();
  sediment.AddEndBufferNode(std::make_unique<fe::TSedimentNode>(0.05, 7000, 100, 0.5, 0.5, 0.1));
  d.SetKTop(0);  // ignored without layers: 7 stays
  d.Drift().Loadings().InsertCopy(1);
  d.Drift().Loadings().Entry(1).SetEntryTime(1.5);
  d.Drift().SetEnabled(false);
  f.save("Varied", "P");

  auto file = [&](const std::string& name) {
    return Lines(readFile(f.scenarioDir("Varied") + "/" + name));
  };
  auto wlnu = file("WLNU.INP");
  EXPECT_TRUE(Contains(wlnu, " lesefb =     1.   2.5    3.    4.   ! unit: m          range 0. .... 1000."));
  EXPECT_TRUE(Contains(wlnu, "              5.                   "));
  EXPECT_TRUE(Contains(wlnu, " lesedit =  100. 123.45               ! unit: m          range 0.05 .... 1000."));
  EXPECT_TRUE(Contains(wlnu, "  leseeb = 0.                    ! unit: m          range: 0. .... 1000."));

  auto wlst = file("WLST.INP");
  EXPECT_TRUE(Contains(wlst, "  castwl =    1.    1.    1.    1.   ! unit: g/m^3      range 0. .... 100."));
  EXPECT_TRUE(Contains(wlst, "              1. 0.0025    0.       "));

  auto wbnu = file("WBNU.INP");
  EXPECT_TRUE(Contains(wbnu, "  nzsewb = 0                     ! unit: -          range: 1 .... 50"));
  EXPECT_TRUE(Contains(wbnu, "  lesewb = 0.                    ! unit: m          range: 1.E-4 .... 0.6"));
  EXPECT_TRUE(Contains(wbnu, " leseebb =   0.05               ! unit: m          range 0. .... 0.6"));

  auto wbpa = file("WBPA.INP");
  auto names = std::find(wbpa.begin(), wbpa.end(), "  bdwb                por                 tor");
  ASSERT_NE(names, wbpa.end());
  EXPECT_EQ(names[1], "! kg/m^3              -                   -            unit");
  EXPECT_EQ(std::count_if(wbpa.begin(), wbpa.end(),
                          [](const std::string& l) { return l.rfind("  raomwb", 0) == 0; }),
            0);

  auto wbst = file("WBST.INP");
  EXPECT_TRUE(Contains(wbst, "           7."));
  EXPECT_FALSE(Contains(wbst, "  castwb = 7.                    ! unit: g/m^3      range: 0. .... 1000."));

  auto opout = file("OPOUT.INP");
  EXPECT_TRUE(Contains(opout, "  nwbsy = 0                      ! unit: -          range: 0 .... 9"));
  EXPECT_EQ(std::count_if(opout.begin(), opout.end(),
                          [](const std::string& l) { return l.find("iwbsy =") != std::string::npos; }),
            0);
  EXPECT_TRUE(Contains(opout, "  ktop = 7                       ! unit: -          range: 1 .... 200"));

  auto sl = file("SL.INP");
  EXPECT_TRUE(Contains(sl, "  op_slus = 0                    ! unit: -          range: 0 .... 1"));
  EXPECT_TRUE(Contains(sl, "  ntslus = 2"));
  EXPECT_TRUE(Contains(sl, "        0.              0.001               20.                 320."));
  EXPECT_TRUE(Contains(sl, "       1.5              0.001               20.                 320."));
}

TEST(EditorLayout, SelectedSegmentsOfOpout) {
  EditorFixture f;
  fe::TDitch& ditch = f.data().Ditch();
  ditch.Node(1).SetOutput(false);
  for (int i : {3, 40, 80}) ditch.Node(i).SetOutput(true);
  f.save("S", "P");
  auto lines = Lines(readFile(f.scenarioDir("S") + "/OPOUT.INP"));
  auto first = std::find(lines.begin(), lines.end(),
                         "  iwbsy =  3     ! unit: -       range: 1 .... 200");
  ASSERT_NE(first, lines.end());
  EXPECT_EQ(first[1], "           40");
  EXPECT_EQ(first[2], "           80");
  EXPECT_TRUE(Contains(lines, "  nwbsy = 3                      ! unit: -          range: 0 .... 9"));
}

TEST(EditorFailure, MissingRootFolderRaisesNamingIt) {
  EditorFixture f;
  fs::remove_all(f.ed().Settings().ScenariosDir());
  f.data().SetScenarioName("Nowhere");
  try {
    f.ed().SaveScenario();
    FAIL() << "no exception";
  } catch (const fe::EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot open the folder \"" +
                                         f.ed().Settings().ScenariosDir() + "\""),
              std::string::npos)
        << e.what();
  }
}

TEST(EditorFailure, PartialWriteIsReportedAndReplacesNothing) {
  EditorFixture f;
  f.save("S", "P");
  const std::string wlnu = f.scenarioDir("S") + "/WLNU.INP";
  const std::string before = readFile(wlnu);
  f.data().Ditch().Timestep().SetTime(0, 0, 0, 300);
  // A file-size limit makes the write stop part-way, as a full disk does.
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 512;
  setrlimit(RLIMIT_FSIZE, &small);
  bool thrown = false, scenarioThrown = false;
  std::string message, scenarioMessage;
  try {
    f.ed().WriteWLNU(wlnu);
  } catch (const fe::EInOutError& e) {
    thrown = true;
    message = e.what();
  }
  // The same for the whole scenario.
  try {
    f.ed().SaveScenario();
  } catch (const fe::EInOutError& e) {
    scenarioThrown = true;
    scenarioMessage = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(thrown);
  EXPECT_NE(message.find("WLNU.INP"), std::string::npos) << message;
  EXPECT_TRUE(scenarioThrown);
  EXPECT_NE(scenarioMessage.find("WLNU.INP\": File too large"), std::string::npos) << scenarioMessage;
  EXPECT_EQ(readFile(wlnu), before);
  int count = 0;
  for (auto& e : fs::directory_iterator(f.scenarioDir("S"))) count += e.is_regular_file();
  EXPECT_EQ(count, 9);  // no temporary file left
}

TEST(EditorFiles, ExistingFileIsReplacedUnderItsOwnName) {
  EditorFixture f;
  fs::create_directories(f.scenarioDir("S"));
  // A lower-case file on disk keeps its name; no second file appears.
  std::ofstream(f.scenarioDir("S") + "/hy.inp") << "old";
  f.save("S", "P");
  EXPECT_FALSE(fs::exists(f.scenarioDir("S") + "/HY.INP"));
  EXPECT_NE(readFile(f.scenarioDir("S") + "/hy.inp").find("te = 283."), std::string::npos);
  int count = 0;
  for (auto& e : fs::directory_iterator(f.scenarioDir("S"))) count += e.is_regular_file();
  EXPECT_EQ(count, 9);
}

}  // namespace
}  // namespace kirmel::test
