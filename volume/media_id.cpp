#include "volume/media_id.h"

#include <cstdint>

#include "app/dialogs.h"
#include "os/api.h"
#include "os/dos_record.h"
#include "os/unique.h"

namespace volume {
namespace {

struct Outcome {
  BOOL called;
  bool carry;
  bool Succeeded() const { return called && !carry; }
};

// One media-ID request for the drive, with the record as its buffer. A
// record EDX cannot address whole (a 64-bit program's) is never sent: DOS
// would read and write at the truncated address.
Outcome DosMediaIdRequest(HANDLE device, DWORD minorCode, DriveIndex driveIndex,
                          MediaIdRecord* record) {
  if (!os::FitsInRegister(record)) return {FALSE, true};
  DiocRegisters registers{};
  registers.eax = kGenericBlockDeviceRequest;
  registers.ebx = DWORD{driveIndex} + 1;  // 1 is A:
  registers.ecx = minorCode;
  registers.edx = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(record));
  registers.flags = kCarryFlag;  // preset: a request nothing answered reads as failed
  DWORD returned = 0;
  const BOOL called = os::Api().DeviceIoControl(device, kDosIoctlService, &registers,
                                                sizeof(registers), &registers,
                                                sizeof(registers), &returned, nullptr);
  return {called, (registers.flags & kCarryFlag) != 0};
}

// Whether the drive now reports `serial`. The record is preset to a value
// other than `serial`, so that a get that fills nothing cannot confirm it.
bool ReportsSerial(HANDLE device, DriveIndex driveIndex, DWORD serial) {
  os::DosRecord<MediaIdRecord> record;
  record->serialNumber = ~serial;
  return DosMediaIdRequest(device, kGetMediaId, driveIndex, record.get()).Succeeded() &&
         record->serialNumber == serial;
}

}  // namespace

BOOL SetMediaIdSerial(DriveIndex driveIndex, DWORD serial) {
  os::UniqueHandle device(os::Api().CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0,
                                                FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  // Info level 0 and nothing stray.
  os::DosRecord<MediaIdRecord> record;
  const bool read =
      DosMediaIdRequest(device.get(), kGetMediaId, driveIndex, record.get()).Succeeded();
  record->serialNumber = serial;
  // The set sends the label and file-system type back too: after a failed
  // get they hold nothing of the volume's, and DOS would write them over
  // the boot sector's own.
  const bool set =
      read && DosMediaIdRequest(device.get(), kSetMediaId, driveIndex, record.get()).Succeeded();
  // A device that answers success and changes nothing must not pass.
  const bool confirmed = set && ReportsSerial(device.get(), driveIndex, serial);
  device.reset();
  if (!confirmed) app::ShowErrorDialog("Failed in setting of media ID.");
  return confirmed ? TRUE : FALSE;
}

}  // namespace volume
