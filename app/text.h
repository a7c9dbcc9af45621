// Texts of the system: 8-bit strings in the ANSI code page, and the UTF-16
// form the wide platform calls take.
#pragma once

#include <string>
#include <string_view>

#include "os/win32_types.h"

namespace app {

using WideText = std::basic_string<WCHAR>;

// The ANSI text in UTF-16, through the platform's conversion.
WideText ToWide(std::string_view ansi);

// 2 where a double-byte character of the ANSI code page starts at `index`
// (a lead byte with a byte after it), else 1: the step from one character
// to the next.
size_t CharacterLength(std::string_view text, size_t index);

// Whether `text` contains two consecutive backslashes, searching by
// characters: a match that would start on the trail byte of a double-byte
// character does not count.
bool ContainsDoubleBackslash(std::string_view text);

// Byte-wise substring search, case-sensitive.
bool ContainsBytes(std::string_view text, std::string_view part);

}  // namespace app
