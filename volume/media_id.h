// The volume serial set through DOS: the 9x family's way, by the virtual
// device "\\.\vwin32" and the generic block-device request for the media ID.
#pragma once

#include "os/win32_types.h"
#include "volume/drive.h"

namespace volume {

// The register block the DOS request service takes and gives back.
struct DiocRegisters {
  DWORD ebx;
  DWORD edx;
  DWORD ecx;
  DWORD eax;
  DWORD edi;
  DWORD esi;
  DWORD flags;  // bit 0, carry, set on return: the DOS request failed
};
static_assert(sizeof(DiocRegisters) == 28, "the device takes exactly 28 bytes");

#pragma pack(push, 1)
// DOS's media ID.
struct MediaIdRecord {
  WORD infoLevel;
  DWORD serialNumber;
  char volumeLabel[11];
  char fileSystemType[8];
};
#pragma pack(pop)
static_assert(sizeof(MediaIdRecord) == 25, "DOS's record is packed");

constexpr DWORD kDosIoctlService = 1;  // VWIN32_DIOC_DOS_IOCTL
constexpr DWORD kGenericBlockDeviceRequest = 0x440D;
constexpr DWORD kGetMediaId = 0x4866;
constexpr DWORD kSetMediaId = 0x4846;
constexpr DWORD kCarryFlag = 1;

// Reads the drive's media ID, sets it again with `serial`, and reads it back.
// Non-zero only when the drive then reports `serial`; otherwise the user has
// seen "Failed in setting of media ID.".
BOOL SetMediaIdSerial(DriveIndex driveIndex, DWORD serial);

}  // namespace volume
