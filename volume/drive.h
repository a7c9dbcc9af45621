// The drive index every volume operation takes.
#pragma once

#include <cstdint>

namespace volume {

// 0 for A:, 1 for B:, and so on.
using DriveIndex = std::uint16_t;

// Indexes beyond Z: name no drive.
constexpr DriveIndex kDriveCount = 26;

}  // namespace volume
