#include "os/sim/volumes.h"

#include "os/sim/machine.h"

namespace os::sim {
namespace {

// Until drives are modelled, every drive is absent.
DWORD Fail(DWORD code) {
  Machine::Current().lastError = code;
  return 0;
}

BOOL WINAPI GetVolumeInformationA(LPCSTR, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR, DWORD) {
  return Fail(ERROR_PATH_NOT_FOUND);
}
BOOL WINAPI GetDiskFreeSpaceA(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD) {
  return Fail(ERROR_PATH_NOT_FOUND);
}
HANDLE WINAPI CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  Fail(ERROR_FILE_NOT_FOUND);
  return INVALID_HANDLE_VALUE;
}
BOOL WINAPI ReadFile(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
  return Fail(ERROR_INVALID_HANDLE);
}
BOOL WINAPI WriteFile(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) {
  return Fail(ERROR_INVALID_HANDLE);
}
DWORD WINAPI SetFilePointer(HANDLE, LONG, PLONG, DWORD) {
  Fail(ERROR_INVALID_HANDLE);
  return INVALID_SET_FILE_POINTER;
}
BOOL WINAPI CloseHandle(HANDLE) { return Fail(ERROR_INVALID_HANDLE); }
BOOL WINAPI DeviceIoControl(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
  return Fail(ERROR_INVALID_HANDLE);
}
LPVOID WINAPI VirtualAlloc(LPVOID, SIZE_T, DWORD, DWORD) {
  Fail(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}
BOOL WINAPI VirtualFree(LPVOID, SIZE_T, DWORD) { return Fail(ERROR_INVALID_PARAMETER); }
DWORD WINAPI GetLogicalDrives() { return 0; }
UINT WINAPI GetDriveTypeA(LPCSTR) { return DRIVE_NO_ROOT_DIR; }
DWORD WINAPI WNetGetConnectionA(LPCSTR, LPSTR, LPDWORD) { return ERROR_NOT_CONNECTED; }
UINT WINAPI SetErrorMode(UINT) { return 0; }
DWORD WINAPI GetCurrentDirectoryA(DWORD, LPSTR) { return Fail(ERROR_PATH_NOT_FOUND); }

}  // namespace

void BindVolumeCalls(Win32Api& table) {
  table.GetVolumeInformationA = GetVolumeInformationA;
  table.GetDiskFreeSpaceA = GetDiskFreeSpaceA;
  table.CreateFileA = CreateFileA;
  table.ReadFile = ReadFile;
  table.WriteFile = WriteFile;
  table.SetFilePointer = SetFilePointer;
  table.CloseHandle = CloseHandle;
  table.DeviceIoControl = DeviceIoControl;
  table.VirtualAlloc = VirtualAlloc;
  table.VirtualFree = VirtualFree;
  table.GetLogicalDrives = GetLogicalDrives;
  table.GetDriveTypeA = GetDriveTypeA;
  table.WNetGetConnectionA = WNetGetConnectionA;
  table.SetErrorMode = SetErrorMode;
  table.GetCurrentDirectoryA = GetCurrentDirectoryA;
}

}  // namespace os::sim
