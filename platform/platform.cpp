#include "platform/platform.h"

#include "os/api.h"

namespace platform {
namespace {

// Platform ids beyond the three that Windows has ever used; also what a
// failed query gives, so that a machine we cannot identify is treated as the
// NT family and never takes the 9x write path by accident.
constexpr DWORD kUnrecognisedPlatformId = 0xFFFFFFFFu;

struct VersionRecord {
  DWORD platformId;
  DWORD major;
  DWORD minor;
};

// Each caller gets a fresh query of its own: nothing is cached.
VersionRecord QueryVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  if (!os::Api().GetVersionExA(&info)) return {kUnrecognisedPlatformId, 0, 0};
  return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

PlatformCode NineXCode(DWORD minor) {
  if (minor == 0) return 2;
  if (minor == 90) return 6;
  return 4;
}

PlatformCode NtCode(DWORD major, DWORD minor) {
  if (major < 4) return 7;
  if (major == 4) return 8;
  return minor == 0 ? 9 : 10;
}

const char* NineXSuffix(DWORD minor) {
  if (minor == 0) return "95";
  if (minor == 90) return "Me";
  return "98";
}

}  // namespace

PlatformCode GetPlatformCode() {
  const VersionRecord v = QueryVersion();
  switch (v.platformId) {
    case VER_PLATFORM_WIN32s: return 1;
    case VER_PLATFORM_WIN32_WINDOWS: return NineXCode(v.minor);
    case VER_PLATFORM_WIN32_NT: return NtCode(v.major, v.minor);
    default: return kUnknownPlatform;
  }
}

std::string GetPlatformName() {
  const VersionRecord v = QueryVersion();
  switch (v.platformId) {
    case VER_PLATFORM_WIN32s: return "Windows3.1(WIN32s)";
    case VER_PLATFORM_WIN32_WINDOWS: return std::string("Windows") + NineXSuffix(v.minor);
    case VER_PLATFORM_WIN32_NT:
      return "WindowsNT" + std::to_string(v.major) + "." + std::to_string(v.minor);
    default: return "Unknown";
  }
}

unsigned GetMajorVersion() { return QueryVersion().major; }
unsigned GetMinorVersion() { return QueryVersion().minor; }

}  // namespace platform
