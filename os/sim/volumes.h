// Drives, raw volume devices, the 9x DOS-request device and page memory of
// the simulated machine.
//
// A drive is backed by a disk image file: its raw device "\\.\X:" reads and
// writes that file. What the system reports about the mounted volume (file
// system, label, serial) is taken from the image when it is mounted and kept
// apart from the image's bytes, as a real system keeps a mounted volume's
// serial until it is mounted again.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "os/api.h"

namespace os::sim {

struct Drive {
  UINT type = DRIVE_FIXED;
  std::string image;  // the backing disk image; empty: no medium

  // What the system reports for the volume; Mount fills them from the image.
  // Field for field what volume::VolumeInfo holds, yet kept apart on
  // purpose: the machine must not be built from the record under test.
  std::string fileSystemName;
  std::string label;
  DWORD serial = 0;
  DWORD maxComponentLength = 255;
  DWORD fileSystemFlags = 0;
  DWORD sectorsPerCluster = 1;
  DWORD bytesPerSector = 512;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;

  DWORD queryError = 0;      // every volume query fails with it (21: not ready)
  DWORD freeSpaceError = 0;  // only the free-space query fails with it
  std::string remoteName;    // a network drive's connection; empty: not connected
  DWORD connectionError = 0;  // its connection look-up fails with it (1201: off the network)
};

// A fault of ReadFile or WriteFile on a raw volume device.
struct TransferFault {
  DWORD error = 0;         // the call fails with this last error
  DWORD missingBytes = 0;  // or moves this many bytes fewer and reports success
  bool dropped = false;    // or (a write) reports success and stores nothing
  int sparedCalls = 0;     // calls that go through before the fault strikes
  bool silent = false;     // or fails and leaves the last error as it was
};

// A fault of one DOS request through "\\.\vwin32"; it strikes once.
struct DosFault {
  DWORD minorCode = 0;     // 0x66 get media ID, 0x46 set media ID
  DWORD dosError = 0;      // the request returns with the carry set and this in EAX
  bool callFails = false;  // or DeviceIoControl itself fails
  int sparedCalls = 0;     // requests of that code that go through first
};

struct Faults {
  DWORD openError = 0;  // CreateFileA of a raw volume device fails with it (5: access denied)
  DWORD seekError = 0;  // SetFilePointer fails with it
  TransferFault read;
  TransferFault write;
  bool allocationFails = false;  // VirtualAlloc gives nothing, ERROR_NOT_ENOUGH_MEMORY
  // The 64-bit build has no memory below 4 GiB for a DOS request's record,
  // which then stays at an address wider than EDX.
  bool noMemoryBelow4GiB = false;
  std::vector<DosFault> dos;
};

// The platform's DIOC_REGISTERS.
struct DosRegisters {
  DWORD ebx, edx, ecx, eax, edi, esi, flags;
};

// One DOS request as the device received it.
struct DosRequest {
  DosRegisters registers;
  std::vector<BYTE> mediaId;  // the 25 bytes of the record it pointed at
};

class VolumeWorld {
 public:
  VolumeWorld() = default;
  ~VolumeWorld();
  VolumeWorld(const VolumeWorld&) = delete;
  VolumeWorld& operator=(const VolumeWorld&) = delete;

  // A drive backed by `image`, mounted now: its reported file system,
  // label, serial and sector size are read from the image.
  Drive& Mount(char letter, const std::string& image, UINT type = DRIVE_FIXED);
  // A drive without a medium: its queries fail as not ready.
  Drive& AddEmptyDrive(char letter, UINT type);
  // A drive of any kind, with nothing reported yet.
  Drive& AddDrive(char letter, UINT type);
  Drive& drive(char letter);
  bool HasDrive(char letter) const;
  // Reads what the system reports from the image again.
  void Remount(char letter);

  Faults faults;
  // Wine's 9x device: every request succeeds with the carry clear, and
  // nothing is filled in or changed.
  bool dosRequestsChangeNothing = false;

  std::string currentDirectory = "C:\\";
  UINT errorMode = 0;
  // Prompts the system would have shown for a query of an empty drive,
  // when the error mode did not suppress them.
  int criticalErrorPrompts = 0;

  // Every call, with its key arguments, in order ("ReadFile(h1, 512)").
  std::vector<std::string> calls;
  std::vector<DosRequest> dosRequests;
  size_t liveHandles() const { return devices_.size(); }
  size_t liveAllocations() const { return allocations_.size(); }
  // Calls whose log entry starts with `name`.
  int CountCalls(const std::string& name) const;

  // ---- Used by the simulated calls.
  struct Device {
    char letter;  // 0 for "\\.\vwin32"
    DWORD access;
    int file;     // the open image, -1 without one
    std::uint64_t position = 0;
  };
  Device* FindDevice(HANDLE handle);
  Drive* FindDrive(char letter);
  HANDLE AddDevice(const Device& device, std::string* name);
  bool RemoveDevice(HANDLE handle);
  std::string HandleName(HANDLE handle) const;
  void* AddAllocation(size_t size, std::string* name);
  bool RemoveAllocation(void* address);
  std::string AllocationName(void* address) const;
  void Log(std::string entry) { calls.push_back(std::move(entry)); }

 private:
  std::map<char, Drive> drives_;
  std::map<HANDLE, Device> devices_;
  std::map<HANDLE, int> handleNumbers_;
  std::map<void*, int> allocations_;
  int handlesMade_ = 0;
  int allocationsMade_ = 0;
};

// Puts the volume, device, memory and drive calls into the table.
void BindVolumeCalls(Win32Api& table);

}  // namespace os::sim
