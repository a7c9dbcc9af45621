#include "volume/sectors.h"

#include <string>

#include "os/api.h"

namespace volume {
namespace {

// "\\.\C:" for index 2: the device path is always in upper case.
std::string DevicePath(DriveIndex driveIndex) {
  return std::string("\\\\.\\") + static_cast<char>('A' + driveIndex) + ":";
}

// A failed call whose last error is 0 must still not read as success.
DWORD LastErrorOr(DWORD fallback) {
  const DWORD code = os::Api().GetLastError();
  return code != NO_ERROR ? code : fallback;
}

template <typename Transfer>
DWORD TransferSectors(HANDLE handle, DWORD bytesPerSector, SectorIndex firstSector, DWORD count,
                      DWORD failureCode, Transfer transfer) {
  const std::uint64_t offset = std::uint64_t{bytesPerSector} * firstSector;
  if (SeekVolume(handle, offset, FILE_BEGIN) == kSeekFailed) return os::Api().GetLastError();
  const DWORD byteCount = bytesPerSector * count;
  DWORD transferred = 0;
  if (!transfer(byteCount, &transferred)) return LastErrorOr(failureCode);
  // The platform called it a success, so its last error says nothing here.
  if (transferred != byteCount) return failureCode;
  return NO_ERROR;
}

}  // namespace

os::UniqueHandle OpenVolumeDevice(DriveIndex driveIndex, DWORD* openError) {
  // Past Z, 'A' + index runs into the lower-case letters, which Windows
  // takes for the devices of drives A to Z: never open one of those.
  if (driveIndex >= kDriveCount) {
    if (openError != nullptr) *openError = ERROR_INVALID_DRIVE;
    return os::UniqueHandle();
  }
  const os::Win32Api& api = os::Api();
  os::UniqueHandle device(api.CreateFileA(DevicePath(driveIndex).c_str(),
                                          GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_WRITE_THROUGH, nullptr));
  if (openError != nullptr) *openError = device ? NO_ERROR : LastErrorOr(ERROR_INVALID_HANDLE);
  return device;
}

SectorBuffer::SectorBuffer(DWORD bytesPerSector)
    : pages_(os::Api().VirtualAlloc(nullptr, bytesPerSector, MEM_COMMIT,
                                    PAGE_READWRITE | PAGE_NOCACHE)),
      size_(pages_ ? bytesPerSector : 0) {}

std::uint64_t SeekVolume(HANDLE handle, std::uint64_t offset, DWORD method) {
  const os::Win32Api& api = os::Api();
  LONG high = static_cast<LONG>(offset >> 32);
  const DWORD low =
      api.SetFilePointer(handle, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, method);
  if (low == INVALID_SET_FILE_POINTER && api.GetLastError() != NO_ERROR) return kSeekFailed;
  return (std::uint64_t{static_cast<DWORD>(high)} << 32) | low;
}

DWORD ReadSectors(HANDLE handle, DWORD bytesPerSector, SectorIndex firstSector, DWORD count,
                  void* buffer) {
  return TransferSectors(handle, bytesPerSector, firstSector, count, ERROR_READ_FAULT,
                         [&](DWORD byteCount, DWORD* transferred) {
                           return os::Api().ReadFile(handle, buffer, byteCount, transferred,
                                                     nullptr);
                         });
}

DWORD WriteSectors(HANDLE handle, DWORD bytesPerSector, SectorIndex firstSector, DWORD count,
                   const void* buffer) {
  return TransferSectors(handle, bytesPerSector, firstSector, count, ERROR_WRITE_FAULT,
                         [&](DWORD byteCount, DWORD* transferred) {
                           return os::Api().WriteFile(handle, buffer, byteCount, transferred,
                                                      nullptr);
                         });
}

}  // namespace volume
