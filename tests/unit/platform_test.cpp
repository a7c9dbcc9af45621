#include "platform/platform.h"

#include <gtest/gtest.h>

#include "os/sim/machine.h"

namespace {

struct VersionCase {
  DWORD platformId, major, minor;
  platform::PlatformCode code;
  const char* name;
};

class PlatformTable : public ::testing::TestWithParam<VersionCase> {
 protected:
  os::sim::Machine machine;
};

TEST_P(PlatformTable, ClassifiesAndNamesTheVersion) {
  const VersionCase& c = GetParam();
  machine.SetVersion(c.platformId, c.major, c.minor);
  EXPECT_EQ(platform::GetPlatformCode(), c.code);
  EXPECT_EQ(platform::GetPlatformName(), c.name);
  EXPECT_EQ(platform::GetMajorVersion(), c.major);
  EXPECT_EQ(platform::GetMinorVersion(), c.minor);
}

// One row per case of the platform table; rows alike by nature.
INSTANTIATE_TEST_SUITE_P(
    EveryRow, PlatformTable,
    ::testing::Values(VersionCase{0, 3, 10, 1, "Windows3.1(WIN32s)"},
                      VersionCase{1, 4, 0, 2, "Windows95"},
                      VersionCase{1, 4, 10, 4, "Windows98"},
                      VersionCase{1, 4, 90, 6, "WindowsMe"},
                      VersionCase{1, 4, 3, 4, "Windows98"},
                      VersionCase{2, 3, 51, 7, "WindowsNT3.51"},
                      VersionCase{2, 4, 0, 8, "WindowsNT4.0"},
                      VersionCase{2, 5, 0, 9, "WindowsNT5.0"},
                      VersionCase{2, 5, 1, 10, "WindowsNT5.1"},
                      VersionCase{2, 6, 0, 9, "WindowsNT6.0"},
                      VersionCase{2, 6, 1, 10, "WindowsNT6.1"},
                      VersionCase{2, 10, 0, 9, "WindowsNT10.0"},
                      VersionCase{3, 1, 0, 9999, "Unknown"},
                      VersionCase{7, 0, 0, 9999, "Unknown"}),
    [](const ::testing::TestParamInfo<VersionCase>& info) {
      const VersionCase& c = info.param;
      return "id" + std::to_string(c.platformId) + "_v" + std::to_string(c.major) + "_" +
             std::to_string(c.minor);
    });

TEST(Platform, FamiliesSplitAtSevenAndUnknownCountsAsNt) {
  EXPECT_FALSE(platform::IsNtFamily(1));
  EXPECT_FALSE(platform::IsNtFamily(6));
  EXPECT_TRUE(platform::IsNtFamily(7));
  EXPECT_TRUE(platform::IsNtFamily(9999));
}

TEST(Platform, EveryOperationQueriesAfresh) {
  os::sim::Machine machine;
  machine.SetVersion(2, 5, 1);
  EXPECT_EQ(platform::GetPlatformCode(), 10u);
  machine.SetVersion(1, 4, 90);
  EXPECT_EQ(platform::GetPlatformCode(), 6u);
  EXPECT_EQ(platform::GetPlatformName(), "WindowsMe");
  const int before = machine.versionQueries;
  platform::GetMajorVersion();
  platform::GetMinorVersion();
  EXPECT_EQ(machine.versionQueries, before + 2);
}

TEST(Platform, FailedQueryMeansTheNtFamilysUnknownNeverNineX) {
  os::sim::Machine machine;
  machine.versionQueryFails = true;
  EXPECT_EQ(platform::GetPlatformCode(), platform::kUnknownPlatform);
  EXPECT_TRUE(platform::IsNtFamily(platform::GetPlatformCode()));
  EXPECT_EQ(platform::GetPlatformName(), "Unknown");
  EXPECT_EQ(platform::GetMajorVersion(), 0u);
  EXPECT_EQ(platform::GetMinorVersion(), 0u);
}

}  // namespace
