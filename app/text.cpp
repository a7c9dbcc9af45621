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

bool ContainsDoubleBackslash(std::string_view text) {
  const os::Win32Api& api = os::Api();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') return true;
    if (api.IsDBCSLeadByte(static_cast<BYTE>(text[i]))) ++i;  // skip its trail byte
  }
  return false;
}

bool ContainsBytes(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace app
