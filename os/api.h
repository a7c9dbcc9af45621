// The one door to the operating system for the portable code: every
// Win32 call the system makes, with its own name and arguments, held in a
// table. The Windows build binds the table to the real API (os/api_win32.cpp);
// the native test build binds it to the simulated machine (os/sim/).
//
// Entries of calls that not every Windows has (the task dialog, the theme
// service, the library search settings) are looked up at run time and are
// null where they are missing.
#pragma once

#include "os/win32_types.h"

// X(return type, name, parameter list)
#define KESTROVA_SYSTEM_CALLS(X)                                                          \
  /* version, errors, text */                                                             \
  X(BOOL, GetVersionExA, (LPOSVERSIONINFOA lpVersionInformation))                         \
  X(DWORD, GetLastError, (void))                                                          \
  X(DWORD, FormatMessageA,                                                                \
    (DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,              \
     LPSTR lpBuffer, DWORD nSize, va_list* Arguments))                                    \
  X(HLOCAL, LocalFree, (HLOCAL hMem))                                                     \
  X(DWORD, GetModuleFileNameA, (HMODULE hModule, LPSTR lpFilename, DWORD nSize))          \
  X(BOOL, GetCPInfo, (UINT CodePage, LPCPINFO lpCPInfo))                                  \
  X(BOOL, IsDBCSLeadByte, (BYTE TestChar))                                                \
  X(int, MultiByteToWideChar,                                                             \
    (UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,                 \
     LPWSTR lpWideCharStr, int cchWideChar))                                              \
  X(DWORD, CharLowerBuffA, (LPSTR lpsz, DWORD cchLength))                                 \
  X(DWORD, CharUpperBuffA, (LPSTR lpsz, DWORD cchLength))                                 \
  /* dialogs */                                                                           \
  X(int, MessageBoxW, (HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType))         \
  /* the task dialog's, Windows only: the simulated machine has no task dialog */         \
  X(BOOL, EnableWindow, (HWND hWnd, BOOL bEnable))                                        \
  X(BOOL, EnumThreadWindows, (DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam))         \
  X(DWORD, GetCurrentThreadId, (void))                                                    \
  /* volumes, files, devices, memory */                                                   \
  X(BOOL, GetVolumeInformationA,                                                          \
    (LPCSTR lpRootPathName, LPSTR lpVolumeNameBuffer, DWORD nVolumeNameSize,              \
     LPDWORD lpVolumeSerialNumber, LPDWORD lpMaximumComponentLength,                      \
     LPDWORD lpFileSystemFlags, LPSTR lpFileSystemNameBuffer, DWORD nFileSystemNameSize)) \
  X(BOOL, GetDiskFreeSpaceA,                                                              \
    (LPCSTR lpRootPathName, LPDWORD lpSectorsPerCluster, LPDWORD lpBytesPerSector,        \
     LPDWORD lpNumberOfFreeClusters, LPDWORD lpTotalNumberOfClusters))                    \
  X(HANDLE, CreateFileA,                                                                  \
    (LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,                         \
     LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,             \
     DWORD dwFlagsAndAttributes, HANDLE hTemplateFile))                                   \
  X(BOOL, ReadFile,                                                                       \
    (HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,                           \
     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped))                             \
  X(BOOL, WriteFile,                                                                      \
    (HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,                         \
     LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped))                          \
  X(DWORD, SetFilePointer,                                                                \
    (HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod)) \
  X(BOOL, CloseHandle, (HANDLE hObject))                                                  \
  X(BOOL, DeviceIoControl,                                                                \
    (HANDLE hDevice, DWORD dwIoControlCode, LPVOID lpInBuffer, DWORD nInBufferSize,       \
     LPVOID lpOutBuffer, DWORD nOutBufferSize, LPDWORD lpBytesReturned,                   \
     LPOVERLAPPED lpOverlapped))                                                          \
  X(LPVOID, VirtualAlloc,                                                                 \
    (LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType, DWORD flProtect))           \
  X(BOOL, VirtualFree, (LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType))               \
  /* drives */                                                                            \
  X(DWORD, GetLogicalDrives, (void))                                                      \
  X(UINT, GetDriveTypeA, (LPCSTR lpRootPathName))                                         \
  X(UINT, SetErrorMode, (UINT uMode))                                                     \
  X(DWORD, GetCurrentDirectoryA, (DWORD nBufferLength, LPSTR lpBuffer))                   \
  /* libraries named at run time: os/libraries.h */                                       \
  X(UINT, GetSystemDirectoryA, (LPSTR lpBuffer, UINT uSize))                              \
  X(HMODULE, GetModuleHandleA, (LPCSTR lpModuleName))                                     \
  X(HMODULE, LoadLibraryA, (LPCSTR lpLibFileName))                                        \
  X(FARPROC, GetProcAddress, (HMODULE hModule, LPCSTR lpProcName))                        \
  /* colours: the system's, and its high-contrast flag */                                 \
  X(DWORD, GetSysColor, (int nIndex))                                                     \
  X(BOOL, SystemParametersInfoA, (UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni))

// Calls looked up at run time (os/libraries.cpp), null if absent: those only
// newer Windows has, and the connection look-up, whose library is loaded
// from the system folder rather than found by the loader's search.
#define KESTROVA_OPTIONAL_CALLS(X)                                                        \
  X(HRESULT, TaskDialogIndirect,                                                          \
    (const TASKDIALOGCONFIG* pTaskConfig, int* pnButton, int* pnRadioButton,              \
     BOOL* pfVerificationFlagChecked))                                                    \
  X(BOOL, IsAppThemed, (void))                                                            \
  X(DWORD, WNetGetConnectionA, (LPCSTR lpLocalName, LPSTR lpRemoteName, LPDWORD lpnLength)) \
  X(BOOL, SetDefaultDllDirectories, (DWORD DirectoryFlags))                               \
  X(BOOL, SetDllDirectoryA, (LPCSTR lpPathName))

namespace os {

struct Win32Api {
// `params` is a whole parenthesized parameter list: it cannot be parenthesized again.
#define KESTROVA_DECLARE_CALL(ret, name, params) ret(WINAPI* name) params;  // NOLINT(bugprone-macro-parentheses)
  KESTROVA_SYSTEM_CALLS(KESTROVA_DECLARE_CALL)
  KESTROVA_OPTIONAL_CALLS(KESTROVA_DECLARE_CALL)
#undef KESTROVA_DECLARE_CALL
};

// The table in force. Bound once at start-up (Windows) or by a test's
// simulated machine (native).
const Win32Api& Api();
void InstallApi(const Win32Api* api);

#ifdef _WIN32
// Fills the table with the real calls, looking up the optional ones.
void BindWin32Api();
#endif

}  // namespace os
