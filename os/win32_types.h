// The Win32 types and constants the system's portable code uses.
// The Windows build takes them from the platform headers; the native test
// build (32-bit, so every record keeps its Windows layout) defines the same
// names with the same sizes and values.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>
#include <winnetwk.h>

#else  // native test build

#include <cstdarg>
#include <cstdint>

#define WINAPI
#define CALLBACK

using BOOL = int;
using BYTE = unsigned char;
using WORD = unsigned short;
using DWORD = uint32_t;
using LONG = int32_t;
using PLONG = LONG*;
using UINT = unsigned int;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using LRESULT = LONG_PTR;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using SIZE_T = uintptr_t;
using LPDWORD = DWORD*;
using LPVOID = void*;
using LPCVOID = const void*;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCCH = const char*;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using HRESULT = long;
using HANDLE = void*;
using HLOCAL = HANDLE;
using HWND = struct NativeWindowTag*;  // any distinct pointer type: only its size matters
using HINSTANCE = struct NativeInstanceTag*;
using HMODULE = HINSTANCE;
using FARPROC = intptr_t (*)();
using WNDENUMPROC = BOOL(CALLBACK*)(HWND, LPARAM);

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;
struct TASKDIALOGCONFIG;  // only ever passed on, never built natively

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
using LPOSVERSIONINFOA = OSVERSIONINFOA*;

#define MAX_DEFAULTCHAR 2
#define MAX_LEADBYTES 12
struct CPINFO {
  UINT MaxCharSize;
  BYTE DefaultChar[MAX_DEFAULTCHAR];
  BYTE LeadByte[MAX_LEADBYTES];
};
using LPCPINFO = CPINFO*;

using PVOID = void*;
using COLORREF = DWORD;
struct HIGHCONTRASTA {
  UINT cbSize;
  DWORD dwFlags;
  LPSTR lpszDefaultScheme;
};

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define S_OK 0L

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define OPEN_EXISTING 3
#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000u
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu

#define MEM_COMMIT 0x00001000u
#define MEM_RELEASE 0x00008000u
#define PAGE_READWRITE 0x04u
#define PAGE_NOCACHE 0x200u

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100u
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200u
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000u
#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((static_cast<WORD>(s) << 10) | static_cast<WORD>(p))

#define CP_ACP 0
#define MB_OK 0x00000000u
#define MB_ICONERROR 0x00000010u
#define MB_TASKMODAL 0x00002000u
#define MB_SETFOREGROUND 0x00010000u
#define IDOK 1
#define IDCANCEL 2

#define SEM_FAILCRITICALERRORS 0x0001u

#define COLOR_WINDOWTEXT 8
#define COLOR_BTNFACE 15
#define COLOR_BTNTEXT 18
#define SPI_GETHIGHCONTRAST 0x0042
#define SPI_SETHIGHCONTRAST 0x0043
#define HCF_HIGHCONTRASTON 0x00000001u
#define WM_SYSCOLORCHANGE 0x0015
#define WM_SETTINGCHANGE 0x001A
#define WM_THEMECHANGED 0x031A

#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6

#define NO_ERROR 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DRIVE 15L
#define ERROR_WRITE_PROTECT 19L
#define ERROR_NOT_READY 21L
#define ERROR_BAD_LENGTH 24L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_GEN_FAILURE 31L
#define ERROR_HANDLE_EOF 38L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_NEGATIVE_SEEK 131L
#define ERROR_MORE_DATA 234L
#define ERROR_MR_MID_NOT_FOUND 317L
#define ERROR_INVALID_ADDRESS 487L
#define ERROR_NOT_CONNECTED 2250L
#define ERROR_NO_NETWORK 1222L
#define ERROR_CONNECTION_UNAVAIL 1201L
#define ERROR_EXTENDED_ERROR 1208L

#endif  // _WIN32

// A UTF-16 literal of the platform's wide-character type.
#ifdef _WIN32
#define KESTROVA_WIDE(s) L##s
#else
#define KESTROVA_WIDE(s) u##s
#endif
