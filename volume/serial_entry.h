// The typed serial entry as the 32-bit serial it stands for.
#pragma once

#include <string_view>

#include "os/win32_types.h"

namespace volume {

// Hexadecimal, last character least significant; every character that is
// not a hexadecimal digit counts as 0, and digits beyond the eighth from
// the end wrap away. Places are bytes of the ANSI code page: a double-byte
// character takes two, both 0. Never fails.
DWORD ParseHexSerial(std::string_view text);

}  // namespace volume
