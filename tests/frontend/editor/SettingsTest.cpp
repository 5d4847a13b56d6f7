// The settings: the root and its folders, and the sets of output switches
// that the Output page shows as "All" and "Needed for viewing output".
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/TempDir.h"
#include "frontend/editor/Settings.h"

namespace kirmel::test {
namespace {

using Switch = bool fe::TSettings::*;

const std::vector<Switch>& AllSwitches() {
  static const std::vector<Switch> all = {
      &fe::TSettings::op_input,       &fe::TSettings::op_icwlhy,     &fe::TSettings::op_icwb,
      &fe::TSettings::op_wlmb,        &fe::TSettings::op_wlmbnodenr, &fe::TSettings::op_wbsconodenr,
      &fe::TSettings::op_ecnodenr,    &fe::TSettings::op_wbmbnodenr, &fe::TSettings::op_wbmball,
      &fe::TSettings::op_dbnodenr,    &fe::TSettings::op_dbdit};
  return all;
}

TEST(Settings, AllAndNeededOutputSwitches) {
  fe::TSettings s("/k");
  EXPECT_FALSE(s.IsAllOutput());
  EXPECT_FALSE(s.IsNeededOutput());
  for (Switch sw : AllSwitches()) s.*sw = true;
  EXPECT_TRUE(s.IsAllOutput());
  EXPECT_FALSE(s.IsNeededOutput());
  // Each switch counts: one off is not "All".
  for (std::size_t i = 0; i < AllSwitches().size(); ++i) {
    s.*AllSwitches()[i] = false;
    EXPECT_FALSE(s.IsAllOutput()) << "switch " << i;
    s.*AllSwitches()[i] = true;
  }

  s.SetNeededOutput();
  EXPECT_TRUE(s.IsNeededOutput());
  EXPECT_FALSE(s.IsAllOutput());
  const std::vector<Switch> needed = {&fe::TSettings::op_input,       &fe::TSettings::op_wlmb,
                                      &fe::TSettings::op_wbsconodenr, &fe::TSettings::op_ecnodenr,
                                      &fe::TSettings::op_wbmball,     &fe::TSettings::op_dbnodenr,
                                      &fe::TSettings::op_dbdit};
  for (std::size_t i = 0; i < AllSwitches().size(); ++i) {
    const Switch sw = AllSwitches()[i];
    const bool isNeeded = std::find(needed.begin(), needed.end(), sw) != needed.end();
    EXPECT_EQ(s.*sw, isNeeded) << "switch " << i;
    // Any one switch changed leaves the needed set.
    s.*sw = !(s.*sw);
    EXPECT_FALSE(s.IsNeededOutput()) << "switch " << i;
    s.*sw = !(s.*sw);
  }
}

TEST(Settings, RootGivenWithTrailingSeparators) {
  TempDir base;
  const std::string root = base.str();
  for (const std::string& given : {root, root + "/", root + "//", root + "/./"}) {
    fe::TSettings s(given);
    EXPECT_EQ(s.Root(), root) << given;
    EXPECT_EQ(s.RunDirOf("S", "P"), root + "/RUNS/S+P") << given;
    EXPECT_EQ(s.ScenarioDir("S"), root + "/SCENARIOS/S") << given;
    EXPECT_EQ(s.BatchDir, root) << given;
    EXPECT_EQ(s.RunDir, root + "/RUNS/DefaultScenario+DefaultPesticide") << given;
  }
}

}  // namespace
}  // namespace kirmel::test
