#include "volume/media_id.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>

#include "tests/unit/volume_fixtures.h"
#include "volume/volume_info.h"

namespace {

using namespace volume_test;
using Calls = std::vector<std::string>;
using Bytes = std::vector<BYTE>;
using Offsets = std::vector<std::uint64_t>;

constexpr DWORD kDosOldSerial = 0x0BADF00D;
constexpr DWORD kDosNewSerial = 0x12345678;
const char kFailed[] = "Failed in setting of media ID.";

TEST(MediaIdLayout, TheRegisterBlockAndTheRecordHaveThePlatformsLayout) {
  EXPECT_EQ(offsetof(volume::DiocRegisters, ebx), 0u);
  EXPECT_EQ(offsetof(volume::DiocRegisters, edx), 4u);
  EXPECT_EQ(offsetof(volume::DiocRegisters, ecx), 8u);
  EXPECT_EQ(offsetof(volume::DiocRegisters, eax), 12u);
  EXPECT_EQ(offsetof(volume::DiocRegisters, flags), 24u);
  EXPECT_EQ(offsetof(volume::MediaIdRecord, serialNumber), 2u);
  EXPECT_EQ(offsetof(volume::MediaIdRecord, volumeLabel), 6u);
  EXPECT_EQ(offsetof(volume::MediaIdRecord, fileSystemType), 17u);
}

// Windows 98 with drive C: a FAT16 volume "DATA" with serial 0BADF00D.
class NineXVolume : public VolumeTest {
 protected:
  std::string image;
  std::string before;
  void SetUp() override {
    machine.SetVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    image = MakeImage(dir, "c.img", {Kind::kFat16, 512, kDosOldSerial, "DATA"});
    world.Mount('C', image);
    before = CopyOf(image, dir.Path("before.img"));
  }
  void ExpectImageUnchanged() { EXPECT_EQ(ChangedOffsets(before, image), Offsets{}); }
  void ExpectFailureShown() {
    EXPECT_EQ(DialogTexts(), Calls{kFailed});
    ExpectNothingHeld();
  }
};

TEST_F(NineXVolume, SetsTheSerialThroughDosChangingOnlyItsFourBytes) {
  EXPECT_NE(volume::SetMediaIdSerial(2, kDosNewSerial), FALSE);
  EXPECT_TRUE(machine.dialogs.empty());
  ExpectNothingHeld();
  EXPECT_EQ(ChangedOffsets(before, image), SlotOffsets(Kind::kFat16));
  EXPECT_EQ(FatlabelSerial(image), "12345678");
  EXPECT_EQ(FsckFindings(image, Kind::kFat16), "");
  EXPECT_EQ(volume::GetSerialText(2), "0bad-f00d(0badf00d)") << "reported as mounted";
}

TEST_F(NineXVolume, OpensTheDeviceThenGetsSetsAndGetsAgainBeforeClosingIt) {
  volume::SetMediaIdSerial(2, kDosNewSerial);
  EXPECT_EQ(world.calls,
            (Calls{"CreateFileA(\\\\.\\vwin32, 0x0, 0x0, 0, 0x4000000) = h1",
                   "DeviceIoControl(h1, 1, eax=0x440d ebx=0x3 ecx=0x4866)",
                   "DeviceIoControl(h1, 1, eax=0x440d ebx=0x3 ecx=0x4846)",
                   "DeviceIoControl(h1, 1, eax=0x440d ebx=0x3 ecx=0x4866)", "CloseHandle(h1)"}));
  for (const os::sim::DosRequest& request : world.dosRequests) {
    EXPECT_EQ(request.registers.flags, 1u) << "carry preset";
    EXPECT_EQ(request.mediaId.at(0) | request.mediaId.at(1), 0) << "info level 0";
  }
}

TEST_F(NineXVolume, TheGetIsSentAClearedRecordAndTheSetWhatTheGetFilledWithTheNewSerial) {
  volume::SetMediaIdSerial(2, kDosNewSerial);
  ASSERT_EQ(world.dosRequests.size(), 3u);
  EXPECT_EQ(world.dosRequests[0].mediaId, Bytes(25, 0));
  Bytes set = {0, 0, 0x78, 0x56, 0x34, 0x12};
  for (const char c : std::string("DATA       FAT16   ")) set.push_back(static_cast<BYTE>(c));
  EXPECT_EQ(world.dosRequests[1].mediaId, set);
}

TEST_F(NineXVolume, AFailedGetSendsNoSetThatWouldBlankTheLabel) {
  world.faults.dos.push_back({0x66, 0x1F, false, 0});
  EXPECT_EQ(volume::SetMediaIdSerial(2, kDosNewSerial), FALSE);
  EXPECT_EQ(world.dosRequests.size(), 1u) << "only the failed get reached DOS";
  ExpectFailureShown();
  ExpectImageUnchanged();
}

TEST_F(NineXVolume, TheDeviceIsClosedBeforeTheDialogIsShown) {
  world.faults.dos.push_back({0x46, 0x13, false, 0});
  volume::SetMediaIdSerial(2, kDosNewSerial);
  EXPECT_EQ(world.calls.back(), "CloseHandle(h1)");
  EXPECT_EQ(world.CountCalls("DeviceIoControl"), 2) << "a failed set is not read back";
  ExpectFailureShown();
}

#if UINTPTR_MAX > 0xFFFFFFFFu
// A 64-bit program told it runs on the 9x family: EDX holds 32 bits.
TEST_F(NineXVolume, ARecordAboveFourGiBIsNeverSentWithItsAddressCut) {
  world.faults.noMemoryBelow4GiB = true;
  EXPECT_EQ(volume::SetMediaIdSerial(2, kDosNewSerial), FALSE);
  EXPECT_EQ(world.CountCalls("DeviceIoControl"), 0);
  ExpectFailureShown();
  ExpectImageUnchanged();
}
#endif

struct DosFailure {
  const char* name;
  std::function<void(os::sim::Machine&, os::sim::VolumeWorld&, TempDir&)> inject;
  DWORD serial = kDosNewSerial;
};
void PrintTo(const DosFailure& c, std::ostream* out) { *out << c.name; }

class FailedMediaId : public NineXVolume, public ::testing::WithParamInterface<DosFailure> {};

TEST_P(FailedMediaId, ReportsTheFailureAndReturnsFalse) {
  GetParam().inject(machine, world, dir);
  EXPECT_EQ(volume::SetMediaIdSerial(2, GetParam().serial), FALSE);
  ExpectFailureShown();
  ExpectImageUnchanged();
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedMediaId,
    ::testing::Values(
        DosFailure{"SetCarries",
                   [](auto&, auto& w, auto&) { w.faults.dos.push_back({0x46, 0x13, false, 0}); }},
        DosFailure{"SetCallFails",
                   [](auto&, auto& w, auto&) { w.faults.dos.push_back({0x46, 0, true, 0}); }},
        // Success answered and nothing changed, as Wine's win98 mode does;
        // even a serial of zero is not confirmed by a get that fills nothing.
        DosFailure{"DeviceChangesNothing",
                   [](auto&, auto& w, auto&) { w.dosRequestsChangeNothing = true; }},
        DosFailure{"DeviceChangesNothingSerialZero",
                   [](auto&, auto& w, auto&) { w.dosRequestsChangeNothing = true; }, 0},
        DosFailure{"NtFamilyHasNoDevice",
                   [](auto& m, auto&, auto&) { m.SetVersion(VER_PLATFORM_WIN32_NT, 6, 1); }},
        DosFailure{"DriveWithoutMedium",
                   [](auto&, auto& w, auto&) { w.drive('C').image.clear(); }},
        DosFailure{"DriveAbsent",
                   [](auto&, auto& w, auto&) { w.AddDrive('C', DRIVE_NO_ROOT_DIR); }},
        DosFailure{"NtfsUnknownToDos",
                   [](auto&, auto& w, auto& d) {
                     w.Mount('C',
                             MakeImage(d, "n.img", {Kind::kNtfs, 512, kDosOldSerial, "NT"}));
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NineXVolume, ReadBackFailureLeavesTheSerialSetButReportsIt) {
  world.faults.dos.push_back({0x66, 0x1F, false, 1});
  EXPECT_EQ(volume::SetMediaIdSerial(2, kDosNewSerial), FALSE);
  ExpectFailureShown();
  EXPECT_EQ(FatlabelSerial(image), "12345678");
}

TEST_F(NineXVolume, TheRequestGoesOutWhateverTheReportedFileSystem) {
  world.drive('C').fileSystemName = "NOVELL";
  EXPECT_NE(volume::SetMediaIdSerial(2, kDosNewSerial), FALSE);
  EXPECT_EQ(world.CountCalls("DeviceIoControl"), 3);
}

TEST_F(NineXVolume, AFat32VolumeKeepsItsSerialAtItsOwnPlace) {
  const std::string fat32 = MakeImage(dir, "e.img", {Kind::kFat32, 512, kDosOldSerial, "BIG"});
  world.Mount('E', fat32);
  const std::string copy = CopyOf(fat32, dir.Path("e-before.img"));
  EXPECT_NE(volume::SetMediaIdSerial(4, kDosNewSerial), FALSE);
  EXPECT_EQ(ChangedOffsets(copy, fat32), SlotOffsets(Kind::kFat32));
}

struct DriveNumber {
  char letter;
  volume::DriveIndex index;
  DWORD number;
};
void PrintTo(const DriveNumber& c, std::ostream* out) { *out << c.letter; }

class DosDriveNumber : public NineXVolume, public ::testing::WithParamInterface<DriveNumber> {};

TEST_P(DosDriveNumber, IsTheIndexPlusOne) {
  world.Mount(GetParam().letter, image);
  EXPECT_NE(volume::SetMediaIdSerial(GetParam().index, kDosNewSerial), FALSE);
  for (const os::sim::DosRequest& request : world.dosRequests) {
    EXPECT_EQ(request.registers.ebx, GetParam().number);
  }
}

INSTANTIATE_TEST_SUITE_P(Drives, DosDriveNumber,
                         ::testing::Values(DriveNumber{'A', 0, 1}, DriveNumber{'C', 2, 3},
                                           DriveNumber{'Z', 25, 26}));

}  // namespace
