// Disk image files as the simulated machine's media: real file I/O, and
// what a system makes of a volume's first sectors when it mounts it.
#pragma once

#include <cstdint>
#include <string>

#include "os/win32_types.h"

namespace os::sim::image {

// The image file, for reading or for reading and writing; -1 if it cannot be opened.
int Open(const std::string& path, bool writable);
void Close(int file);

// Bytes at `offset`; returns how many could be read (fewer at the end).
size_t ReadAt(int file, std::uint64_t offset, void* out, size_t size);
size_t WriteAt(int file, std::uint64_t offset, const void* in, size_t size);

// The FAT boot sector's extended fields, where a FAT boot sector has them.
struct FatFields {
  bool present = false;  // a FAT boot sector with an extended boot signature
  bool fat32 = false;
  DWORD serialOffset = 0;
  DWORD labelOffset = 0;
  DWORD typeOffset = 0;
};
constexpr DWORD kLabelLength = 11;
constexpr DWORD kTypeLength = 8;
FatFields FindFatFields(const BYTE* sector);

// What the system reports for a volume, read from the image.
struct Identity {
  std::string fileSystemName;  // "FAT", "FAT32", "NTFS", "CDFS", or empty
  std::string label;
  bool labelKnown = false;  // NTFS keeps its label in a file, not read here
  DWORD serial = 0;
  DWORD bytesPerSector = 512;
  DWORD sectorsPerCluster = 1;
  DWORD totalClusters = 0;
};
Identity Identify(const std::string& path);

}  // namespace os::sim::image
