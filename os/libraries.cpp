#include "os/libraries.h"

#include <string>

namespace os {
namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

template <typename Fn>
void LookUp(Fn& entry, HMODULE module, const char* name) {
  entry = module == nullptr
              ? nullptr
              : reinterpret_cast<Fn>(reinterpret_cast<void*>(Api().GetProcAddress(module, name)));
}

// Windows 2000 and XP before SP1 have neither call, and later ones up to
// Windows 7 without its loader update only the second; there every load
// below still names its full path.
void RestrictLibrarySearch(Win32Api& table) {
  const HMODULE kernel = Api().GetModuleHandleA("kernel32.dll");
  LookUp(table.SetDefaultDllDirectories, kernel, "SetDefaultDllDirectories");
  LookUp(table.SetDllDirectoryA, kernel, "SetDllDirectoryA");
  if (table.SetDefaultDllDirectories) table.SetDefaultDllDirectories(kSearchSystem32);
  // Takes the current folder out of the search.
  if (table.SetDllDirectoryA) table.SetDllDirectoryA("");
}

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
  char folder[MAX_PATH + 1] = {};
  const UINT length = Api().GetSystemDirectoryA(folder, sizeof(folder));
  // No system folder is no reason to let the loader search elsewhere.
  if (length == 0 || length >= sizeof(folder)) return nullptr;
  std::string path(folder, length);
  if (path.back() != '\\') path += '\\';  // only a root ends in one
  return Api().LoadLibraryA((path + name).c_str());
}

void BindOptionalCalls(Win32Api& table) {
  RestrictLibrarySearch(table);
  // The common controls the manifest chose are already in the process; the
  // system folder's copy is the older version, without the task dialog.
  LookUp(table.TaskDialogIndirect, Api().GetModuleHandleA("comctl32.dll"), "TaskDialogIndirect");
  LookUp(table.IsAppThemed, LoadSystemLibrary("uxtheme.dll"), "IsAppThemed");
  LookUp(table.WNetGetConnectionA, LoadSystemLibrary("mpr.dll"), "WNetGetConnectionA");
}

}  // namespace os
