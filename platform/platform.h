// Which Windows platform the system runs on.
#pragma once

#include <string>

namespace platform {

// 1 Win32s, 2 Windows 95, 4 Windows 98, 6 Windows Me, 7 NT 3.x, 8 NT 4.0,
// 9 Windows 2000, 10 Windows XP and later, 9999 not recognised.
using PlatformCode = unsigned;

constexpr PlatformCode kUnknownPlatform = 9999;
constexpr PlatformCode kFirstNtFamilyCode = 7;

PlatformCode GetPlatformCode();
std::string GetPlatformName();
unsigned GetMajorVersion();
unsigned GetMinorVersion();

inline bool IsNtFamily(PlatformCode code) { return code >= kFirstNtFamilyCode; }

}  // namespace platform
