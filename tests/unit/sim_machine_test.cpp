// The simulated machine's drive table, as the drive selector will see it:
// the machine the other tests run on must itself answer as Windows does.
#include <gtest/gtest.h>

#include <cstring>

#include "os/sim/machine.h"
#include "os/sim/volumes.h"

namespace {

class DriveTable : public ::testing::Test {
 protected:
  os::sim::Machine machine;
  os::sim::VolumeWorld& world = machine.volumes();
  const os::Win32Api& api = machine.table();

  void SetUp() override {
    world.AddEmptyDrive('A', DRIVE_REMOVABLE);
    world.AddDrive('C', DRIVE_FIXED).label = "System";
    world.AddEmptyDrive('D', DRIVE_CDROM);
    world.AddDrive('Z', DRIVE_REMOTE).remoteName = "\\\\host\\share";
  }
};

TEST_F(DriveTable, ListsTheDrivesAsBitsAndTheirTypesByRoot) {
  EXPECT_EQ(api.GetLogicalDrives(), 0x0200000Du);
  EXPECT_EQ(api.GetDriveTypeA("a:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
  EXPECT_EQ(api.GetDriveTypeA("Z:\\"), static_cast<UINT>(DRIVE_REMOTE));
  EXPECT_EQ(api.GetDriveTypeA("q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST_F(DriveTable, GivesALabelAloneWhenOnlyTheLabelIsAskedFor) {
  char label[261];
  ASSERT_TRUE(api.GetVolumeInformationA("c:\\", label, sizeof(label), nullptr, nullptr, nullptr,
                                        nullptr, 0));
  EXPECT_STREQ(label, "System");
  machine.lastError = 0;
  EXPECT_FALSE(api.GetVolumeInformationA("d:\\", label, sizeof(label), nullptr, nullptr, nullptr,
                                         nullptr, 0));
  EXPECT_EQ(machine.lastError, static_cast<DWORD>(ERROR_NOT_READY));
}

TEST_F(DriveTable, AnEmptyDrivePromptsUnlessCriticalErrorsFail) {
  char label[261];
  const UINT previous = api.SetErrorMode(SEM_FAILCRITICALERRORS);
  api.GetVolumeInformationA("d:\\", label, sizeof(label), nullptr, nullptr, nullptr, nullptr, 0);
  EXPECT_EQ(world.criticalErrorPrompts, 0);
  EXPECT_EQ(api.SetErrorMode(previous), static_cast<UINT>(SEM_FAILCRITICALERRORS));
  api.GetVolumeInformationA("d:\\", label, sizeof(label), nullptr, nullptr, nullptr, nullptr, 0);
  EXPECT_EQ(world.criticalErrorPrompts, 1);
}

TEST_F(DriveTable, GivesANetworkDrivesRemoteNameOrTheLengthItNeeds) {
  char remote[261];
  DWORD length = sizeof(remote);
  EXPECT_EQ(api.WNetGetConnectionA("Z:", remote, &length), static_cast<DWORD>(NO_ERROR));
  EXPECT_STREQ(remote, "\\\\host\\share");
  length = 4;
  EXPECT_EQ(api.WNetGetConnectionA("Z:", remote, &length), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(length, 13u);
  EXPECT_EQ(api.WNetGetConnectionA("C:", remote, &length), static_cast<DWORD>(ERROR_NOT_CONNECTED));
}

TEST_F(DriveTable, GivesTheCurrentDirectoryOrTheSizeItNeeds) {
  world.currentDirectory = "\\\\host\\share\\dir";
  char directory[MAX_PATH];
  EXPECT_EQ(api.GetCurrentDirectoryA(4, directory), 17u);
  EXPECT_EQ(api.GetCurrentDirectoryA(sizeof(directory), directory), 16u);
  EXPECT_STREQ(directory, "\\\\host\\share\\dir");
}

}  // namespace
