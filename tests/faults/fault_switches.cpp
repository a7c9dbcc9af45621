// The switches of the program's test build (os/test_hooks.h): faults the
// real system seldom gives, each on when its environment variable is set.
//   KESTROVA_REFUSE_LIST_ADD    a drop-down list refuses every item
//                               (CB_ERRSPACE), as one out of memory does;
//   KESTROVA_UNREADY_DRIVES=DQ  the volume queries of those drives fail with
//                               ERROR_NOT_READY, as a drive without a medium's;
//   KESTROVA_REFUSE_WINDOW      the main window cannot be made, as when the
//                               desktop's heap is exhausted;
//   KESTROVA_OVERSTATED_LENGTHS a drop-down list's item lengths are overstated
//                               as Windows may under a double-byte code page:
//                               two bytes for every character;
//   KESTROVA_HIGH_CONTRAST=F    the high-contrast flag, which Wine never
//                               reports, reads as on while the file F
//                               exists: a test can switch it while the
//                               program runs.
#include <string>

#include "os/api.h"
#include "os/gui.h"
#include "os/test_hooks.h"

namespace test_hooks {
namespace {

bool SwitchedOn(const char* name) { return ::GetEnvironmentVariableA(name, nullptr, 0) != 0; }

LRESULT WINAPI SendMessageRefusingListAdds(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == CB_ADDSTRING) return CB_ERRSPACE;
  return ::SendMessageA(window, message, wParam, lParam);
}

HWND WINAPI CreateWindowRefusingMain(DWORD exStyle, LPCSTR className, LPCSTR caption, DWORD style,
                                     int x, int y, int width, int height, HWND parent,
                                     HMENU menu, HINSTANCE instance, LPVOID param) {
  if (!IS_INTRESOURCE(className) && std::string(className) == "TfrmMain") {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return ::CreateWindowExA(exStyle, className, caption, style, x, y, width, height, parent, menu,
                           instance, param);
}

LRESULT WINAPI SendMessageOverstatingLengths(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message != CB_GETLBTEXTLEN) return ::SendMessageA(window, message, wParam, lParam);
  const LRESULT characters = ::SendMessageW(window, CB_GETLBTEXTLEN, wParam, 0);
  return characters == CB_ERR ? CB_ERR : 2 * characters;
}

// Whether a root path ("D:\") names one of the unready drives (upper
// case); if so, the query fails with the last error a drive without its
// medium leaves.
bool FailsUnready(LPCSTR root) {
  char drives[27] = {};
  if (root == nullptr || root[0] == '\0') return false;
  const DWORD length = ::GetEnvironmentVariableA("KESTROVA_UNREADY_DRIVES", drives, sizeof(drives));
  if (length == 0 || length >= sizeof(drives)) return false;
  const char letter = static_cast<char>(root[0] & ~0x20);  // a drive letter in upper case
  if (std::string(drives).find(letter) == std::string::npos) return false;
  ::SetLastError(ERROR_NOT_READY);
  return true;
}

BOOL WINAPI UnreadyVolumeInformation(LPCSTR root, LPSTR label, DWORD labelSize, LPDWORD serial,
                                     LPDWORD maxComponent, LPDWORD flags, LPSTR fileSystem,
                                     DWORD fileSystemSize) {
  if (FailsUnready(root)) return FALSE;
  return ::GetVolumeInformationA(root, label, labelSize, serial, maxComponent, flags, fileSystem,
                                 fileSystemSize);
}

BOOL WINAPI UnreadyDiskFreeSpace(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                                 LPDWORD freeClusters, LPDWORD totalClusters) {
  if (FailsUnready(root)) return FALSE;
  return ::GetDiskFreeSpaceA(root, sectorsPerCluster, bytesPerSector, freeClusters,
                             totalClusters);
}

BOOL WINAPI HighContrastWhileFileExists(UINT action, UINT size, PVOID param, UINT update) {
  if (!::SystemParametersInfoA(action, size, param, update)) return FALSE;
  char file[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA("KESTROVA_HIGH_CONTRAST", file, MAX_PATH);
  if (action == SPI_GETHIGHCONTRAST && length > 0 && length < MAX_PATH &&
      ::GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES)
    static_cast<HIGHCONTRASTA*>(param)->dwFlags |= HCF_HIGHCONTRASTON;
  return TRUE;
}

}  // namespace

void SystemBound() {
  static os::Win32Api switched = os::Api();
  switched.GetVolumeInformationA = UnreadyVolumeInformation;
  switched.GetDiskFreeSpaceA = UnreadyDiskFreeSpace;
  if (SwitchedOn("KESTROVA_HIGH_CONTRAST"))
    switched.SystemParametersInfoA = HighContrastWhileFileExists;
  os::InstallApi(&switched);
}

void GuiBound(os::GuiApi& gui) {
  if (SwitchedOn("KESTROVA_REFUSE_LIST_ADD")) gui.SendMessageA = SendMessageRefusingListAdds;
  if (SwitchedOn("KESTROVA_REFUSE_WINDOW")) gui.CreateWindowExA = CreateWindowRefusingMain;
  if (SwitchedOn("KESTROVA_OVERSTATED_LENGTHS")) gui.SendMessageA = SendMessageOverstatingLengths;
}

}  // namespace test_hooks
