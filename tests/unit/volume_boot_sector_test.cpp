#include "volume/boot_sector.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/unit/volume_fixtures.h"

namespace {

using namespace volume_test;
using Calls = std::vector<std::string>;
using Offsets = std::vector<std::uint64_t>;

constexpr DWORD kOldSerial = 0x12345678;
constexpr DWORD kNewSerial = 0xCAFEF00D;
constexpr volume::DriveIndex kC = 2;

const char kNoField[] = "No serial number field in the boot sector.";

std::string RecipeName(const ImageRecipe& recipe) {
  return std::string(KindName(recipe.kind)) + "_" + std::to_string(recipe.sectorSize);
}

// Drive C: a volume the real tools made, with serial 12345678.
class BootSector : public VolumeTest, public ::testing::WithParamInterface<ImageRecipe> {
 protected:
  std::string image;
  void SetUp() override {
    image = MakeImage(dir, "c.img", GetParam());
    world.Mount('C', image);
  }
};

TEST_P(BootSector, ReadShowsTheFourSlotBytesAsTheyStandOnTheDisk) {
  EXPECT_EQ(volume::ReadBootSectorSerial(kC), "1234-5678[12345678]");
  EXPECT_TRUE(machine.dialogs.empty());
  ExpectNothingHeld();
}

TEST_P(BootSector, WriteChangesExactlyTheFourSlotBytesAndTheToolsSeeTheNewSerial) {
  const Kind kind = GetParam().kind;
  const std::string before = CopyOf(image, dir.Path("before.img"));
  EXPECT_EQ(volume::WriteBootSectorSerial(kC, kNewSerial), 1);
  EXPECT_TRUE(machine.dialogs.empty());
  ExpectNothingHeld();
  EXPECT_EQ(ChangedOffsets(before, image), SlotOffsets(kind));
  EXPECT_EQ(ReadBytes(image, SlotOffset(kind), 4), (std::vector<BYTE>{0x0D, 0xF0, 0xFE, 0xCA}));
  if (kind == Kind::kNtfs) {
    EXPECT_EQ(BlkidUuid(image), "5EED5EEDCAFEF00D") << "bytes 76 to 79 are the high half";
    EXPECT_EQ(NtfsFindings(image), "");
  } else {
    EXPECT_EQ(FatlabelSerial(image), "CAFEF00D");
    EXPECT_EQ(BlkidUuid(image), "CAFE-F00D");
    EXPECT_EQ(FsckFindings(image, kind), "");
  }
}

TEST_P(BootSector, TheSystemReportsTheMountedSerialUntilTheVolumeIsRemounted) {
  volume::WriteBootSectorSerial(kC, kNewSerial);
  EXPECT_EQ(volume::ReadBootSectorSerial(kC), "cafe-f00d[cafef00d]");
  EXPECT_EQ(volume::GetSerialText(kC), "1234-5678(12345678)");
  world.Remount('C');
  EXPECT_EQ(volume::GetSerialText(kC), "cafe-f00d(cafef00d)");
}

INSTANTIATE_TEST_SUITE_P(
    Images, BootSector,
    ::testing::Values(ImageRecipe{Kind::kFat12, 512, kOldSerial, "FLOPPY"},
                      ImageRecipe{Kind::kFat12, 4096, kOldSerial, "FLOPPY"},
                      ImageRecipe{Kind::kFat16, 512, kOldSerial, "DATA16"},
                      ImageRecipe{Kind::kFat16, 4096, kOldSerial, "DATA16"},
                      ImageRecipe{Kind::kFat32, 512, kOldSerial, "DATA32"},
                      ImageRecipe{Kind::kFat32, 4096, kOldSerial, "DATA32"},
                      ImageRecipe{Kind::kNtfs, 512, kOldSerial, "NTVOL"},
                      ImageRecipe{Kind::kNtfs, 4096, kOldSerial, "NTVOL"}),
    [](const auto& info) { return RecipeName(info.param); });

// Drive C: a FAT16 volume with serial 12345678, on Windows 7.
class Fat16Volume : public VolumeTest {
 protected:
  std::string image;
  void SetUp() override {
    image = MakeImage(dir, "c.img", {Kind::kFat16, 512, kOldSerial, "DATA"});
    world.Mount('C', image);
  }
};

const Calls kReadSequence = {
    "CreateFileA(\\\\.\\C:, 0xc0000000, 0x3, 3, 0x80000000) = h1",
    "GetVolumeInformationA(c:\\, 260, 80)",
    "GetDiskFreeSpaceA(c:\\)",
    "VirtualAlloc(512, 0x1000, 0x204) = p1",
    "SetFilePointer(h1, 0, 0, 0)",
    "ReadFile(h1, 512)",
    "GetVolumeInformationA(c:\\, 260, 80)",  // the classification
    "GetDiskFreeSpaceA(c:\\)",
};

TEST_F(Fat16Volume, ReadOpensQueriesAllocatesReadsClassifiesThenReleasesBufferBeforeHandle) {
  volume::ReadBootSectorSerial(kC);
  Calls expected = kReadSequence;
  expected.insert(expected.end(), {"VirtualFree(p1, 0, 0x8000)", "CloseHandle(h1)"});
  EXPECT_EQ(world.calls, expected);
}

TEST_F(Fat16Volume, WriteGoesOnToOneWriteOfSectorZeroAndReadsItBackIntoTheSameBuffer) {
  const int versionQueriesBefore = machine.versionQueries;
  volume::WriteBootSectorSerial(kC, kNewSerial);
  Calls expected = kReadSequence;
  expected.insert(expected.end(), {"SetFilePointer(h1, 0, 0, 0)", "WriteFile(h1, 512)",
                                   "SetFilePointer(h1, 0, 0, 0)", "ReadFile(h1, 512)",
                                   "VirtualFree(p1, 0, 0x8000)", "CloseHandle(h1)"});
  EXPECT_EQ(world.calls, expected);
  EXPECT_EQ(machine.versionQueries - versionQueriesBefore, 2)
      << "lock and unlock consult the platform";
}

TEST_F(Fat16Volume, LockAndUnlockMakeNoRequestAndLetTheWriteGoAhead) {
  EXPECT_EQ(volume::LockVolume(INVALID_HANDLE_VALUE), 0u);
  EXPECT_EQ(volume::UnlockVolume(INVALID_HANDLE_VALUE), 0u);
  EXPECT_TRUE(world.calls.empty());
  EXPECT_EQ(machine.versionQueries, 2);
}

TEST_F(Fat16Volume, TheSerialsBytesGoInLeastSignificantFirstAndAnExtendedSignature28Serves) {
  PatchBytes(image, 38, {0x28});
  EXPECT_EQ(volume::WriteBootSectorSerial(kC, 0x01020304), 1);
  EXPECT_EQ(ReadBytes(image, 39, 4), (std::vector<BYTE>{0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(volume::ReadBootSectorSerial(kC), "0102-0304[01020304]");
}

TEST_F(Fat16Volume, ADriveThatCannotBeQueriedHasNoSectorSizeAndNothingIsWritten) {
  const std::string before = CopyOf(image, dir.Path("before.img"));
  world.drive('C').queryError = ERROR_NOT_READY;
  EXPECT_EQ(volume::WriteBootSectorSerial(kC, kNewSerial), 0);
  EXPECT_EQ(DialogTexts(), (Calls{"The device is not ready.\r\n\n(Code:00000021)\n",
                                  "The parameter is incorrect.\r\n\n(Code:00000087)\n"}));
  EXPECT_EQ(ChangedOffsets(before, image), Offsets{});
  ExpectNothingHeld();
}

// ---- Every fault of the write: what is written, what the user sees.

struct WriteFault {
  const char* name;
  std::function<void(os::sim::VolumeWorld&, const std::string& image)> inject;
  Calls dialogs;
  int result;
  bool slotWritten;
};
void PrintTo(const WriteFault& c, std::ostream* out) { *out << c.name; }

class FaultyWrite : public Fat16Volume, public ::testing::WithParamInterface<WriteFault> {};

TEST_P(FaultyWrite, WritesNothingUnreadReleasesEverythingAndSaysWhatHappened) {
  const WriteFault& fault = GetParam();
  fault.inject(world, image);
  const std::string before = CopyOf(image, dir.Path("before.img"));
  EXPECT_EQ(volume::WriteBootSectorSerial(kC, kNewSerial), fault.result);
  EXPECT_EQ(DialogTexts(), fault.dialogs);
  EXPECT_EQ(ChangedOffsets(before, image),
            fault.slotWritten ? SlotOffsets(Kind::kFat16) : Offsets{});
  if (fault.result == 0) {
    EXPECT_EQ(world.CountCalls("WriteFile"), 0) << "nothing is written that was not read";
  }
  ExpectNothingHeld();
}

const char kAccessDenied[] = "Access is denied.\r\n\n(Code:00000005)\n";
const char kNotReady[] = "The device is not ready.\r\n\n(Code:00000021)\n";
const char kCannotRead[] =
    "The system cannot read from the specified device.\r\n\n(Code:00000030)\n";
const char kCannotWrite[] =
    "The system cannot write to the specified device.\r\n\n(Code:00000029)\n";
const char kNoMemory[] =
    "Not enough memory resources are available to process this command.\r\n\n(Code:00000008)\n";

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyWrite,
    ::testing::Values(
        WriteFault{"OpenDenied", [](auto& w, auto&) { w.faults.openError = ERROR_ACCESS_DENIED; },
                   {kAccessDenied}, 0, false},
        WriteFault{"SeekFails", [](auto& w, auto&) { w.faults.seekError = ERROR_NOT_READY; },
                   {kNotReady}, 0, false},
        WriteFault{"ReadFails", [](auto& w, auto&) { w.faults.read.error = ERROR_NOT_READY; },
                   {kNotReady}, 0, false},
        WriteFault{"ShortReadCalledSuccess", [](auto& w, auto&) { w.faults.read.missingBytes = 1; },
                   {kCannotRead}, 0, false},
        WriteFault{"NoBuffer", [](auto& w, auto&) { w.faults.allocationFails = true; },
                   {kNoMemory}, 0, false},
        WriteFault{"NoSerialField", [](auto&, auto& image) { PatchBytes(image, 38, {0x00}); },
                   {kNoField}, 0, false},
        WriteFault{"WriteFails",
                   [](auto& w, auto&) { w.faults.write.error = ERROR_ACCESS_DENIED; },
                   {kAccessDenied}, 1, false},
        WriteFault{"ShortWriteCalledSuccess",
                   [](auto& w, auto&) { w.faults.write.missingBytes = 4; }, {kCannotWrite}, 1,
                   true},
        WriteFault{"WriteLostCalledSuccess", [](auto& w, auto&) { w.faults.write.dropped = true; },
                   {kCannotWrite}, 1, false},
        WriteFault{"ReadBackFails",
                   [](auto& w, auto&) { w.faults.read = {ERROR_NOT_READY, 0, false, 1}; },
                   {kNotReady}, 1, true},
        WriteFault{"ReadBackShort", [](auto& w, auto&) { w.faults.read = {0, 1, false, 1}; },
                   {kCannotRead}, 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Every fault of the read: the serial shown.

struct ReadFault {
  const char* name;
  std::function<void(os::sim::VolumeWorld&)> inject;
  const char* text;
  Calls dialogs;
};
void PrintTo(const ReadFault& c, std::ostream* out) { *out << c.name; }

class FaultyRead : public Fat16Volume, public ::testing::WithParamInterface<ReadFault> {};

TEST_P(FaultyRead, ShowsTheSerialTheSystemReportsWithoutAnotherQuery) {
  GetParam().inject(world);
  EXPECT_EQ(volume::ReadBootSectorSerial(kC), GetParam().text);
  EXPECT_EQ(DialogTexts(), GetParam().dialogs);
  EXPECT_LE(world.CountCalls("GetVolumeInformationA"), 2);
  EXPECT_EQ(world.CountCalls("WriteFile"), 0);
  ExpectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyRead,
    ::testing::Values(
        ReadFault{"OpenDenied", [](auto& w) { w.faults.openError = ERROR_ACCESS_DENIED; },
                  "1234-5678(12345678)", {}},
        ReadFault{"SeekFails", [](auto& w) { w.faults.seekError = ERROR_NOT_READY; },
                  "1234-5678(12345678)", {}},
        ReadFault{"ReadFails", [](auto& w) { w.faults.read.error = ERROR_NOT_READY; },
                  "1234-5678(12345678)", {}},
        ReadFault{"ShortReadCalledSuccess", [](auto& w) { w.faults.read.missingBytes = 1; },
                  "1234-5678(12345678)", {}},
        ReadFault{"NoBuffer", [](auto& w) { w.faults.allocationFails = true; }, "", {"Memory!"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Fat16Volume, WithoutABufferTheReadStopsBeforeReadingOrClassifying) {
  world.faults.allocationFails = true;
  volume::ReadBootSectorSerial(kC);
  EXPECT_EQ(CallNames(), (Calls{"CreateFileA", "GetVolumeInformationA", "GetDiskFreeSpaceA",
                                "VirtualAlloc", "CloseHandle"}));
}

// ---- A sector that does not carry the serial field is never written.

struct MissingField {
  const char* name;
  Kind kind;
  std::uint64_t patchOffset;
  std::vector<BYTE> patch;
  const char* reportedName;  // what the system says, if not the image's own
  DWORD reportedSectorSize;  // 0: the image's own
};
void PrintTo(const MissingField& c, std::ostream* out) { *out << c.name; }

class NoSerialField : public VolumeTest, public ::testing::WithParamInterface<MissingField> {};

TEST_P(NoSerialField, RefusesToWriteAndSaysSo) {
  const MissingField& c = GetParam();
  const std::string image = MakeImage(dir, "c.img", {c.kind, 512, kOldSerial, "VOL"});
  os::sim::Drive& drive = world.Mount('C', image);
  if (!c.patch.empty()) PatchBytes(image, c.patchOffset, c.patch);
  if (c.reportedName != nullptr) drive.fileSystemName = c.reportedName;
  if (c.reportedSectorSize != 0) drive.bytesPerSector = c.reportedSectorSize;
  const std::string before = CopyOf(image, dir.Path("before.img"));
  EXPECT_EQ(volume::WriteBootSectorSerial(kC, kNewSerial), 0);
  EXPECT_EQ(DialogTexts(), Calls{kNoField});
  EXPECT_EQ(ChangedOffsets(before, image), Offsets{});
  EXPECT_EQ(world.CountCalls("WriteFile"), 0);
  ExpectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoSerialField,
    ::testing::Values(
        MissingField{"Fat12WithoutExtendedSignature", Kind::kFat12, 38, {0x00}, nullptr, 0},
        MissingField{"Fat16WithoutExtendedSignature", Kind::kFat16, 38, {0x00}, nullptr, 0},
        MissingField{"Fat32WithoutExtendedSignature", Kind::kFat32, 66, {0x00}, nullptr, 0},
        MissingField{"NtfsWithoutItsOemName", Kind::kNtfs, 10, {'X'}, nullptr, 0},
        MissingField{"Fat16ReportedAsFat32", Kind::kFat16, 0, {}, "FAT32", 0},
        MissingField{"Fat32ReportedAsFat", Kind::kFat32, 0, {}, "FAT", 0},
        MissingField{"FatReportedAsNtfs", Kind::kFat16, 0, {}, "NTFS", 0},
        MissingField{"SlotPastTheSector", Kind::kNtfs, 0, {}, nullptr, 64}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VolumeTest, ASlotPastTheSectorReadsAsTheReportedSerial) {
  world.Mount('C', MakeImage(dir, "c.img", {Kind::kNtfs, 512, kOldSerial, "VOL"}))
      .bytesPerSector = 64;
  EXPECT_EQ(volume::ReadBootSectorSerial(kC), "1234-5678(12345678)");
}

// ---- File systems whose serial is not written.

// Drive D: a CD drive with an ISO 9660 disc.
class CdDrive : public VolumeTest {
 protected:
  std::string image;
  void SetUp() override {
    image = MakeIso(dir, "d.iso", "DISC");
    world.Mount('D', image, DRIVE_CDROM);
  }
};

TEST_F(CdDrive, ReadsSectorZeroYetShowsTheMarker) {
  EXPECT_EQ(volume::ReadBootSectorSerial(3), "[--CDFS--]");
  EXPECT_EQ(world.CountCalls("ReadFile(h1, 2048)"), 1);
  EXPECT_TRUE(machine.dialogs.empty());
  ExpectNothingHeld();
}

TEST_F(CdDrive, WriteStopsSilentlyWithoutWriting) {
  const std::string before = CopyOf(image, dir.Path("before.iso"));
  EXPECT_EQ(volume::WriteBootSectorSerial(3, kNewSerial), 0);
  EXPECT_TRUE(machine.dialogs.empty());
  EXPECT_EQ(world.CountCalls("WriteFile"), 0);
  EXPECT_EQ(ChangedOffsets(before, image), Offsets{});
  ExpectNothingHeld();
}

TEST_F(CdDrive, AnUnreadableSectorChangesNeitherTheMarkerNorTheSilence) {
  world.faults.openError = ERROR_ACCESS_DENIED;
  EXPECT_EQ(volume::ReadBootSectorSerial(3), "[--CDFS--]");
  EXPECT_EQ(volume::WriteBootSectorSerial(3, kNewSerial), 0);
  EXPECT_TRUE(machine.dialogs.empty());
}

TEST_F(CdDrive, AUdfsDiscShowsItsMarker) {
  world.drive('D').fileSystemName = "UDFS";
  EXPECT_EQ(volume::ReadBootSectorSerial(3), "[--UDFS--]");
  EXPECT_EQ(volume::WriteBootSectorSerial(3, kNewSerial), 0);
  EXPECT_TRUE(machine.dialogs.empty());
}

struct UnknownCase {
  DWORD major, minor;
  const char* text;
};
void PrintTo(const UnknownCase& c, std::ostream* out) { *out << c.text; }

class UnknownFileSystem : public VolumeTest, public ::testing::WithParamInterface<UnknownCase> {};

TEST_P(UnknownFileSystem, ReadNamesTheVersionAndTheCodeOfASecondClassification) {
  machine.SetVersion(VER_PLATFORM_WIN32_NT, GetParam().major, GetParam().minor);
  world.Mount('C', MakeImage(dir, "c.img", {Kind::kFat16, 512, kOldSerial, "X"}))
      .fileSystemName = "fat";
  EXPECT_EQ(volume::ReadBootSectorSerial(kC), GetParam().text);
  EXPECT_EQ(world.CountCalls("GetVolumeInformationA"), 3);
}

INSTANTIATE_TEST_SUITE_P(Versions, UnknownFileSystem,
                         ::testing::Values(UnknownCase{6, 1, "NT61-9999(unknown)"},
                                           UnknownCase{5, 1, "NT51-9999(unknown)"},
                                           UnknownCase{10, 0, "NT100-9999(unknown)"}));

TEST_F(Fat16Volume, AnUnknownFileSystemIsNeverWrittenEvenWhenUnreadable) {
  world.drive('C').fileSystemName = "exFAT";
  world.faults.read.error = ERROR_NOT_READY;
  const std::string before = CopyOf(image, dir.Path("before.img"));
  EXPECT_EQ(volume::WriteBootSectorSerial(kC, kNewSerial), 0);
  EXPECT_TRUE(machine.dialogs.empty());
  EXPECT_EQ(ChangedOffsets(before, image), Offsets{});
}

}  // namespace
