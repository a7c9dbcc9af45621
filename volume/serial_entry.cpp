#include "volume/serial_entry.h"

namespace volume {
namespace {

DWORD DigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<DWORD>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<DWORD>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<DWORD>(c - 'a' + 10);
  return 0;
}

}  // namespace

DWORD ParseHexSerial(std::string_view text) {
  DWORD value = 0;
  DWORD weight = 1;
  for (auto c = text.rbegin(); c != text.rend(); ++c) {
    value += DigitValue(*c) * weight;  // 32-bit arithmetic wraps, as it must
    weight *= 16;
  }
  return value;
}

}  // namespace volume
