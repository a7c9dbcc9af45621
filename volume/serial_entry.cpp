#include "volume/serial_entry.h"

#include "os/api.h"

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
  const os::Win32Api& api = os::Api();
  // Read from the first byte on, so each step shifts what came before up by
  // one hexadecimal place; 32-bit arithmetic wraps the places beyond the
  // eighth away, as it must.
  DWORD value = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool doubleByte = i + 1 < text.size() && api.IsDBCSLeadByte(static_cast<BYTE>(text[i]));
    if (doubleByte) {
      // Two places, both 0: a trail byte such as 0x41 is not the letter A.
      value <<= 8;
      ++i;
      continue;
    }
    value = value * 16 + DigitValue(text[i]);
  }
  return value;
}

}  // namespace volume
