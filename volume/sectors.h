// Raw sector access to a volume: its raw device, a one-sector page buffer,
// and whole-sector transfers at a sector index. Knows nothing of file systems.
#pragma once

#include <cstdint>

#include "os/unique.h"
#include "volume/drive.h"

namespace volume {

using SectorIndex = std::uint64_t;

// SeekVolume's result when the device position could not be moved.
constexpr std::uint64_t kSeekFailed = ~std::uint64_t{0};

// Opens "\\.\C:" (upper case, for index 2) for reading and writing, shared,
// write-through. The caller does not have to test the result: transfers on
// an unopened device fail. `openError`, when given, receives why the open
// failed (0 when it did not).
os::UniqueHandle OpenVolumeDevice(DriveIndex driveIndex, DWORD* openError = nullptr);

// Exactly one sector, committed fresh from the page allocator, uncached:
// page-aligned and zero-filled. Released on destruction.
class SectorBuffer {
 public:
  explicit SectorBuffer(DWORD bytesPerSector);

  explicit operator bool() const { return static_cast<bool>(pages_); }
  BYTE* data() const { return static_cast<BYTE*>(pages_.get()); }
  DWORD size() const { return size_; }

 private:
  os::UniquePages pages_;
  DWORD size_;
};

// The new device position, or kSeekFailed.
std::uint64_t SeekVolume(HANDLE handle, std::uint64_t offset, DWORD method);

// bytesPerSector * count bytes from sector firstSector on. 0 on success;
// otherwise the last error of the failed call, or, for a transfer the
// platform called successful but that moved fewer bytes, the system's
// "cannot read from" (30) or "cannot write to the specified device" (29).
DWORD ReadSectors(HANDLE handle, DWORD bytesPerSector, SectorIndex firstSector, DWORD count,
                  void* buffer);
DWORD WriteSectors(HANDLE handle, DWORD bytesPerSector, SectorIndex firstSector, DWORD count,
                   const void* buffer);

}  // namespace volume
