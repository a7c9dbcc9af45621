#include "volume/sectors.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/unit/volume_fixtures.h"

namespace {

using namespace volume_test;
using Calls = std::vector<std::string>;

const char kOpenC[] = "CreateFileA(\\\\.\\C:, 0xc0000000, 0x3, 3, 0x80000000) = h1";

// Drive C: a FAT16 volume whose sectors 1 to 3 are marked so that each
// sector's bytes can be told apart.
class RawVolume : public VolumeTest {
 protected:
  std::string image;
  void SetUp() override {
    image = MakeImage(dir, "c.img", {Kind::kFat16, 512, 0x12345678, "RAW"});
    for (BYTE s = 1; s <= 3; ++s) PatchBytes(image, std::uint64_t{512} * s, std::vector<BYTE>(512, s));
    world.Mount('C', image);
  }
};

TEST_F(RawVolume, TheDeviceIsOpenedUpperCaseSharedReadWriteAndWriteThrough) {
  DWORD openError = 99;
  {
    const os::UniqueHandle device = volume::OpenVolumeDevice(2, &openError);
    EXPECT_TRUE(device);
    EXPECT_EQ(openError, 0u);
    EXPECT_EQ(world.liveHandles(), 1u);
  }
  EXPECT_EQ(world.calls, (Calls{kOpenC, "CloseHandle(h1)"}));
  ExpectNothingHeld();
}

TEST_F(RawVolume, AnOpenThatFailsGivesAnInvalidHandleAndItsOwnError) {
  world.faults.openError = ERROR_ACCESS_DENIED;
  DWORD openError = 0;
  {
    const os::UniqueHandle device = volume::OpenVolumeDevice(2, &openError);
    EXPECT_FALSE(device);
    EXPECT_EQ(device.get(), INVALID_HANDLE_VALUE);
  }
  EXPECT_EQ(openError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(world.CountCalls("CloseHandle"), 0) << "an invalid handle is not closed";
}

TEST_F(RawVolume, AnIndexPastZOpensNoDeviceAtAll) {
  // 'A' + 32 is 'a': Windows would take it for drive A.
  for (const volume::DriveIndex index : {26, 32}) {
    DWORD openError = 0;
    EXPECT_FALSE(volume::OpenVolumeDevice(index, &openError));
    EXPECT_EQ(openError, static_cast<DWORD>(ERROR_INVALID_DRIVE)) << index;
  }
  EXPECT_TRUE(world.calls.empty());
}

TEST_F(RawVolume, ASectorBufferIsOneFreshUncachedZeroedPageBlockReleasedWhole) {
  {
    const volume::SectorBuffer buffer(512);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer.size(), 512u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.data()) % 4096, 0u);
    EXPECT_EQ(std::vector<BYTE>(buffer.data(), buffer.data() + 512), std::vector<BYTE>(512, 0));
  }
  EXPECT_EQ(world.calls,
            (Calls{"VirtualAlloc(512, 0x1000, 0x204) = p1", "VirtualFree(p1, 0, 0x8000)"}));
  ExpectNothingHeld();
}

TEST_F(RawVolume, NoPagesMeansAnEmptyBufferAndNothingToRelease) {
  world.faults.allocationFails = true;
  {
    const volume::SectorBuffer buffer(512);
    EXPECT_FALSE(buffer);
    EXPECT_EQ(machine.lastError, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  }
  EXPECT_EQ(world.CountCalls("VirtualFree"), 0);
}

TEST_F(RawVolume, ReadsTheSectorAtItsIndex) {
  const os::UniqueHandle device = volume::OpenVolumeDevice(2);
  const volume::SectorBuffer buffer(512);
  EXPECT_EQ(volume::ReadSectors(device.get(), 512, 2, 1, buffer.data()), 0u);
  EXPECT_EQ(std::vector<BYTE>(buffer.data(), buffer.data() + 512), std::vector<BYTE>(512, 2));
  EXPECT_EQ(world.calls.at(2), "SetFilePointer(h1, 1024, 0, 0)");
  EXPECT_EQ(world.calls.at(3), "ReadFile(h1, 512)");
}

TEST_F(RawVolume, SectorZeroSeeksToOffsetZeroWhateverTheSectorSize) {
  world.drive('C').bytesPerSector = 4096;
  const os::UniqueHandle device = volume::OpenVolumeDevice(2);
  const volume::SectorBuffer buffer(4096);
  EXPECT_EQ(volume::ReadSectors(device.get(), 4096, 0, 1, buffer.data()), 0u);
  EXPECT_EQ(world.calls.at(2), "SetFilePointer(h1, 0, 0, 0)");
  EXPECT_EQ(std::vector<BYTE>(buffer.data() + 512, buffer.data() + 1024),
            std::vector<BYTE>(512, 1));
}

TEST_F(RawVolume, TheByteOffsetIsComputedInSixtyFourBits) {
  world.drive('C').bytesPerSector = 4096;
  const os::UniqueHandle device = volume::OpenVolumeDevice(2);
  const volume::SectorBuffer buffer(4096);
  // 4096 * 0x100001 is 4 GiB and 4 KiB: past the image, so nothing comes back.
  EXPECT_EQ(volume::ReadSectors(device.get(), 4096, 0x100001, 1, buffer.data()),
            static_cast<DWORD>(ERROR_READ_FAULT));
  EXPECT_EQ(world.calls.at(2), "SetFilePointer(h1, 4096, 1, 0)");
  EXPECT_EQ(volume::SeekVolume(device.get(), 0x123456789ull, FILE_BEGIN), 0x123456789ull);
}

TEST_F(RawVolume, SeekingToALowHalfOfAllOnesIsNoFailure) {
  const os::UniqueHandle device = volume::OpenVolumeDevice(2);
  machine.lastError = ERROR_INVALID_HANDLE;  // stale
  EXPECT_EQ(volume::SeekVolume(device.get(), 0xFFFFFFFFull, FILE_BEGIN), 0xFFFFFFFFull);
}

TEST_F(RawVolume, AnUnopenedDeviceFailsTheSeekAndTheBufferKeepsItsZeros) {
  const volume::SectorBuffer buffer(512);
  EXPECT_EQ(volume::SeekVolume(INVALID_HANDLE_VALUE, 0, FILE_BEGIN), volume::kSeekFailed);
  EXPECT_EQ(volume::ReadSectors(INVALID_HANDLE_VALUE, 512, 0, 1, buffer.data()),
            static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(std::vector<BYTE>(buffer.data(), buffer.data() + 512), std::vector<BYTE>(512, 0));
  EXPECT_EQ(world.CountCalls("ReadFile"), 0);
}

TEST_F(RawVolume, WritesTheSectorAtItsIndexAndNothingElse) {
  const std::string before = CopyOf(image, dir.Path("before.img"));
  const os::UniqueHandle device = volume::OpenVolumeDevice(2);
  const volume::SectorBuffer buffer(512);
  std::memset(buffer.data(), 0xA5, 512);
  EXPECT_EQ(volume::WriteSectors(device.get(), 512, 3, 1, buffer.data()), 0u);
  const std::vector<std::uint64_t> changed = ChangedOffsets(before, image);
  ASSERT_EQ(changed.size(), 512u);
  EXPECT_EQ(changed.front(), 1536u);
  EXPECT_EQ(changed.back(), 2047u);
}

struct TransferFaultCase {
  const char* name;
  bool write;
  os::sim::TransferFault fault;
  DWORD result;
};
void PrintTo(const TransferFaultCase& c, std::ostream* out) { *out << c.name; }

class FaultyTransfer : public RawVolume,
                       public ::testing::WithParamInterface<TransferFaultCase> {};

// A fault of either direction, even one that leaves no last error, and a
// short transfer that the platform called a success, never reads as success.
TEST_P(FaultyTransfer, GivesTheFailuresCode) {
  const TransferFaultCase& c = GetParam();
  (c.write ? world.faults.write : world.faults.read) = c.fault;
  const os::UniqueHandle device = volume::OpenVolumeDevice(2);
  const volume::SectorBuffer buffer(512);
  machine.lastError = 0;
  const DWORD result = c.write ? volume::WriteSectors(device.get(), 512, 0, 1, buffer.data())
                               : volume::ReadSectors(device.get(), 512, 0, 1, buffer.data());
  EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyTransfer,
    ::testing::Values(
        TransferFaultCase{"ReadFails", false, {ERROR_NOT_READY, 0, false, 0}, ERROR_NOT_READY},
        TransferFaultCase{"ShortRead", false, {0, 1, false, 0}, ERROR_READ_FAULT},
        TransferFaultCase{"ReadFailsWithoutError", false, {0, 0, false, 0, true},
                          ERROR_READ_FAULT},
        TransferFaultCase{"WriteFails", true, {ERROR_WRITE_PROTECT, 0, false, 0},
                          ERROR_WRITE_PROTECT},
        TransferFaultCase{"ShortWrite", true, {0, 512, false, 0}, ERROR_WRITE_FAULT}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RawVolume, AFailedSeekGivesItsCodeAndTransfersNothing) {
  world.faults.seekError = ERROR_NOT_READY;
  const os::UniqueHandle device = volume::OpenVolumeDevice(2);
  const volume::SectorBuffer buffer(512);
  EXPECT_EQ(volume::WriteSectors(device.get(), 512, 0, 1, buffer.data()),
            static_cast<DWORD>(ERROR_NOT_READY));
  EXPECT_EQ(world.CountCalls("WriteFile"), 0);
}

TEST(UniqueHandle, ClosesWhatItHoldsOnceAndMovesOwnership) {
  os::sim::Machine machine;
  machine.volumes().AddEmptyDrive('A', DRIVE_REMOVABLE);
  {
    os::UniqueHandle first = volume::OpenVolumeDevice(0);
    os::UniqueHandle second = std::move(first);
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_TRUE(second);
    first = std::move(second);
  }
  EXPECT_EQ(machine.volumes().CountCalls("CloseHandle"), 1);
  EXPECT_EQ(machine.volumes().liveHandles(), 0u);
}

}  // namespace
