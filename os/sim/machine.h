// The simulated machine of the native test build: the operating system as
// the portable code sees it, with state a test can set and inspect. Creating
// a Machine binds the system table to it; destroying it unbinds.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "os/api.h"

namespace os::sim {

struct DialogRecord {
  std::u16string caption;
  std::u16string text;
  UINT type;
  HWND owner;
  std::string TextUtf8() const;
  std::string CaptionUtf8() const;
};

class VolumeWorld;  // drives, devices and memory: os/sim/volumes.h

class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  static Machine& Current();

  // Version: what GetVersionExA reports.
  void SetVersion(DWORD platformId, DWORD major, DWORD minor, DWORD build = 0);
  bool versionQueryFails = false;
  int versionQueries = 0;
  DWORD platformId() const { return version_.dwPlatformId; }

  // Errors and the system message table (texts end in CR LF, as Windows's do).
  DWORD lastError = 0;
  std::map<DWORD, std::string> messageTable;
  int formatMessageCalls = 0;

  // Process and locale.
  std::string moduleFileName = "C:\\Program Files\\Kestrova\\kestrova.exe";
  UINT codePage = 1252;  // 932 gives the Japanese double-byte rules
  bool appThemed = false;

  // Colours: GetSysColor's answers by index (Windows' defaults unless set;
  // an index not set answers 0), and the high-contrast flag.
  std::map<int, COLORREF> sysColors;
  bool highContrast = false;

  // Dialogs shown, in order; all of them answered with OK, after
  // `whileDialogOpen` (if set) has run as if during the box. As a box
  // closes, its owner is active and focused again; a box without an owner
  // leaves no window of the program active.
  std::vector<DialogRecord> dialogs;
  std::function<void(const DialogRecord&)> whileDialogOpen;
  HWND activeWindow = nullptr;
  HWND focus = nullptr;

  // Live allocations handed out by FormatMessageA's buffer allocation.
  std::set<void*> localAllocations;

  // Libraries: the system folder, and the calls each library there exports
  // (file names in lower case; a library not listed is not there); those in
  // the process, kernel32.dll and comctl32.dll (imported) from the start.
  // The defaults are a current Windows's, without the task dialog.
  std::string systemDirectory = "C:\\Windows\\system32";  // empty: cannot be read
  std::map<std::string, std::set<std::string>> systemLibraries = {
      {"kernel32.dll", {"SetDefaultDllDirectories", "SetDllDirectoryA"}},
      {"comctl32.dll", {}},
      {"uxtheme.dll", {"IsAppThemed"}},
      {"mpr.dll", {"WNetGetConnectionA"}}};
  std::vector<std::string> loadedLibraries = {"kernel32.dll", "comctl32.dll"};
  // Module look-ups, loads and library-search settings, in order
  // ("LoadLibraryA(C:\Windows\system32\mpr.dll)").
  std::vector<std::string> libraryCalls;

  VolumeWorld& volumes() { return *volumes_; }

  const Win32Api& table() const { return table_; }

 private:
  OSVERSIONINFOA version_{};
  Win32Api table_{};
  std::unique_ptr<VolumeWorld> volumes_;

  friend struct SystemCalls;
};

// Puts the library calls into the table (os/sim/libraries.cpp).
void BindLibraryCalls(Win32Api& table);

// Text helpers for assertions.
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace os::sim
