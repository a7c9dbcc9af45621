#include "volume/serial_entry.h"

#include "app/text.h"

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
  // Read from the first byte on, so each step shifts what came before up by
  // one hexadecimal place; 32-bit arithmetic wraps the places beyond the
  // eighth away, as it must.
  DWORD value = 0;
  for (size_t i = 0, length = 0; i < text.size(); i += length) {
    length = app::CharacterLength(text, i);
    // A double-byte character: two places, both 0; its trail byte, such as
    // 0x41, is not the letter A.
    value = length == 2 ? value << 8 : value * 16 + DigitValue(text[i]);
  }
  return value;
}

}  // namespace volume
