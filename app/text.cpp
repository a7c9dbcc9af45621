#include "app/text.h"

#include "os/api.h"

namespace app {

WideText ToWide(std::string_view ansi) {
  if (ansi.empty()) return WideText();
  const os::Win32Api& api = os::Api();
  const int length = static_cast<int>(ansi.size());
  const int needed = api.MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  if (needed <= 0) return WideText();
  WideText wide(static_cast<size_t>(needed), WCHAR(0));
  api.MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), needed);
  return wide;
}

size_t CharacterLength(std::string_view text, size_t index) {
  // The last byte stands alone whatever it is: no need to ask.
  if (index + 1 >= text.size()) return 1;
  return os::Api().IsDBCSLeadByte(static_cast<BYTE>(text[index])) ? 2 : 1;
}

bool ContainsDoubleBackslash(std::string_view text) {
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) {
    if (text.compare(i, 2, "\\\\") == 0) return true;
  }
  return false;
}

bool ContainsBytes(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace app
