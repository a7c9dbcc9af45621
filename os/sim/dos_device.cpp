// The 9x virtual device "\\.\vwin32" of the simulated machine, and the DOS
// media-ID requests its DOS request service carries to a drive's image.
#include <cstring>
#include <optional>
#include <vector>

#include "os/sim/disk_image.h"
#include "os/sim/machine.h"
#include "os/sim/volume_calls.h"

namespace os::sim::calls {
namespace {

// The request's numbers are spelt out again here rather than taken from
// volume/: a wrong constant there must not be mirrored by the device.
constexpr DWORD kDosIoctlService = 1;
constexpr DWORD kCarry = 1;
constexpr DWORD kGetMediaId = 0x66;
constexpr DWORD kSetMediaId = 0x46;
constexpr size_t kMediaIdLength = 25;  // info level, serial, label, type; packed
constexpr size_t kMidSerial = 2;
constexpr size_t kMidLabel = 6;
constexpr size_t kMidType = 17;

// DOS's own error numbers.
constexpr DWORD kDosInvalidFunction = 0x01;
constexpr DWORD kDosInvalidDrive = 0x0F;
constexpr DWORD kDosNotReady = 0x15;
constexpr DWORD kDosGeneralFailure = 0x1F;
constexpr DWORD kDosInvalidParameter = 0x57;

BYTE* MediaId(const DosRegisters& r) {
  return reinterpret_cast<BYTE*>(static_cast<std::uintptr_t>(r.edx));
}

bool IsMediaIdRequest(const DosRegisters& r) {
  const DWORD category = (r.ecx >> 8) & 0xFF;
  const DWORD minor = r.ecx & 0xFF;
  return (r.eax & 0xFFFF) == 0x440D && (category == 0x48 || category == 0x08) &&
         (minor == kGetMediaId || minor == kSetMediaId) && r.edx != 0;
}

// The fault that strikes this request, if any; each strikes once.
std::optional<DosFault> StrikingFault(DWORD minorCode) {
  std::vector<DosFault>& faults = World().faults.dos;
  for (auto fault = faults.begin(); fault != faults.end(); ++fault) {
    if (fault->minorCode != minorCode) continue;
    if (fault->sparedCalls > 0) {
      --fault->sparedCalls;
      continue;
    }
    const DosFault struck = *fault;
    faults.erase(fault);
    return struck;
  }
  return std::nullopt;
}

// The drive a request names: 0 the current drive, 1 A:, and so on.
const Drive* RequestedDrive(const DosRegisters& r) {
  const DWORD number = r.ebx & 0xFF;
  if (number > 26) return nullptr;
  const char letter =
      number == 0 ? World().currentDirectory[0] : static_cast<char>('A' + number - 1);
  const Drive* drive = World().FindDrive(letter);
  return (drive != nullptr && drive->type != DRIVE_REMOTE) ? drive : nullptr;
}

// Copies the extended boot record's serial, label and type to or from the record.
DWORD MoveMediaId(int file, BYTE* mid, bool set) {
  BYTE sector[512];
  if (image::ReadAt(file, 0, sector, sizeof(sector)) != sizeof(sector)) return kDosGeneralFailure;
  const image::FatFields fields = image::FindFatFields(sector);
  if (!fields.present) return kDosGeneralFailure;
  struct Part {
    DWORD onDisk;
    size_t inRecord;
    DWORD length;
  };
  const Part parts[] = {
      {fields.serialOffset, kMidSerial, 4},
      {fields.labelOffset, kMidLabel, image::kLabelLength},
      {fields.typeOffset, kMidType, image::kTypeLength},
  };
  for (const Part& part : parts) {
    if (set) {
      image::WriteAt(file, part.onDisk, mid + part.inRecord, part.length);
    } else {
      std::memcpy(mid + part.inRecord, sector + part.onDisk, part.length);
    }
  }
  return 0;
}

// Runs a media-ID request against the drive's image; DOS's error, or 0.
DWORD RunMediaIdRequest(const DosRegisters& r) {
  if (!IsMediaIdRequest(r)) return kDosInvalidFunction;
  const Drive* drive = RequestedDrive(r);
  if (drive == nullptr) return kDosInvalidDrive;
  if (drive->image.empty()) return kDosNotReady;
  BYTE* mid = MediaId(r);
  if (mid[0] != 0 || mid[1] != 0) return kDosInvalidParameter;  // info level must be 0
  const bool set = (r.ecx & 0xFF) == kSetMediaId;
  const int file = image::Open(drive->image, set);
  if (file < 0) return kDosGeneralFailure;
  const DWORD error = MoveMediaId(file, mid, set);
  image::Close(file);
  return error;
}

void Record(const DosRegisters& r) {
  DosRequest request{r, {}};
  if (IsMediaIdRequest(r)) request.mediaId.assign(MediaId(r), MediaId(r) + kMediaIdLength);
  World().dosRequests.push_back(request);
}

std::string Describe(LPVOID in, DWORD inSize) {
  if (in == nullptr || inSize < sizeof(DosRegisters)) return "";
  DosRegisters r;
  std::memcpy(&r, in, sizeof(r));
  return ", eax=" + Hex(r.eax) + " ebx=" + Hex(r.ebx) + " ecx=" + Hex(r.ecx);
}

DWORD Refusal(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize) {
  const VolumeWorld::Device* device = World().FindDevice(handle);
  if (device == nullptr) return ERROR_INVALID_HANDLE;
  if (device->letter != 0 || code != kDosIoctlService) return ERROR_INVALID_FUNCTION;
  if (in == nullptr || out == nullptr || inSize < sizeof(DosRegisters) ||
      outSize < sizeof(DosRegisters)) {
    return ERROR_INVALID_PARAMETER;
  }
  return NO_ERROR;
}

}  // namespace

HANDLE OpenDosDevice(VolumeWorld& world) {
  // Only the 9x family (and Win32s) has it; NT refuses the name.
  const DWORD platformId = Machine::Current().platformId();
  if (platformId != VER_PLATFORM_WIN32_WINDOWS && platformId != VER_PLATFORM_WIN32s) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string name;
  return world.AddDevice({0, 0, -1}, &name);
}

BOOL WINAPI DeviceIoControl(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                            DWORD outSize, LPDWORD returned, LPOVERLAPPED) {
  VolumeWorld& world = World();
  world.Log("DeviceIoControl(" + world.HandleName(handle) + ", " + std::to_string(code) +
            Describe(in, inSize) + ")");
  const DWORD refusal = Refusal(handle, code, in, inSize, out, outSize);
  if (refusal != NO_ERROR) {
    SetLastError(refusal);
    return FALSE;
  }
  DosRegisters r;
  std::memcpy(&r, in, sizeof(r));
  Record(r);
  const std::optional<DosFault> fault = StrikingFault(r.ecx & 0xFF);
  if (fault && fault->callFails) {
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
  }
  DWORD error = 0;
  if (fault) {
    error = fault->dosError;
  } else if (!world.dosRequestsChangeNothing) {
    error = RunMediaIdRequest(r);
  }
  r.flags = error != 0 ? (r.flags | kCarry) : (r.flags & ~kCarry);
  if (error != 0) r.eax = error;
  std::memcpy(out, &r, sizeof(r));
  if (returned != nullptr) *returned = sizeof(r);
  return TRUE;
}

}  // namespace os::sim::calls
