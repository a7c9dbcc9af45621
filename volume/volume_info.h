// What the operating system reports about a drive's volume, and the texts
// and classification the rest of the system takes from it.
#pragma once

#include <string>

#include "os/win32_types.h"
#include "volume/drive.h"

namespace volume {

struct VolumeInfo {
  std::string label;
  std::string fileSystemName;
  std::string serialText;  // "%04x-%04x(%08x)"
  DWORD serialNumber = 0;
  DWORD maxComponentLength = 0;
  DWORD fileSystemFlags = 0;
  DWORD totalClusters = 0;
  DWORD freeClusters = 0;
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
};

// Only 2, 11 and 20 have their boot-sector serial written.
using FileSystemCode = unsigned;
constexpr FileSystemCode kFatCode = 2;
constexpr FileSystemCode kFat32Code = 11;
constexpr FileSystemCode kNtfsCode = 20;
constexpr FileSystemCode kCdfsCode = 50;
constexpr FileSystemCode kUdfsCode = 51;
constexpr FileSystemCode kUnknownFileSystemCode = 9999;

// Fills `record` and returns true; or shows the system's error and returns
// false, leaving `record` as it was.
bool QueryVolumeInfo(DriveIndex driveIndex, VolumeInfo& record);

// Each runs a fresh query of its own and shows its own failure dialog.
std::string GetVolumeLabelText(DriveIndex driveIndex);  // empty after a failure
std::string GetFileSystemText(DriveIndex driveIndex);   // "NotReady" after a failure
std::string GetSerialText(DriveIndex driveIndex);       // empty after a failure
FileSystemCode ClassifyFileSystem(DriveIndex driveIndex);

// The query form of a serial: 1A2B3C4D reads 1a2b-3c4d(1a2b3c4d).
std::string QuerySerialText(DWORD serialNumber);

}  // namespace volume
