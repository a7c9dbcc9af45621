// libFuzzer target: arbitrary boot sectors, sector sizes, file-system names,
// platforms and injected faults through the boot-sector read and write (and,
// on the 9x family, the media-ID write) on the simulated machine.
//
// Every call the volume code makes goes through a watching layer over the
// simulated machine's table, which checks at the moment of each WriteFile
// that the handle has just read sector 0 whole and that the buffer going out
// differs from what was read only in the four serial bytes. After each
// operation the image is compared with its bytes before, every handle and
// page block must be back, and every allocated message text freed.
//
// Input layout (missing bytes read as 0), so that the seeds are real boot
// sectors behind a short header:
//   0      sector-size choice (kSectorSizes; the last two take bytes 1-2)
//   1-2    a raw sector size, little-endian
//   3      file-system name choice (kNames; the last takes bytes 14.. )
//   4-5    fault bits, little-endian (Fault)
//   6      bytes missing from a short transfer, minus one
//   7      platform choice (kPlatforms)
//   8-11   the new serial, little-endian
//   12     drive-index choice (kDriveIndexes)
//   13     length of a custom file-system name
//   14..   the custom name, then the image's bytes
#include <sanitizer/asan_interface.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "os/api.h"
#include "os/sim/disk_image.h"
#include "os/sim/machine.h"
#include "os/sim/volumes.h"
#include "volume/boot_sector.h"
#include "volume/media_id.h"
#include "volume/volume_info.h"

namespace {

using Bytes = std::vector<BYTE>;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "boot_sector_fuzzer: %s\n", what);
  std::abort();
}

void Require(bool holds, const char* what) {
  if (!holds) Fail(what);
}

// KESTROVA_FUZZ_VERBOSE=1 tells what each input did, for reading a crash.
bool Verbose() {
  static const bool verbose = std::getenv("KESTROVA_FUZZ_VERBOSE") != nullptr;
  return verbose;
}

// ---- The input.

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  BYTE At(size_t i) const { return i < size_ ? data_[i] : 0; }
  DWORD Le16(size_t i) const { return DWORD{At(i)} | DWORD{At(i + 1)} << 8; }
  DWORD Le32(size_t i) const { return Le16(i) | Le16(i + 2) << 16; }
  std::string Text(size_t from, size_t length) const {
    std::string text;
    for (size_t i = from; i < from + length && i < size_; ++i) text += static_cast<char>(data_[i]);
    return text;
  }
  Bytes Tail(size_t from) const {
    return from < size_ ? Bytes(data_ + from, data_ + size_) : Bytes();
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

constexpr size_t kHeaderLength = 14;
constexpr DWORD kAsIdentified = 0xFFFFFFFFu;
constexpr DWORD kRaw = 0xFFFFFFFEu;
constexpr DWORD kRawOdd = 0xFFFFFFFDu;

const DWORD kSectorSizes[] = {512, 4096, 0,    1,   511,  513, 1024, 2048, 43,
                              42,  71,   75,   76,  4095, 4097, 8192, kAsIdentified,
                              kRaw, kRawOdd};

// Null: the name the simulated machine reads from the image; the empty
// string at the end stands for the custom name of the input.
const char* const kNames[] = {nullptr, "FAT", "FAT32", "NTFS", "CDFS", "UDFS", "",
                              "fat",   "NTFS ", "FAT12", "exFAT", "custom"};
constexpr size_t kCustomName = sizeof(kNames) / sizeof(kNames[0]) - 1;

struct Platform {
  DWORD id, major, minor;
  bool queryFails;
};
const Platform kPlatforms[] = {
    {VER_PLATFORM_WIN32_NT, 6, 1, false},      {VER_PLATFORM_WIN32_NT, 5, 1, false},
    {VER_PLATFORM_WIN32_NT, 5, 0, false},      {VER_PLATFORM_WIN32_NT, 4, 0, false},
    {VER_PLATFORM_WIN32_NT, 10, 0, false},     {VER_PLATFORM_WIN32_WINDOWS, 4, 10, false},
    {VER_PLATFORM_WIN32_WINDOWS, 4, 0, false}, {VER_PLATFORM_WIN32s, 3, 10, false},
    {VER_PLATFORM_WIN32_NT, 6, 1, true},
};

// The image is always drive C:; the others name drives that do not exist,
// the last letter, and indexes past Z.
const volume::DriveIndex kDriveIndexes[] = {2, 2, 2, 2, 0, 25, 26, 27, 200, 0xFFFF};

enum Fault : DWORD {
  kOpenDenied = 1u << 0,
  kSeekFails = 1u << 1,
  kReadFails = 1u << 2,
  kReadShort = 1u << 3,
  kWriteFails = 1u << 4,
  kWriteShort = 1u << 5,
  kWriteDropped = 1u << 6,
  kAllocationFails = 1u << 7,
  kCdDrive = 1u << 8,
  kQueryFails = 1u << 9,
  kFreeSpaceFails = 1u << 10,
  kImageGone = 1u << 11,
  kNoMedium = 1u << 12,
  kNoMessageTexts = 1u << 13,
  kOnlyConfirmingRead = 1u << 14,  // read faults spare the refresh's and the write's read
  kDosChangesNothing = 1u << 15,
};

template <typename T, size_t N>
const T& Pick(const T (&table)[N], size_t choice) {
  return table[choice % N];
}

// ---- What the volume code does, as seen from the table.

struct ReadRecord {
  bool whole = false;  // the platform moved every byte asked for
  Bytes bytes;
};

struct Watch {
  const os::Win32Api* inner = nullptr;
  os::sim::VolumeWorld* world = nullptr;
  DWORD slotOffset = 0;  // of the file system being written; 0: none may be written
  DWORD serial = 0;
  std::map<HANDLE, ReadRecord> reads;  // the last read on each open handle
  std::map<LPVOID, SIZE_T> blocks;     // page blocks, by the size asked for
  int writes = 0;
  int allocations = 0;
  int wholeReads = 0;
  void Reset() {
    reads.clear();
    writes = allocations = wholeReads = 0;
  }
};
Watch watch;

BOOL WINAPI WatchedReadFile(HANDLE h, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED o) {
  DWORD moved = 0;
  const BOOL ok = watch.inner->ReadFile(h, buffer, size, &moved, o);
  if (done != nullptr) *done = moved;
  ReadRecord& record = watch.reads[h];
  record.whole = ok && moved == size;
  const BYTE* bytes = static_cast<const BYTE*>(buffer);
  record.bytes.assign(bytes, bytes + moved);
  watch.wholeReads += record.whole;
  return ok;
}

bool CarriesField(const Bytes& sector, DWORD slotOffset) {
  if (slotOffset == 72) return std::memcmp(sector.data() + 3, "NTFS    ", 8) == 0;
  return sector[slotOffset - 1] == 0x28 || sector[slotOffset - 1] == 0x29;
}

BOOL WINAPI WatchedWriteFile(HANDLE h, LPCVOID buffer, DWORD size, LPDWORD done,
                             LPOVERLAPPED o) {
  ++watch.writes;
  Require(watch.slotOffset != 0, "a sector was written for a file system without a slot");
  const auto read = watch.reads.find(h);
  Require(read != watch.reads.end() && read->second.whole,
          "a sector was written without a whole read before it on that handle");
  const Bytes& before = read->second.bytes;
  Require(before.size() == size, "the write is not the size of the read");
  const os::sim::VolumeWorld::Device* device = watch.world->FindDevice(h);
  Require(device != nullptr && device->position == 0, "the write is not at sector 0");
  Require(watch.slotOffset + 4 <= size, "the slot does not lie inside the sector");
  Require(CarriesField(before, watch.slotOffset), "the sector read has no serial field");
  const BYTE* out = static_cast<const BYTE*>(buffer);
  for (DWORD i = 0; i < size; ++i) {
    const bool inSlot = i >= watch.slotOffset && i < watch.slotOffset + 4;
    if (inSlot) {
      const BYTE wanted = static_cast<BYTE>(watch.serial >> (8 * (i - watch.slotOffset)));
      Require(out[i] == wanted, "the slot does not hold the new serial, little-endian");
    } else {
      Require(out[i] == before[i], "a byte outside the slot differs from the sector read");
    }
  }
  return watch.inner->WriteFile(h, buffer, size, done, o);
}

BOOL WINAPI WatchedCloseHandle(HANDLE h) {
  watch.reads.erase(h);
  return watch.inner->CloseHandle(h);
}

// The volume code may touch only the bytes it asked for; the simulated
// machine rounds up to whole pages as Windows does, so the rest is poisoned.
LPVOID WINAPI WatchedVirtualAlloc(LPVOID address, SIZE_T size, DWORD type, DWORD protect) {
  LPVOID block = watch.inner->VirtualAlloc(address, size, type, protect);
  if (block == nullptr) return nullptr;
  ++watch.allocations;
  const SIZE_T pages = (size + 4095) / 4096 * 4096;
  ASAN_POISON_MEMORY_REGION(static_cast<char*>(block) + size, pages - size);
  watch.blocks[block] = pages;
  return block;
}

BOOL WINAPI WatchedVirtualFree(LPVOID address, SIZE_T size, DWORD type) {
  const auto found = watch.blocks.find(address);
  if (found != watch.blocks.end()) {
    ASAN_UNPOISON_MEMORY_REGION(address, found->second);
    watch.blocks.erase(found);
  }
  return watch.inner->VirtualFree(address, size, type);
}

os::Win32Api WatchedTable(const os::Win32Api& inner) {
  os::Win32Api table = inner;
  table.ReadFile = WatchedReadFile;
  table.WriteFile = WatchedWriteFile;
  table.CloseHandle = WatchedCloseHandle;
  table.VirtualAlloc = WatchedVirtualAlloc;
  table.VirtualFree = WatchedVirtualFree;
  return table;
}

// ---- The image file.

const std::string& ImagePath() {
  static const std::string path = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(base) + "/kestrova-fuzz-" + std::to_string(getpid()) + ".img";
  }();
  return path;
}

void WriteImage(const Bytes& bytes) {
  FILE* file = std::fopen(ImagePath().c_str(), "wb");
  Require(file != nullptr, "cannot create the image file");
  if (!bytes.empty()) Require(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(),
                              "cannot write the image file");
  std::fclose(file);
}

Bytes ReadImage() {
  Bytes bytes;
  FILE* file = std::fopen(ImagePath().c_str(), "rb");
  Require(file != nullptr, "the image file is gone");
  BYTE chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof(chunk), file)) > 0;) {
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  std::fclose(file);
  return bytes;
}

// ---- Expectations.

volume::FileSystemCode CodeOf(const std::string& name) {
  if (name == "FAT") return volume::kFatCode;
  if (name == "FAT32") return volume::kFat32Code;
  if (name == "NTFS") return volume::kNtfsCode;
  if (name == "CDFS") return volume::kCdfsCode;
  if (name == "UDFS") return volume::kUdfsCode;
  return volume::kUnknownFileSystemCode;
}

DWORD SlotOffsetOf(volume::FileSystemCode code) {
  if (code == volume::kFatCode) return 39;
  if (code == volume::kFat32Code) return 67;
  if (code == volume::kNtfsCode) return 72;
  return 0;
}

std::string DisplayText(const BYTE* s) {
  char text[32];
  std::snprintf(text, sizeof(text), "%02x%02x-%02x%02x[%02x%02x%02x%02x]", s[3], s[2], s[1], s[0],
                s[3], s[2], s[1], s[0]);
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Only bytes in [from, from + 4) may differ; none when `from` is 0.
void RequireOnlySlotChanged(const Bytes& before, const Bytes& after, DWORD from, const char* what) {
  Require(before.size() == after.size(), what);
  for (size_t i = 0; i < before.size(); ++i) {
    const bool inSlot = from != 0 && i >= from && i < from + 4;
    if (!inSlot && before[i] != after[i]) Fail(what);
  }
}

bool SlotHolds(const Bytes& image, DWORD offset, DWORD serial) {
  if (offset == 0 || image.size() < offset + 4) return false;
  DWORD value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | image[offset + i];
  return value == serial;
}

void RequireNothingHeld(const os::sim::Machine& machine, const char* what) {
  Require(watch.world->liveHandles() == 0, what);
  Require(watch.world->liveAllocations() == 0, what);
  Require(watch.blocks.empty(), what);
  Require(machine.localAllocations.empty(), what);
}

// ---- One run.

struct Setup {
  volume::DriveIndex driveIndex;
  DWORD serial;
  DWORD faults;
  Platform platform;
  std::string name;  // what the volume code can see of the reported name
  bool nameFromImage;
  bool nameFits;  // in the 80 characters the query gives it
  Bytes image;
};

Setup Decode(const Input& in) {
  Setup s;
  s.faults = in.Le16(4);
  s.platform = Pick(kPlatforms, in.At(7));
  s.serial = in.Le32(8);
  s.driveIndex = Pick(kDriveIndexes, in.At(12));
  const size_t nameChoice = in.At(3) % (kCustomName + 1);
  const size_t customLength = nameChoice == kCustomName ? in.At(13) % 100 : 0;
  s.nameFromImage = kNames[nameChoice] == nullptr;
  s.name = nameChoice == kCustomName ? in.Text(kHeaderLength, customLength)
                                     : (s.nameFromImage ? "" : kNames[nameChoice]);
  s.image = in.Tail(kHeaderLength + customLength);
  return s;
}

DWORD SectorSize(const Input& in, DWORD identified) {
  const DWORD choice = Pick(kSectorSizes, in.At(0));
  if (choice == kAsIdentified) return identified;
  if (choice == kRaw) return in.Le16(1);
  if (choice == kRawOdd) return in.Le16(1) | 1;
  return choice;
}

void Configure(os::sim::Machine& machine, const Input& in, Setup& s) {
  os::sim::VolumeWorld& world = machine.volumes();
  machine.SetVersion(s.platform.id, s.platform.major, s.platform.minor);
  machine.versionQueryFails = s.platform.queryFails;
  const UINT type = (s.faults & kCdDrive) ? DRIVE_CDROM : DRIVE_FIXED;
  os::sim::Drive& drive = world.Mount('C', ImagePath(), type);
  if (!s.nameFromImage) drive.fileSystemName = s.name;
  // The name reaches the code through a C string buffer.
  s.nameFits = drive.fileSystemName.size() < 80;
  s.name = drive.fileSystemName.substr(0, drive.fileSystemName.find('\0'));
  drive.bytesPerSector = SectorSize(in, drive.bytesPerSector);
  if (s.faults & kQueryFails) drive.queryError = ERROR_NOT_READY;
  if (s.faults & kFreeSpaceFails) drive.freeSpaceError = ERROR_INVALID_PARAMETER;
  if (s.faults & kImageGone) drive.image = ImagePath() + ".gone";
  if (s.faults & kNoMedium) drive.image.clear();
  if (s.faults & kNoMessageTexts) machine.messageTable.clear();

  os::sim::Faults& f = world.faults;
  const DWORD missing = DWORD{in.At(6)} + 1;
  if (s.faults & kOpenDenied) f.openError = ERROR_ACCESS_DENIED;
  if (s.faults & kSeekFails) f.seekError = ERROR_INVALID_PARAMETER;
  if (s.faults & kReadFails) f.read.error = 23;  // data error (CRC)
  if (s.faults & kReadShort) f.read.missingBytes = missing;
  if (s.faults & kOnlyConfirmingRead) f.read.sparedCalls = 2;
  if (s.faults & kWriteFails) f.write.error = ERROR_WRITE_PROTECT;
  if (s.faults & kWriteShort) f.write.missingBytes = missing;
  if (s.faults & kWriteDropped) f.write.dropped = true;
  if (s.faults & kAllocationFails) f.allocationFails = true;
  world.dosRequestsChangeNothing = (s.faults & kDosChangesNothing) != 0;
}

// Whether a volume query of the drive goes through: the image is drive C:.
bool Queried(const Setup& s) {
  return s.driveIndex == 2 && watch.world->drive('C').queryError == 0 && s.nameFits;
}

void CheckRead(os::sim::Machine& machine, const Setup& s, const Bytes& image) {
  const size_t dialogsBefore = machine.dialogs.size();
  watch.Reset();
  watch.slotOffset = 0;  // a read never writes
  const std::string text = volume::ReadBootSectorSerial(s.driveIndex);
  if (Verbose()) {
    std::fprintf(stderr, "read: fs \"%s\", %u-byte sectors, faults %04x -> \"%s\"\n",
                 s.name.c_str(), static_cast<unsigned>(watch.world->drive('C').bytesPerSector),
                 static_cast<unsigned>(s.faults), text.c_str());
  }
  Require(watch.writes == 0, "the read wrote");
  RequireNothingHeld(machine, "the read left a handle, page block or message text held");
  RequireOnlySlotChanged(image, ReadImage(), 0, "the read changed the image");

  const os::sim::Drive& drive = watch.world->drive('C');
  const bool queried = Queried(s);
  const bool buffered = watch.allocations == 1;
  if (!buffered) {
    Require(text.empty(), "a read without a buffer gave a serial");
    Require(!machine.dialogs.empty() && machine.dialogs.back().TextUtf8() == "Memory!",
            "a read without a buffer did not say Memory!");
    return;
  }
  Require(queried, "a buffer was taken for a drive that could not be queried");
  Require(machine.dialogs.size() == dialogsBefore, "a read with a buffer showed a dialog");
  const volume::FileSystemCode code = CodeOf(s.name);
  const DWORD offset = SlotOffsetOf(code);
  if (code == volume::kCdfsCode) {
    Require(text == "[--CDFS--]", "CDFS marker");
  } else if (code == volume::kUdfsCode) {
    Require(text == "[--UDFS--]", "UDFS marker");
  } else if (offset == 0) {
    Require(text.compare(0, 2, "NT") == 0 && EndsWith(text, "-9999(unknown)"),
            "unknown file system text");
  } else if (watch.wholeReads == 1 && offset + 4 <= drive.bytesPerSector) {
    Require(image.size() >= offset + 4, "a whole read from an image too short for the slot");
    Require(text == DisplayText(image.data() + offset),
            "the display text is not the slot's bytes as they stand on the image");
  } else {
    Require(text == volume::QuerySerialText(drive.serial),
            "without sector 0 the serial is not the system's in its query form");
  }
}

void CheckWrite(os::sim::Machine& machine, const Setup& s, const Bytes& image) {
  const size_t dialogsBefore = machine.dialogs.size();
  const volume::FileSystemCode code = CodeOf(s.name);
  watch.Reset();
  watch.slotOffset = SlotOffsetOf(code);
  watch.serial = s.serial;
  const int result = volume::WriteBootSectorSerial(s.driveIndex, s.serial);
  if (Verbose()) {
    std::fprintf(stderr, "write %08x: result %d, %d sector write(s), %zu dialog(s)\n",
                 static_cast<unsigned>(s.serial), result, watch.writes,
                 machine.dialogs.size() - dialogsBefore);
  }
  RequireNothingHeld(machine, "the write left a handle, page block or message text held");
  const Bytes after = ReadImage();
  RequireOnlySlotChanged(image, after, watch.slotOffset, "the write changed a byte outside the slot");
  Require(result == 0 || result == 1, "the write's result is neither 0 nor 1");
  Require(watch.writes == result, "the result does not say whether a write was made");
  if (watch.writes == 0) RequireOnlySlotChanged(image, after, 0, "the image changed without a write");

  const bool queried = Queried(s);
  const bool shown = machine.dialogs.size() > dialogsBefore;
  if (queried && watch.slotOffset != 0 && !SlotHolds(after, watch.slotOffset, s.serial)) {
    Require(shown, "a write that did not reach the volume was not reported");
  }
  if (queried && watch.slotOffset == 0 && watch.allocations == 1) {
    Require(result == 0 && !shown, "a file system without a slot was not refused silently");
  }
}

// The 9x family's write goes through DOS, which knows the FAT fields itself.
void CheckMediaId(os::sim::Machine& machine, const Setup& s, const Bytes& image) {
  const size_t dialogsBefore = machine.dialogs.size();
  watch.Reset();
  watch.slotOffset = 0;  // no raw sector write on this path
  const BOOL set = volume::SetMediaIdSerial(s.driveIndex, s.serial);
  if (Verbose()) std::fprintf(stderr, "media ID %08x: %s\n", static_cast<unsigned>(s.serial),
                              set ? "set" : "refused");
  RequireNothingHeld(machine, "the media-ID write left a handle or message text held");
  Require(watch.writes == 0, "the media-ID write wrote a raw sector");
  const Bytes after = ReadImage();
  DWORD serialOffset = 0;
  if (image.size() >= 512) {
    const os::sim::image::FatFields fields = os::sim::image::FindFatFields(image.data());
    if (fields.present) serialOffset = fields.serialOffset;
  }
  RequireOnlySlotChanged(image, after, serialOffset, "DOS changed a byte outside the serial");
  if (set) {
    Require(SlotHolds(after, serialOffset, s.serial), "a media-ID write called good is not on disk");
  } else {
    Require(machine.dialogs.size() > dialogsBefore, "a failed media-ID write was not reported");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Input in(data, size);
  Setup setup = Decode(in);
  WriteImage(setup.image);
  {
    os::sim::Machine machine;
    watch.inner = &machine.table();
    watch.world = &machine.volumes();
    const os::Win32Api table = WatchedTable(machine.table());
    os::InstallApi(&table);
    Configure(machine, in, setup);

    CheckRead(machine, setup, setup.image);
    const Bytes beforeWrite = ReadImage();
    CheckWrite(machine, setup, beforeWrite);
    if (setup.platform.id != VER_PLATFORM_WIN32_NT) {
      CheckMediaId(machine, setup, ReadImage());
    }
    watch.inner = nullptr;
    watch.world = nullptr;
  }
  return 0;
}
