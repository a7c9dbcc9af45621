#include "os/sim/volumes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "os/sim/disk_image.h"
#include "os/sim/machine.h"
#include "os/sim/volume_calls.h"

namespace os::sim {

VolumeWorld& World() { return Machine::Current().volumes(); }
void SetLastError(DWORD code) { Machine::Current().lastError = code; }
DWORD LastError() { return Machine::Current().lastError; }
char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%x", static_cast<unsigned>(value));
  return text;
}

// ---- The world.

VolumeWorld::~VolumeWorld() {
  for (auto& [handle, device] : devices_) {
    if (device.file >= 0) image::Close(device.file);
  }
  for (auto& [address, number] : allocations_) std::free(address);
}

namespace {

void TakeIdentity(Drive& drive) {
  const image::Identity id = image::Identify(drive.image);
  drive.fileSystemName = id.fileSystemName;
  if (id.labelKnown) drive.label = id.label;
  drive.serial = id.serial;
  drive.bytesPerSector = id.bytesPerSector;
  drive.sectorsPerCluster = id.sectorsPerCluster;
  drive.totalClusters = id.totalClusters;
}

std::string Quoted(LPCSTR text) { return text ? text : "null"; }

}  // namespace

Drive& VolumeWorld::AddDrive(char letter, UINT type) {
  Drive& drive = drives_[UpperLetter(letter)];
  drive = Drive();
  drive.type = type;
  return drive;
}

Drive& VolumeWorld::Mount(char letter, const std::string& image, UINT type) {
  Drive& drive = AddDrive(letter, type);
  drive.image = image;
  TakeIdentity(drive);
  return drive;
}

Drive& VolumeWorld::AddEmptyDrive(char letter, UINT type) {
  Drive& drive = AddDrive(letter, type);
  drive.queryError = ERROR_NOT_READY;
  return drive;
}

Drive& VolumeWorld::drive(char letter) {
  Drive* found = FindDrive(letter);
  if (found == nullptr) std::abort();  // a test asked for a drive it never added
  return *found;
}

bool VolumeWorld::HasDrive(char letter) const { return drives_.count(UpperLetter(letter)) != 0; }

void VolumeWorld::Remount(char letter) { TakeIdentity(drive(letter)); }

Drive* VolumeWorld::FindDrive(char letter) {
  const auto found = drives_.find(UpperLetter(letter));
  return found == drives_.end() ? nullptr : &found->second;
}

int VolumeWorld::CountCalls(const std::string& name) const {
  int count = 0;
  for (const std::string& call : calls) count += call.compare(0, name.size(), name) == 0;
  return count;
}

VolumeWorld::Device* VolumeWorld::FindDevice(HANDLE handle) {
  const auto found = devices_.find(handle);
  return found == devices_.end() ? nullptr : &found->second;
}

HANDLE VolumeWorld::AddDevice(const Device& device, std::string* name) {
  ++handlesMade_;
  // Handle values are never reused, so a stale handle stays invalid.
  HANDLE handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x1000 + 4 * handlesMade_));
  devices_.emplace(handle, device);
  handleNumbers_[handle] = handlesMade_;
  *name = HandleName(handle);
  return handle;
}

bool VolumeWorld::RemoveDevice(HANDLE handle) {
  const auto found = devices_.find(handle);
  if (found == devices_.end()) return false;
  if (found->second.file >= 0) image::Close(found->second.file);
  devices_.erase(found);
  return true;
}

std::string VolumeWorld::HandleName(HANDLE handle) const {
  if (handle == INVALID_HANDLE_VALUE) return "invalid";
  const auto found = handleNumbers_.find(handle);
  return found == handleNumbers_.end() ? "unknown" : "h" + std::to_string(found->second);
}

void* VolumeWorld::AddAllocation(size_t size, std::string* name) {
  void* address = std::aligned_alloc(4096, size);
  if (address == nullptr) return nullptr;
  std::memset(address, 0, size);
  allocations_[address] = ++allocationsMade_;
  *name = AllocationName(address);
  return address;
}

bool VolumeWorld::RemoveAllocation(void* address) {
  const auto found = allocations_.find(address);
  if (found == allocations_.end()) return false;
  std::free(address);
  allocations_.erase(found);
  return true;
}

std::string VolumeWorld::AllocationName(void* address) const {
  const auto found = allocations_.find(address);
  return found == allocations_.end() ? "unknown" : "p" + std::to_string(found->second);
}

// ---- Drive calls.

namespace calls {
namespace {

// The drive of a root path "X:\" (either case), or of the current
// directory for none; null with the last error set otherwise.
Drive* DriveOfRoot(LPCSTR root) {
  VolumeWorld& world = World();
  const std::string path = root ? root : world.currentDirectory.substr(0, 3);
  if (path.size() != 3 || path[1] != ':' || path[2] != '\\') {
    SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  Drive* drive = world.FindDrive(path[0]);
  if (drive == nullptr) SetLastError(ERROR_PATH_NOT_FOUND);
  return drive;
}

// The drive, if a volume query of it goes through.
Drive* QueriedDrive(LPCSTR root) {
  Drive* drive = DriveOfRoot(root);
  if (drive == nullptr || drive->queryError == 0) return drive;
  // An empty drive asks the user first, unless the process said not to.
  VolumeWorld& world = World();
  if (drive->image.empty() && !(world.errorMode & SEM_FAILCRITICALERRORS)) {
    ++world.criticalErrorPrompts;
  }
  SetLastError(drive->queryError);
  return nullptr;
}

// Copies `text` into a caller's buffer of `size` characters, if there is one.
bool CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr) return true;
  if (text.size() + 1 > size) return false;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

template <typename T>
void Put(T* out, T value) {
  if (out != nullptr) *out = value;
}

}  // namespace

BOOL WINAPI GetVolumeInformationA(LPCSTR root, LPSTR label, DWORD labelSize, LPDWORD serial,
                                  LPDWORD maxComponentLength, LPDWORD flags, LPSTR fileSystemName,
                                  DWORD fileSystemNameSize) {
  World().Log("GetVolumeInformationA(" + Quoted(root) + ", " + std::to_string(labelSize) + ", " +
              std::to_string(fileSystemNameSize) + ")");
  const Drive* drive = QueriedDrive(root);
  if (drive == nullptr) return FALSE;
  if (!CopyOut(drive->label, label, labelSize) ||
      !CopyOut(drive->fileSystemName, fileSystemName, fileSystemNameSize)) {
    SetLastError(ERROR_BAD_LENGTH);
    return FALSE;
  }
  Put(serial, drive->serial);
  Put(maxComponentLength, drive->maxComponentLength);
  Put(flags, drive->fileSystemFlags);
  return TRUE;
}

BOOL WINAPI GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                              LPDWORD freeClusters, LPDWORD totalClusters) {
  World().Log("GetDiskFreeSpaceA(" + Quoted(root) + ")");
  const Drive* drive = QueriedDrive(root);
  if (drive == nullptr) return FALSE;
  if (drive->freeSpaceError != 0) {
    SetLastError(drive->freeSpaceError);
    return FALSE;
  }
  Put(sectorsPerCluster, drive->sectorsPerCluster);
  Put(bytesPerSector, drive->bytesPerSector);
  Put(freeClusters, drive->freeClusters);
  Put(totalClusters, drive->totalClusters);
  return TRUE;
}

DWORD WINAPI GetLogicalDrives() {
  VolumeWorld& world = World();
  world.Log("GetLogicalDrives()");
  DWORD mask = 0;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (world.HasDrive(letter)) mask |= DWORD{1} << (letter - 'A');
  }
  return mask;
}

UINT WINAPI GetDriveTypeA(LPCSTR root) {
  World().Log("GetDriveTypeA(" + Quoted(root) + ")");
  const Drive* drive = DriveOfRoot(root);
  return drive == nullptr ? DRIVE_NO_ROOT_DIR : drive->type;
}

DWORD WINAPI WNetGetConnectionA(LPCSTR localName, LPSTR remoteName, LPDWORD length) {
  VolumeWorld& world = World();
  world.Log("WNetGetConnectionA(" + Quoted(localName) + ", " +
            (length ? std::to_string(*length) : std::string("null")) + ")");
  const std::string local = localName ? localName : "";
  const Drive* drive = local.size() == 2 && local[1] == ':' ? world.FindDrive(local[0]) : nullptr;
  if (drive != nullptr && drive->connectionError != 0) return drive->connectionError;
  if (drive == nullptr || drive->type != DRIVE_REMOTE || drive->remoteName.empty()) {
    return ERROR_NOT_CONNECTED;
  }
  const DWORD needed = static_cast<DWORD>(drive->remoteName.size() + 1);
  if (length == nullptr || *length < needed) {
    Put(length, needed);
    return ERROR_MORE_DATA;
  }
  CopyOut(drive->remoteName, remoteName, *length);
  return NO_ERROR;
}

UINT WINAPI SetErrorMode(UINT mode) {
  VolumeWorld& world = World();
  world.Log("SetErrorMode(" + Hex(mode) + ")");
  const UINT previous = world.errorMode;
  world.errorMode = mode;
  return previous;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  const std::string& directory = World().currentDirectory;
  const DWORD length = static_cast<DWORD>(directory.size());
  if (buffer == nullptr || size < length + 1) return length + 1;
  std::memcpy(buffer, directory.c_str(), length + 1);
  return length;
}

}  // namespace calls

void BindVolumeCalls(Win32Api& table) {
#define KESTROVA_SIM_VOLUME_CALL(name) table.name = &calls::name;
  KESTROVA_SIM_VOLUME_CALL(GetVolumeInformationA)
  KESTROVA_SIM_VOLUME_CALL(GetDiskFreeSpaceA)
  KESTROVA_SIM_VOLUME_CALL(CreateFileA)
  KESTROVA_SIM_VOLUME_CALL(ReadFile)
  KESTROVA_SIM_VOLUME_CALL(WriteFile)
  KESTROVA_SIM_VOLUME_CALL(SetFilePointer)
  KESTROVA_SIM_VOLUME_CALL(CloseHandle)
  KESTROVA_SIM_VOLUME_CALL(DeviceIoControl)
  KESTROVA_SIM_VOLUME_CALL(VirtualAlloc)
  KESTROVA_SIM_VOLUME_CALL(VirtualFree)
  KESTROVA_SIM_VOLUME_CALL(GetLogicalDrives)
  KESTROVA_SIM_VOLUME_CALL(GetDriveTypeA)
  KESTROVA_SIM_VOLUME_CALL(WNetGetConnectionA)
  KESTROVA_SIM_VOLUME_CALL(SetErrorMode)
  KESTROVA_SIM_VOLUME_CALL(GetCurrentDirectoryA)
#undef KESTROVA_SIM_VOLUME_CALL
}

}  // namespace os::sim
