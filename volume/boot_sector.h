// The volume serial where the file system keeps it: four little-endian
// bytes in the boot sector (sector 0), read and written through the raw
// volume device. The NT family's way.
#pragma once

#include <string>

#include "os/win32_types.h"
#include "volume/drive.h"
#include "volume/volume_info.h"

namespace volume {

// Where a file system keeps the serial in sector 0, and how to tell that
// the sector really has that field.
struct SerialSlot {
  FileSystemCode code;
  DWORD offset;  // of the least significant of the four bytes
  bool (*carriesSerialField)(const BYTE* sector);
};

// The slot of a file system whose serial is written (codes 2, 11, 20), or null.
const SerialSlot* FindSerialSlot(FileSystemCode code);

// The four bytes at the slot as "%02x%02x-%02x%02x[%02x%02x%02x%02x]"
// (4D 3C 2B 1A read 1a2b-3c4d[1a2b3c4d]); "[--CDFS--]", "[--UDFS--]", or
// "NT<major><minor>-<code>(unknown)" for a file system it does not know;
// the query form when sector 0 could not be read; empty without a buffer.
std::string ReadBootSectorSerial(DriveIndex driveIndex);

// Replaces the four serial bytes of sector 0 and writes it back. 1 when it
// went through the write sequence, 0 when it stopped before writing.
int WriteBootSectorSerial(DriveIndex driveIndex, DWORD serial);

// 0 to go ahead, or a system error code. No lock request is made on any
// platform.
DWORD LockVolume(HANDLE handle);
DWORD UnlockVolume(HANDLE handle);

}  // namespace volume
