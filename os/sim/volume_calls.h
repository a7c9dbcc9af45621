// The simulated volume, device, memory and drive calls, each defined in the
// os/sim file of its kind and put into the table by BindVolumeCalls.
#pragma once

#include <string>

#include "os/sim/volumes.h"

namespace os::sim {

class Machine;

namespace calls {

// drives: os/sim/volumes.cpp
BOOL WINAPI GetVolumeInformationA(LPCSTR, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR, DWORD);
BOOL WINAPI GetDiskFreeSpaceA(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
DWORD WINAPI GetLogicalDrives();
UINT WINAPI GetDriveTypeA(LPCSTR);
DWORD WINAPI WNetGetConnectionA(LPCSTR, LPSTR, LPDWORD);
UINT WINAPI SetErrorMode(UINT);
DWORD WINAPI GetCurrentDirectoryA(DWORD, LPSTR);

// raw volume devices: os/sim/devices.cpp
HANDLE WINAPI CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
BOOL WINAPI ReadFile(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
BOOL WINAPI WriteFile(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
DWORD WINAPI SetFilePointer(HANDLE, LONG, PLONG, DWORD);
BOOL WINAPI CloseHandle(HANDLE);

// the 9x DOS-request device: os/sim/dos_device.cpp
HANDLE OpenDosDevice(VolumeWorld& world);
BOOL WINAPI DeviceIoControl(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);

// page memory: os/sim/memory.cpp
LPVOID WINAPI VirtualAlloc(LPVOID, SIZE_T, DWORD, DWORD);
BOOL WINAPI VirtualFree(LPVOID, SIZE_T, DWORD);

}  // namespace calls

// Shared by the calls.
VolumeWorld& World();
void SetLastError(DWORD code);
DWORD LastError();
char UpperLetter(char c);
std::string Hex(DWORD value);

}  // namespace os::sim
