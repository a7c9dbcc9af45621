#include "os/sim/machine.h"

#include <cstdlib>
#include <cstring>

#include "os/sim/volumes.h"
#include "tools/utf8.h"

namespace os::sim {
namespace {

Machine* current = nullptr;

// Windows-1252's assignments for 0x80..0x9F; everything else maps to the
// code point of the same value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

bool IsLeadByteIn(UINT codePage, BYTE b) {
  // Shift-JIS lead bytes.
  return codePage == 932 && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
}

std::u16string Decode(UINT codePage, const char* text, int length) {
  std::u16string out;
  for (int i = 0; i < length; ++i) {
    const BYTE b = static_cast<BYTE>(text[i]);
    if (IsLeadByteIn(codePage, b) && i + 1 < length) {
      ++i;  // double-byte characters have no table here: one replacement each
      out.push_back(0xFFFD);
    } else if (codePage == 1252 && b >= 0x80 && b <= 0x9F) {
      out.push_back(kCp1252High[b - 0x80]);
    } else {
      out.push_back(b);
    }
  }
  return out;
}

std::u16string FromWide(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

void MapCase(LPSTR text, DWORD length, bool upper) {
  for (DWORD i = 0; i < length; ++i) {
    const BYTE b = static_cast<BYTE>(text[i]);
    if (IsLeadByteIn(Machine::Current().codePage, b)) {
      ++i;
      continue;
    }
    // Latin-1 letters follow ASCII's rule of 32 apart, except the few that
    // have no partner in the code page.
    const bool lower = (b >= 'a' && b <= 'z') || (b >= 0xE0 && b != 0xF7 && b != 0xFF);
    const bool capital = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7);
    if (upper && lower) text[i] = static_cast<char>(b - 32);
    if (!upper && capital) text[i] = static_cast<char>(b + 32);
  }
}

}  // namespace

struct SystemCalls {
  static BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    Machine& m = Machine::Current();
    ++m.versionQueries;
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) ||
        m.versionQueryFails) {
      m.lastError = ERROR_INVALID_PARAMETER;
      return FALSE;
    }
    *info = m.version_;
    return TRUE;
  }

  static DWORD WINAPI GetLastError() { return Machine::Current().lastError; }

  static DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID, DWORD id, DWORD, LPSTR buffer, DWORD,
                                     va_list*) {
    Machine& m = Machine::Current();
    ++m.formatMessageCalls;
    const auto found = m.messageTable.find(id);
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !(flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) ||
        found == m.messageTable.end()) {
      m.lastError = ERROR_MR_MID_NOT_FOUND;
      return 0;
    }
    char* text = static_cast<char*>(std::malloc(found->second.size() + 1));
    std::memcpy(text, found->second.c_str(), found->second.size() + 1);
    m.localAllocations.insert(text);
    *reinterpret_cast<char**>(buffer) = text;
    // As on Windows, a successful look-up leaves the last error as it was.
    return static_cast<DWORD>(found->second.size());
  }

  static HLOCAL WINAPI LocalFree(HLOCAL memory) {
    Machine& m = Machine::Current();
    if (memory == nullptr) return nullptr;
    if (m.localAllocations.erase(memory) == 0) return memory;  // not ours: fails
    std::free(memory);
    return nullptr;
  }

  static DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR name, DWORD size) {
    const std::string& path = Machine::Current().moduleFileName;
    if (size == 0) return 0;
    const DWORD copied = static_cast<DWORD>(std::min<size_t>(path.size(), size - 1));
    std::memcpy(name, path.data(), copied);
    name[copied] = '\0';
    return copied;
  }

  static BOOL WINAPI GetCPInfo(UINT, LPCPINFO info) {
    std::memset(info, 0, sizeof(*info));
    if (Machine::Current().codePage == 932) {
      info->MaxCharSize = 2;
      const BYTE ranges[] = {0x81, 0x9F, 0xE0, 0xFC};
      std::memcpy(info->LeadByte, ranges, sizeof(ranges));
    } else {
      info->MaxCharSize = 1;
    }
    info->DefaultChar[0] = '?';
    return TRUE;
  }

  static BOOL WINAPI IsDBCSLeadByte(BYTE b) { return IsLeadByteIn(Machine::Current().codePage, b); }

  static int WINAPI MultiByteToWideChar(UINT, DWORD, LPCCH text, int length, LPWSTR out,
                                        int outLength) {
    if (length < 0) length = static_cast<int>(std::strlen(text)) + 1;
    const std::u16string wide = Decode(Machine::Current().codePage, text, length);
    if (outLength == 0) return static_cast<int>(wide.size());
    if (static_cast<int>(wide.size()) > outLength) {
      Machine::Current().lastError = ERROR_MORE_DATA;
      return 0;
    }
    std::copy(wide.begin(), wide.end(), out);
    return static_cast<int>(wide.size());
  }

  static DWORD WINAPI CharLowerBuffA(LPSTR text, DWORD length) {
    MapCase(text, length, false);
    return length;
  }

  static DWORD WINAPI CharUpperBuffA(LPSTR text, DWORD length) {
    MapCase(text, length, true);
    return length;
  }

  static int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    Machine& machine = Machine::Current();
    machine.dialogs.push_back({FromWide(caption), FromWide(text), type, owner});
    if (machine.whileDialogOpen) machine.whileDialogOpen(DialogRecord(machine.dialogs.back()));
    // As the box closes, Windows enables its owner and activates it before
    // the box is destroyed; without one the program's windows are still
    // disabled then, and another program's window is activated.
    machine.activeWindow = owner;
    machine.focus = owner;
    return IDOK;
  }

  static BOOL WINAPI IsAppThemed() { return Machine::Current().appThemed; }

  static DWORD WINAPI GetSysColor(int index) {
    const auto& colors = Machine::Current().sysColors;
    const auto found = colors.find(index);
    return found == colors.end() ? 0 : found->second;
  }

  // Only the high-contrast query: the program asks nothing else.
  static BOOL WINAPI SystemParametersInfoA(UINT action, UINT size, PVOID param, UINT) {
    Machine& m = Machine::Current();
    auto* contrast = static_cast<HIGHCONTRASTA*>(param);
    if (action != SPI_GETHIGHCONTRAST || contrast == nullptr || size != sizeof(HIGHCONTRASTA) ||
        contrast->cbSize != sizeof(HIGHCONTRASTA)) {
      m.lastError = ERROR_INVALID_PARAMETER;
      return FALSE;
    }
    contrast->dwFlags = m.highContrast ? HCF_HIGHCONTRASTON : 0;
    contrast->lpszDefaultScheme = nullptr;
    return TRUE;
  }
};

Machine::Machine() : volumes_(std::make_unique<VolumeWorld>()) {
  SetVersion(VER_PLATFORM_WIN32_NT, 6, 1, 7601);
  // Windows 7's defaults.
  sysColors = {{COLOR_WINDOWTEXT, 0x000000}, {COLOR_BTNFACE, 0xF0F0F0}, {COLOR_BTNTEXT, 0x000000}};
  messageTable = {
      {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified.\r\n"},
      {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified.\r\n"},
      {ERROR_ACCESS_DENIED, "Access is denied.\r\n"},
      {ERROR_INVALID_HANDLE, "The handle is invalid.\r\n"},
      {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this "
                                "command.\r\n"},
      {ERROR_NOT_READY, "The device is not ready.\r\n"},
      {ERROR_WRITE_FAULT, "The system cannot write to the specified device.\r\n"},
      {ERROR_READ_FAULT, "The system cannot read from the specified device.\r\n"},
      {ERROR_INVALID_PARAMETER, "The parameter is incorrect.\r\n"},
  };
#define KESTROVA_SIM_CALL(name) table_.name = &SystemCalls::name;
  KESTROVA_SIM_CALL(GetVersionExA)
  KESTROVA_SIM_CALL(GetLastError)
  KESTROVA_SIM_CALL(FormatMessageA)
  KESTROVA_SIM_CALL(LocalFree)
  KESTROVA_SIM_CALL(GetModuleFileNameA)
  KESTROVA_SIM_CALL(GetCPInfo)
  KESTROVA_SIM_CALL(IsDBCSLeadByte)
  KESTROVA_SIM_CALL(MultiByteToWideChar)
  KESTROVA_SIM_CALL(CharLowerBuffA)
  KESTROVA_SIM_CALL(CharUpperBuffA)
  KESTROVA_SIM_CALL(MessageBoxW)
  KESTROVA_SIM_CALL(IsAppThemed)
  KESTROVA_SIM_CALL(GetSysColor)
  KESTROVA_SIM_CALL(SystemParametersInfoA)
#undef KESTROVA_SIM_CALL
  // The task dialog is a newer Windows's: this machine has none.
  table_.TaskDialogIndirect = nullptr;
  BindVolumeCalls(table_);
  BindLibraryCalls(table_);
  current = this;
  InstallApi(&table_);
}

Machine::~Machine() {
  for (void* memory : localAllocations) std::free(memory);
  current = nullptr;
  InstallApi(nullptr);
}

Machine& Machine::Current() {
  if (current == nullptr) std::abort();
  return *current;
}

void Machine::SetVersion(DWORD platformId, DWORD major, DWORD minor, DWORD build) {
  version_ = {};
  version_.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  version_.dwPlatformId = platformId;
  version_.dwMajorVersion = major;
  version_.dwMinorVersion = minor;
  version_.dwBuildNumber = build;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  return tools::Utf16ToUtf8(text.data(), text.size());
}

std::string DialogRecord::TextUtf8() const { return Utf16ToUtf8(text); }
std::string DialogRecord::CaptionUtf8() const { return Utf16ToUtf8(caption); }

}  // namespace os::sim
