// Images beyond 2 GiB, and offsets past 4 GiB, in the 32-bit build too.
#define _FILE_OFFSET_BITS 64  // NOLINT(bugprone-reserved-identifier): the C library's own switch

#include "os/sim/disk_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace os::sim::image {
namespace {

static_assert(sizeof(off_t) == 8, "image offsets must not wrap at 4 GiB");

constexpr std::uint64_t kIsoDescriptorOffset = 0x8000;
constexpr size_t kIsoDescriptorLength = 2048;

DWORD Le16(const BYTE* p) { return DWORD{p[0]} | DWORD{p[1]} << 8; }
DWORD Le32(const BYTE* p) { return Le16(p) | Le16(p + 2) << 16; }

std::string Trimmed(const BYTE* text, size_t length) {
  std::string s(reinterpret_cast<const char*>(text), length);
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::uint64_t FileSize(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

bool LooksLikeFat(const BYTE* s) {
  const DWORD bytesPerSector = Le16(s + 11);
  const bool powerOfTwo = bytesPerSector >= 512 && bytesPerSector <= 4096 &&
                          (bytesPerSector & (bytesPerSector - 1)) == 0;
  return (s[0] == 0xEB || s[0] == 0xE9) && powerOfTwo && s[13] != 0 && s[510] == 0x55 &&
         s[511] == 0xAA && std::memcmp(s + 3, "NTFS    ", 8) != 0;
}

void IdentifyFat(const BYTE* s, std::uint64_t size, Identity* id) {
  const FatFields fields = FindFatFields(s);
  id->fileSystemName = Le16(s + 22) == 0 ? "FAT32" : "FAT";
  id->bytesPerSector = Le16(s + 11);
  id->sectorsPerCluster = s[13];
  id->totalClusters =
      static_cast<DWORD>(size / (std::uint64_t{id->bytesPerSector} * id->sectorsPerCluster));
  id->labelKnown = true;
  if (!fields.present) return;
  id->serial = Le32(s + fields.serialOffset);
  const std::string label = Trimmed(s + fields.labelOffset, kLabelLength);
  id->label = label == "NO NAME" ? "" : label;
}

void IdentifyNtfs(const BYTE* s, Identity* id) {
  id->fileSystemName = "NTFS";
  id->serial = Le32(s + 72);
  id->bytesPerSector = Le16(s + 11);
  id->sectorsPerCluster = s[13] != 0 ? s[13] : 1;
  const std::uint64_t sectors = Le32(s + 40) | std::uint64_t{Le32(s + 44)} << 32;
  id->totalClusters = static_cast<DWORD>(sectors / id->sectorsPerCluster);
}

// ISO 9660 has no serial; systems report a checksum of the primary volume
// descriptor instead. Any stable figure serves here.
void IdentifyIso(const BYTE* d, Identity* id) {
  id->fileSystemName = "CDFS";
  id->label = Trimmed(d + 40, 32);
  id->labelKnown = true;
  id->bytesPerSector = 2048;
  DWORD sum = 0;
  for (size_t i = 0; i < kIsoDescriptorLength; i += 4) sum += Le32(d + i);
  id->serial = sum;
}

}  // namespace

int Open(const std::string& path, bool writable) {
  return ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
}

void Close(int file) { ::close(file); }

size_t ReadAt(int file, std::uint64_t offset, void* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(file, static_cast<char*>(out) + done, size - done,
                              static_cast<off_t>(offset + done));
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t WriteAt(int file, std::uint64_t offset, const void* in, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(file, static_cast<const char*>(in) + done, size - done,
                               static_cast<off_t>(offset + done));
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

FatFields FindFatFields(const BYTE* s) {
  FatFields f;
  if (!LooksLikeFat(s)) return f;
  f.fat32 = Le16(s + 22) == 0;
  const DWORD signatureOffset = f.fat32 ? 66 : 38;
  f.present = s[signatureOffset] == 0x29 || s[signatureOffset] == 0x28;
  f.serialOffset = signatureOffset + 1;
  f.labelOffset = signatureOffset + 5;
  f.typeOffset = signatureOffset + 16;
  return f;
}

Identity Identify(const std::string& path) {
  Identity id;
  std::vector<BYTE> head(kIsoDescriptorOffset + kIsoDescriptorLength);
  const int file = Open(path, false);
  if (file < 0) return id;
  const size_t got = ReadAt(file, 0, head.data(), head.size());
  Close(file);
  const BYTE* iso = head.data() + kIsoDescriptorOffset;
  if (got >= 512 && std::memcmp(head.data() + 3, "NTFS    ", 8) == 0) {
    IdentifyNtfs(head.data(), &id);
  } else if (got >= 512 && LooksLikeFat(head.data())) {
    IdentifyFat(head.data(), FileSize(path), &id);
  } else if (got == head.size() && iso[0] == 1 && std::memcmp(iso + 1, "CD001", 5) == 0) {
    IdentifyIso(iso, &id);
  }
  return id;
}

}  // namespace os::sim::image
