// Raw volume devices "\\.\X:" of the simulated machine, reading and
// writing the drive's image file.
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "os/sim/disk_image.h"
#include "os/sim/volume_calls.h"

namespace os::sim::calls {
namespace {

bool IsDosDevicePath(const std::string& path) {
  return path.size() == 10 && strncasecmp(path.c_str(), "\\\\.\\vwin32", 10) == 0;
}

// The drive letter of "\\.\X:", or 0.
char VolumeLetter(const std::string& path) {
  const bool form = path.size() == 6 && path.compare(0, 4, "\\\\.\\") == 0 && path[5] == ':' &&
                    std::isalpha(static_cast<unsigned char>(path[4]));
  return form ? UpperLetter(path[4]) : '\0';
}

HANDLE Fail(DWORD code, std::string* outcome) {
  SetLastError(code);
  *outcome = "failed " + std::to_string(code);
  return INVALID_HANDLE_VALUE;
}

HANDLE OpenVolume(char letter, DWORD access, DWORD disposition, std::string* outcome) {
  VolumeWorld& world = World();
  const Drive* drive = world.FindDrive(letter);
  if (world.faults.openError != 0) return Fail(world.faults.openError, outcome);
  // A network drive has no volume device on this machine.
  if (drive == nullptr || drive->type == DRIVE_REMOTE) return Fail(ERROR_FILE_NOT_FOUND, outcome);
  if (disposition != OPEN_EXISTING) return Fail(ERROR_INVALID_PARAMETER, outcome);
  int file = -1;
  if (!drive->image.empty()) {
    file = image::Open(drive->image, (access & GENERIC_WRITE) != 0);
    if (file < 0) {
      return Fail(errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND, outcome);
    }
  }
  return world.AddDevice({letter, access, file}, outcome);
}

// A fault that strikes this call, after its spared calls went through.
bool Strikes(TransferFault& fault) {
  if (fault.error == 0 && fault.missingBytes == 0 && !fault.dropped && !fault.silent) return false;
  if (fault.sparedCalls > 0) {
    --fault.sparedCalls;
    return false;
  }
  return true;
}

enum class Direction { kRead, kWrite };

// Why a transfer on `device` cannot start; 0 when it can.
DWORD TransferRefusal(const VolumeWorld::Device* device, Direction direction, DWORD size) {
  if (device == nullptr) return ERROR_INVALID_HANDLE;
  if (device->letter == 0) return ERROR_INVALID_FUNCTION;
  const Drive* drive = World().FindDrive(device->letter);
  if (drive == nullptr || device->file < 0) return ERROR_NOT_READY;
  const DWORD needed = direction == Direction::kRead ? GENERIC_READ : GENERIC_WRITE;
  if (!(device->access & needed)) return ERROR_ACCESS_DENIED;
  if (direction == Direction::kWrite && drive->type == DRIVE_CDROM) return ERROR_WRITE_PROTECT;
  // A volume moves whole sectors only, at sector boundaries.
  const DWORD sector = drive->bytesPerSector;
  if (sector == 0 || size % sector != 0 || device->position % sector != 0) {
    return ERROR_INVALID_PARAMETER;
  }
  return NO_ERROR;
}

DWORD MoveBytes(const VolumeWorld::Device& device, void* buffer, DWORD size, Direction direction) {
  const size_t moved = direction == Direction::kRead
                           ? image::ReadAt(device.file, device.position, buffer, size)
                           : image::WriteAt(device.file, device.position, buffer, size);
  return static_cast<DWORD>(moved);
}

BOOL Transfer(HANDLE handle, void* buffer, DWORD size, LPDWORD done, Direction direction) {
  VolumeWorld& world = World();
  world.Log(std::string(direction == Direction::kRead ? "ReadFile(" : "WriteFile(") +
            world.HandleName(handle) + ", " + std::to_string(size) + ")");
  if (done != nullptr) *done = 0;
  VolumeWorld::Device* device = world.FindDevice(handle);
  const DWORD refusal = TransferRefusal(device, direction, size);
  if (refusal != NO_ERROR) {
    SetLastError(refusal);
    return FALSE;
  }
  TransferFault& fault = direction == Direction::kRead ? world.faults.read : world.faults.write;
  const bool struck = Strikes(fault);
  if (struck && (fault.error != 0 || fault.silent)) {
    if (fault.error != 0) SetLastError(fault.error);
    return FALSE;
  }
  const DWORD wanted = struck ? size - std::min(size, fault.missingBytes) : size;
  const bool dropped = struck && fault.dropped;  // reported as done, stored nowhere
  const DWORD moved = dropped ? wanted : MoveBytes(*device, buffer, wanted, direction);
  device->position += moved;
  if (done != nullptr) *done = moved;
  return TRUE;
}

// Where a seek would lead: the distance is 64 bits when a high half is given.
std::int64_t SeekTarget(const VolumeWorld::Device* device, LONG low, PLONG high, DWORD method) {
  const std::uint64_t lowBits = static_cast<std::uint32_t>(low);
  const std::uint64_t bits = high ? std::uint64_t{static_cast<std::uint32_t>(*high)} << 32 | lowBits
                                  : static_cast<std::uint64_t>(std::int64_t{low});
  const bool fromHere = device != nullptr && method == FILE_CURRENT;
  const std::int64_t base = fromHere ? static_cast<std::int64_t>(device->position) : 0;
  return base + static_cast<std::int64_t>(bits);
}

// Only seeks from the beginning or the current position are modelled.
DWORD SeekRefusal(const VolumeWorld::Device* device, DWORD method, std::int64_t target) {
  if (device == nullptr) return ERROR_INVALID_HANDLE;
  if (device->letter == 0) return ERROR_INVALID_FUNCTION;
  if (World().faults.seekError != 0) return World().faults.seekError;
  if (method != FILE_BEGIN && method != FILE_CURRENT) return ERROR_INVALID_PARAMETER;
  if (target < 0) return ERROR_NEGATIVE_SEEK;
  return NO_ERROR;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD flags, HANDLE) {
  VolumeWorld& world = World();
  const std::string path = name ? name : "";
  std::string outcome;
  HANDLE handle;
  if (IsDosDevicePath(path)) {
    handle = OpenDosDevice(world);
    outcome = handle == INVALID_HANDLE_VALUE ? "failed " + std::to_string(LastError())
                                             : world.HandleName(handle);
  } else if (const char letter = VolumeLetter(path)) {
    handle = OpenVolume(letter, access, disposition, &outcome);
  } else {
    handle = Fail(ERROR_FILE_NOT_FOUND, &outcome);
  }
  world.Log("CreateFileA(" + path + ", " + Hex(access) + ", " + Hex(share) + ", " +
            std::to_string(disposition) + ", " + Hex(flags) + ") = " + outcome);
  return handle;
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED) {
  return Transfer(handle, buffer, size, done, Direction::kRead);
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED) {
  // The write direction only reads the buffer.
  return Transfer(handle, const_cast<void*>(buffer), size, done, Direction::kWrite);
}

DWORD WINAPI SetFilePointer(HANDLE handle, LONG low, PLONG high, DWORD method) {
  VolumeWorld& world = World();
  world.Log("SetFilePointer(" + world.HandleName(handle) + ", " + std::to_string(low) + ", " +
            (high ? std::to_string(*high) : std::string("null")) + ", " + std::to_string(method) +
            ")");
  VolumeWorld::Device* device = world.FindDevice(handle);
  const std::int64_t target = SeekTarget(device, low, high, method);
  const DWORD refusal = SeekRefusal(device, method, target);
  if (refusal != NO_ERROR) {
    SetLastError(refusal);
    return INVALID_SET_FILE_POINTER;
  }
  device->position = static_cast<std::uint64_t>(target);
  if (high != nullptr) *high = static_cast<LONG>(device->position >> 32);
  const DWORD newLow = static_cast<DWORD>(device->position);
  // The one low half that looks like a failure is told apart by the last error.
  if (newLow == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);
  return newLow;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
  VolumeWorld& world = World();
  world.Log("CloseHandle(" + world.HandleName(handle) + ")");
  if (!world.RemoveDevice(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

}  // namespace os::sim::calls
