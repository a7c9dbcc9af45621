#include "volume/boot_sector.h"

#include <cstdio>

#include "app/dialogs.h"
#include "os/api.h"
#include "platform/platform.h"
#include "volume/sectors.h"

namespace volume {
namespace {

constexpr DWORD kSerialLength = 4;

// FAT's extended boot signature: 0x29 (serial, label and type follow) or
// 0x28 (the serial alone follows).
template <DWORD kOffset>
bool ExtendedBootSignatureAt(const BYTE* sector) {
  return sector[kOffset] == 0x29 || sector[kOffset] == 0x28;
}

bool NtfsOemName(const BYTE* sector) {
  static const char kName[] = "NTFS    ";
  for (DWORD i = 0; i + 1 < sizeof(kName); ++i) {
    if (sector[3 + i] != static_cast<BYTE>(kName[i])) return false;
  }
  return true;
}

constexpr SerialSlot kSerialSlots[] = {
    {kFatCode, 39, ExtendedBootSignatureAt<38>},
    {kFat32Code, 67, ExtendedBootSignatureAt<66>},
    {kNtfsCode, 72, NtfsOemName},
};

VolumeInfo QueriedInfo(DriveIndex driveIndex) {
  VolumeInfo info;
  QueryVolumeInfo(driveIndex, info);  // a failure leaves a sector size of 0: no buffer
  return info;
}

// Sector 0 of a drive, as far as it could be had. The members are made in
// the order of the steps: open the device, query the volume for its sector
// size, take a buffer of that size, read sector 0 into it (not without a
// buffer). The buffer is released before the device is closed.
struct BootSector {
  explicit BootSector(DriveIndex driveIndex)
      : device(OpenVolumeDevice(driveIndex, &openError)),
        info(QueriedInfo(driveIndex)),
        sector(info.bytesPerSector),
        readResult(sector ? ReadSectors(device.get(), info.bytesPerSector, 0, 1, sector.data())
                          : ERROR_READ_FAULT) {}

  bool Holds(const SerialSlot& slot) const {
    return readResult == NO_ERROR && slot.offset + kSerialLength <= info.bytesPerSector;
  }

  DWORD openError = NO_ERROR;
  const os::UniqueHandle device;
  const VolumeInfo info;
  const SectorBuffer sector;
  const DWORD readResult;
};

DWORD SerialAt(const BYTE* slot) {
  return DWORD{slot[0]} | DWORD{slot[1]} << 8 | DWORD{slot[2]} << 16 | DWORD{slot[3]} << 24;
}

void StoreSerial(BYTE* slot, DWORD serial) {
  for (DWORD i = 0; i < kSerialLength; ++i) slot[i] = static_cast<BYTE>(serial >> (8 * i));
}

std::string DisplayText(const BYTE* slot) {
  char text[24];
  std::snprintf(text, sizeof(text), "%02x%02x-%02x%02x[%02x%02x%02x%02x]", slot[3], slot[2],
                slot[1], slot[0], slot[3], slot[2], slot[1], slot[0]);
  return text;
}

std::string UnknownFileSystemText(DriveIndex driveIndex) {
  const FileSystemCode code = ClassifyFileSystem(driveIndex);
  const unsigned major = platform::GetMajorVersion();
  const unsigned minor = platform::GetMinorVersion();
  char text[48];
  std::snprintf(text, sizeof(text), "NT%d%d-%04d(unknown)", static_cast<int>(major),
                static_cast<int>(minor), static_cast<int>(code));
  return text;
}

std::string SerialTextFor(DriveIndex driveIndex, FileSystemCode code, const BootSector& boot) {
  if (code == kCdfsCode) return "[--CDFS--]";
  if (code == kUdfsCode) return "[--UDFS--]";
  const SerialSlot* slot = FindSerialSlot(code);
  if (slot == nullptr) return UnknownFileSystemText(driveIndex);
  // Without the sector's own bytes, the serial the system reports is the
  // truth we have, and its query form says where it came from.
  if (!boot.Holds(*slot)) return boot.info.serialText;
  return DisplayText(boot.sector.data() + slot->offset);
}

// Why sector 0 could not be had: a device that would not open says more
// than the invalid handle that every transfer on it then fails with.
DWORD ReadFailure(const BootSector& boot) {
  return boot.openError != NO_ERROR ? boot.openError : boot.readResult;
}

// Writes sector 0 and reads it back into the same buffer. 0, or the code
// that tells the user the serial is not on the volume.
DWORD WriteAndConfirm(const BootSector& boot, const SerialSlot& slot, DWORD serial) {
  const DWORD bytesPerSector = boot.info.bytesPerSector;
  const DWORD written = WriteSectors(boot.device.get(), bytesPerSector, 0, 1, boot.sector.data());
  if (written != NO_ERROR) return written;
  const DWORD reread = ReadSectors(boot.device.get(), bytesPerSector, 0, 1, boot.sector.data());
  if (reread != NO_ERROR) return reread;
  return SerialAt(boot.sector.data() + slot.offset) == serial ? NO_ERROR : ERROR_WRITE_FAULT;
}

// Steps from the lock on, with the serial already in the buffer.
void WriteLocked(const BootSector& boot, const SerialSlot& slot, DWORD serial) {
  const DWORD lockResult = LockVolume(boot.device.get());
  if (lockResult != NO_ERROR) {
    app::ShowErrorDialog("Can not lock a disk!");
    app::ShowSystemError(lockResult, app::ShownCode::CallersCode);
    return;
  }
  const DWORD outcome = WriteAndConfirm(boot, slot, serial);
  UnlockVolume(boot.device.get());
  if (outcome != NO_ERROR) app::ShowSystemError(outcome, app::ShownCode::CallersCode);
}

}  // namespace

const SerialSlot* FindSerialSlot(FileSystemCode code) {
  for (const SerialSlot& slot : kSerialSlots) {
    if (slot.code == code) return &slot;
  }
  return nullptr;
}

std::string ReadBootSectorSerial(DriveIndex driveIndex) {
  const BootSector boot(driveIndex);
  if (!boot.sector) {
    app::ShowErrorDialog("Memory!");
    return std::string();
  }
  return SerialTextFor(driveIndex, ClassifyFileSystem(driveIndex), boot);
}

int WriteBootSectorSerial(DriveIndex driveIndex, DWORD serial) {
  const BootSector boot(driveIndex);
  if (!boot.sector) {
    app::ShowSystemError(os::Api().GetLastError());
    return 0;
  }
  const SerialSlot* slot = FindSerialSlot(ClassifyFileSystem(driveIndex));
  if (slot == nullptr) return 0;
  // Never write back a sector that was not read whole from the volume.
  if (boot.readResult != NO_ERROR) {
    app::ShowSystemError(ReadFailure(boot), app::ShownCode::CallersCode);
    return 0;
  }
  // Never put four bytes into boot code or past the sector.
  if (!boot.Holds(*slot) || !slot->carriesSerialField(boot.sector.data())) {
    app::ShowErrorDialog("No serial number field in the boot sector.");
    return 0;
  }
  StoreSerial(boot.sector.data() + slot->offset, serial);
  WriteLocked(boot, *slot, serial);
  return 1;
}

DWORD LockVolume(HANDLE) {
  // Which lock request would apply depends on the platform; none is made
  // on any of them, so the write goes ahead.
  platform::GetPlatformCode();
  return NO_ERROR;
}

DWORD UnlockVolume(HANDLE) {
  platform::GetPlatformCode();
  return NO_ERROR;
}

}  // namespace volume
