// UTF-16 to UTF-8, for the test tools that print or compare what the wide
// platform calls carry (the inspector, the simulated machine). Lone
// surrogates become U+FFFD so the output is always valid UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tools {

inline void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// `units` are UTF-16 code units of any 16-bit character type.
template <typename Unit>
std::string Utf16ToUtf8(const Unit* units, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    uint32_t c = static_cast<uint16_t>(units[i]);
    const uint32_t next = i + 1 < count ? static_cast<uint16_t>(units[i + 1]) : 0;
    if (c >= 0xD800 && c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace tools
