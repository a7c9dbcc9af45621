// Real disk images for the volume tests, made and checked by the real
// tools (mkfs.fat, mkntfs, ntfslabel, genisoimage, cmp, fatlabel, blkid,
// fsck.fat, ntfsinfo, ntfsfix) in a temporary directory. A missing tool
// fails the test that needed it, loudly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "os/sim/machine.h"
#include "os/sim/volumes.h"

namespace volume_test {

struct ToolRun {
  int status;
  std::string output;  // stdout and stderr
};
ToolRun Run(const std::string& command);
// The command's output; a test failure, with that output, unless it exits 0.
std::string MustRun(const std::string& command);

// Owns a folder, as the machine owns its state: neither may be copied
// (the same deleted pair as os::sim::Machine's).
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

enum class Kind { kFat12, kFat16, kFat32, kNtfs };

struct ImageRecipe {
  Kind kind;
  DWORD sectorSize;
  DWORD serial;
  std::string label;
  bool small = false;  // as small as the tool allows, for many writes
};

const char* KindName(Kind kind);
void PrintTo(const ImageRecipe& recipe, std::ostream* out);
// Where the serial lives in sector 0.
DWORD SlotOffset(Kind kind);
// The name the system reports for the kind: "FAT", "FAT32" or "NTFS".
const char* ReportedName(Kind kind);

// Makes the image with the real tools; returns its path.
std::string MakeImage(const TempDir& dir, const std::string& name, const ImageRecipe& recipe);
std::string MakeIso(const TempDir& dir, const std::string& name, const std::string& label);
// A sparse copy, to compare against later.
std::string CopyOf(const std::string& path, const std::string& copy);

std::vector<BYTE> ReadBytes(const std::string& path, std::uint64_t offset, size_t length);
std::vector<BYTE> ReadWhole(const std::string& path);
void PatchBytes(const std::string& path, std::uint64_t offset, const std::vector<BYTE>& bytes);

// Offsets (from 0) at which the files differ, as `cmp -l` lists them.
std::vector<std::uint64_t> ChangedOffsets(const std::string& before, const std::string& after);
std::vector<std::uint64_t> SlotOffsets(Kind kind);

// The serial as the outside tools read it, upper-case hexadecimal.
std::string FatlabelSerial(const std::string& path);  // "CAFEF00D"
std::string BlkidUuid(const std::string& path);       // "CAFE-F00D", or 16 digits for NTFS

// fsck.fat -n exits 0 and finds nothing but, on FAT32, the backup boot
// sector's difference in exactly the serial bytes; the text of any other
// finding otherwise (empty when clean).
std::string FsckFindings(const std::string& path, Kind kind);
// For NTFS: ntfsinfo reads the volume and ntfsfix -n finds nothing but the
// alternate boot sector's difference.
std::string NtfsFindings(const std::string& path);

// A simulated machine with drives on real images.
class VolumeTest : public ::testing::Test {
 protected:
  os::sim::Machine machine;
  os::sim::VolumeWorld& world = machine.volumes();
  TempDir dir;

  std::vector<std::string> DialogTexts() const;
  // No handle and no page block of the machine is still held.
  void ExpectNothingHeld() const;
  // The call log's names only, in order.
  std::vector<std::string> CallNames() const;
};

}  // namespace volume_test
