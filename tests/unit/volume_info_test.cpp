#include "volume/volume_info.h"

#include <gtest/gtest.h>

#include "tests/unit/volume_fixtures.h"

namespace {

using namespace volume_test;
using Calls = std::vector<std::string>;

const char kNotReadyDialog[] = "The device is not ready.\r\n\n(Code:00000021)\n";

TEST(QuerySerialText, IsHighDashLowAndTheWholeInLowerCaseHex) {
  EXPECT_EQ(volume::QuerySerialText(0x1A2B3C4D), "1a2b-3c4d(1a2b3c4d)");
  EXPECT_EQ(volume::QuerySerialText(0x0000ABCD), "0000-abcd(0000abcd)");
  EXPECT_EQ(volume::QuerySerialText(0), "0000-0000(00000000)");
  EXPECT_EQ(volume::QuerySerialText(0xFFFFFFFF), "ffff-ffff(ffffffff)");
}

// Drive C: a FAT16 volume "SYSTEM" with serial 1A2B3C4D.
class FatVolumeQuery : public VolumeTest {
 protected:
  void SetUp() override {
    os::sim::Drive& c =
        world.Mount('C', MakeImage(dir, "c.img", {Kind::kFat16, 512, 0x1A2B3C4D, "SYSTEM"}));
    c.fileSystemFlags = 0x3;
    c.sectorsPerCluster = 4;
    c.freeClusters = 100;
    c.totalClusters = 5000;
  }
};

TEST_F(FatVolumeQuery, FillsEveryFieldFromTheTwoQueriesOfTheLowerCaseRoot) {
  volume::VolumeInfo info;
  ASSERT_TRUE(volume::QueryVolumeInfo(2, info));
  EXPECT_EQ(info.label, "SYSTEM");
  EXPECT_EQ(info.fileSystemName, "FAT");
  EXPECT_EQ(info.serialNumber, 0x1A2B3C4Du);
  EXPECT_EQ(info.serialText, "1a2b-3c4d(1a2b3c4d)");
  EXPECT_EQ(info.maxComponentLength, 255u);
  EXPECT_EQ(info.fileSystemFlags, 0x3u);
  EXPECT_EQ(info.sectorsPerCluster, 4u);
  EXPECT_EQ(info.bytesPerSector, 512u);
  EXPECT_EQ(info.freeClusters, 100u);
  EXPECT_EQ(info.totalClusters, 5000u);
  EXPECT_EQ(world.calls,
            (Calls{"GetVolumeInformationA(c:\\, 260, 80)", "GetDiskFreeSpaceA(c:\\)"}));
  EXPECT_TRUE(machine.dialogs.empty());
}

TEST_F(FatVolumeQuery, AFailedFreeSpaceQueryIsNotTestedAndLeavesItsFields) {
  world.drive('C').freeSpaceError = ERROR_NOT_READY;
  volume::VolumeInfo info;
  info.bytesPerSector = 4096;
  info.totalClusters = 7;
  EXPECT_TRUE(volume::QueryVolumeInfo(2, info));
  EXPECT_EQ(info.label, "SYSTEM");
  EXPECT_EQ(info.bytesPerSector, 4096u);
  EXPECT_EQ(info.totalClusters, 7u);
  EXPECT_TRUE(machine.dialogs.empty());
}

TEST_F(FatVolumeQuery, EveryAccessorQueriesAfreshNothingIsCached) {
  EXPECT_EQ(volume::GetVolumeLabelText(2), "SYSTEM");
  world.drive('C').label = "RENAMED";
  world.drive('C').serial = 0x0000ABCD;
  EXPECT_EQ(volume::GetVolumeLabelText(2), "RENAMED");
  EXPECT_EQ(volume::GetSerialText(2), "0000-abcd(0000abcd)");
  EXPECT_EQ(volume::GetFileSystemText(2), "FAT");
  EXPECT_EQ(volume::ClassifyFileSystem(2), volume::kFatCode);
  EXPECT_EQ(world.CountCalls("GetVolumeInformationA"), 5);
}

TEST_F(FatVolumeQuery, TheRootFollowsTheIndexInLowerCase) {
  world.Mount('Z', world.drive('C').image);
  EXPECT_EQ(volume::GetVolumeLabelText(25), "SYSTEM");
  EXPECT_EQ(world.calls.front(), "GetVolumeInformationA(z:\\, 260, 80)");
}

// Drive A: a floppy drive without a disk.
class EmptyFloppy : public VolumeTest {
 protected:
  void SetUp() override { world.AddEmptyDrive('A', DRIVE_REMOVABLE); }
};

TEST_F(EmptyFloppy, AFailedQueryShowsTheSystemsMessageAndLeavesTheRecord) {
  volume::VolumeInfo info;
  info.label = "KEPT";
  info.serialText = "1a2b-3c4d(1a2b3c4d)";
  info.bytesPerSector = 512;
  machine.lastError = 0;
  EXPECT_FALSE(volume::QueryVolumeInfo(0, info));
  EXPECT_EQ(info.label, "KEPT");
  EXPECT_EQ(info.serialText, "1a2b-3c4d(1a2b3c4d)");
  EXPECT_EQ(info.bytesPerSector, 512u);
  EXPECT_EQ(DialogTexts(), Calls{kNotReadyDialog});
  EXPECT_EQ(world.calls, Calls{"GetVolumeInformationA(a:\\, 260, 80)"});
  EXPECT_TRUE(machine.localAllocations.empty());
}

TEST_F(EmptyFloppy, EachAccessorShowsItsOwnDialogAndReturnsItsNeutralValue) {
  EXPECT_EQ(volume::GetFileSystemText(0), "NotReady");
  EXPECT_EQ(machine.dialogs.size(), 1u);
  EXPECT_EQ(volume::ClassifyFileSystem(0), volume::kUnknownFileSystemCode);
  EXPECT_EQ(machine.dialogs.size(), 2u);
  EXPECT_EQ(volume::GetVolumeLabelText(0), "");
  EXPECT_EQ(volume::GetSerialText(0), "");
  EXPECT_EQ(DialogTexts(), Calls(4, kNotReadyDialog));
}

TEST_F(EmptyFloppy, TheErrorModeIsLeftAloneSoThePlatformMayPromptFirst) {
  volume::GetFileSystemText(0);
  EXPECT_EQ(world.CountCalls("SetErrorMode"), 0);
  EXPECT_EQ(world.criticalErrorPrompts, 1);
}

TEST_F(EmptyFloppy, ACodeWithoutMessageTextShowsAnEmptyTextAndThatCode) {
  world.drive('A').queryError = 1117;  // the table has no text for it
  EXPECT_EQ(volume::GetFileSystemText(0), "NotReady");
  EXPECT_EQ(DialogTexts(), Calls{"\n(Code:00001117)\n"});
  EXPECT_TRUE(machine.localAllocations.empty());
}

struct NameCase {
  const char* name;
  volume::FileSystemCode code;
};
void PrintTo(const NameCase& c, std::ostream* out) { *out << '"' << c.name << '"'; }

class ReportedName : public VolumeTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(ReportedName, ClassifiesByTheWholeCaseSensitiveName) {
  world.AddDrive('D', DRIVE_FIXED).fileSystemName = GetParam().name;
  EXPECT_EQ(volume::ClassifyFileSystem(3), GetParam().code);
  EXPECT_TRUE(machine.dialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReportedName,
    ::testing::Values(NameCase{"FAT", 2}, NameCase{"FAT32", 11}, NameCase{"NTFS", 20},
                      NameCase{"CDFS", 50}, NameCase{"UDFS", 51}, NameCase{"fat", 9999},
                      NameCase{"Fat32", 9999}, NameCase{"ntfs", 9999}, NameCase{"FAT ", 9999},
                      NameCase{"FAT3", 9999}, NameCase{"exFAT", 9999}, NameCase{"", 9999}));

struct ImageCase {
  Kind kind;
  volume::FileSystemCode code;
};
void PrintTo(const ImageCase& c, std::ostream* out) { *out << KindName(c.kind); }

class RealImage : public VolumeTest, public ::testing::WithParamInterface<ImageCase> {};

TEST_P(RealImage, ClassifiesTheFileSystemItsToolMade) {
  world.Mount('E', MakeImage(dir, "e.img", {GetParam().kind, 512, 0x01020304, "VOL"}));
  EXPECT_EQ(volume::ClassifyFileSystem(4), GetParam().code);
  EXPECT_EQ(volume::GetSerialText(4), "0102-0304(01020304)");
}

INSTANTIATE_TEST_SUITE_P(Kinds, RealImage,
                         ::testing::Values(ImageCase{Kind::kFat12, 2}, ImageCase{Kind::kFat16, 2},
                                           ImageCase{Kind::kFat32, 11},
                                           ImageCase{Kind::kNtfs, 20}),
                         [](const auto& info) { return std::string(KindName(info.param.kind)); });

}  // namespace
