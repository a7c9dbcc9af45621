#include "volume/volume_info.h"

#include <cstdio>
#include <cstring>

#include "app/dialogs.h"
#include "os/api.h"

namespace volume {
namespace {

constexpr DWORD kLabelBufferSize = 260;
constexpr DWORD kFileSystemNameBufferSize = 80;

struct NamedFileSystem {
  const char* name;
  FileSystemCode code;
};

// Compared in this order, each as the whole, case-sensitive name.
constexpr NamedFileSystem kFileSystems[] = {
    {"FAT", kFatCode},   {"FAT32", kFat32Code}, {"NTFS", kNtfsCode},
    {"CDFS", kCdfsCode}, {"UDFS", kUdfsCode},
};

// "c:\" for index 2: the root path is always in lower case.
std::string RootPath(DriveIndex driveIndex) {
  char root[8];
  std::snprintf(root, sizeof(root), "%c:\\", static_cast<char>('a' + driveIndex));
  return root;
}

std::string BufferText(const char* buffer, size_t size) {
  return std::string(buffer, strnlen(buffer, size));
}

VolumeInfo QueryOrDefault(DriveIndex driveIndex) {
  VolumeInfo record;
  QueryVolumeInfo(driveIndex, record);
  return record;
}

}  // namespace

std::string QuerySerialText(DWORD serialNumber) {
  char text[24];
  std::snprintf(text, sizeof(text), "%04x-%04x(%08x)", static_cast<unsigned>(serialNumber >> 16),
                static_cast<unsigned>(serialNumber & 0xFFFFu), static_cast<unsigned>(serialNumber));
  return text;
}

bool QueryVolumeInfo(DriveIndex driveIndex, VolumeInfo& record) {
  const os::Win32Api& api = os::Api();
  char label[kLabelBufferSize] = {};
  char fileSystemName[kFileSystemNameBufferSize] = {};
  DWORD serial = 0, maxComponentLength = 0, flags = 0;
  if (!api.GetVolumeInformationA(RootPath(driveIndex).c_str(), label, kLabelBufferSize, &serial,
                                 &maxComponentLength, &flags, fileSystemName,
                                 kFileSystemNameBufferSize)) {
    app::ShowSystemError(api.GetLastError());
    return false;
  }
  record.label = BufferText(label, sizeof(label));
  record.fileSystemName = BufferText(fileSystemName, sizeof(fileSystemName));
  record.serialNumber = serial;
  record.maxComponentLength = maxComponentLength;
  record.fileSystemFlags = flags;
  record.serialText = QuerySerialText(serial);
  // Not tested: a failed free-space query leaves those four fields as they were.
  api.GetDiskFreeSpaceA(RootPath(driveIndex).c_str(), &record.sectorsPerCluster,
                        &record.bytesPerSector, &record.freeClusters, &record.totalClusters);
  return true;
}

std::string GetVolumeLabelText(DriveIndex driveIndex) { return QueryOrDefault(driveIndex).label; }

std::string GetFileSystemText(DriveIndex driveIndex) {
  VolumeInfo record;
  if (!QueryVolumeInfo(driveIndex, record)) return "NotReady";
  return record.fileSystemName;
}

std::string GetSerialText(DriveIndex driveIndex) { return QueryOrDefault(driveIndex).serialText; }

FileSystemCode ClassifyFileSystem(DriveIndex driveIndex) {
  const std::string name = QueryOrDefault(driveIndex).fileSystemName;
  for (const NamedFileSystem& known : kFileSystems) {
    if (name == known.name) return known.code;
  }
  return kUnknownFileSystemCode;
}

}  // namespace volume
