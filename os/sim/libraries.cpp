// The simulated machine's libraries: module look-ups, loads and the
// library-search settings, each logged for the tests.
#include <cstdint>
#include <cstring>

#include "os/sim/machine.h"
#include "os/sim/volume_calls.h"

namespace os::sim {
namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return text;
}

void Log(const std::string& entry) { Machine::Current().libraryCalls.push_back(entry); }

HMODULE HandleOf(size_t index) {
  return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>((index + 1) << 16));
}

// The library of a module handle, or null.
const std::string* LibraryOf(HMODULE module) {
  const auto& loaded = Machine::Current().loadedLibraries;
  const std::uintptr_t index = (reinterpret_cast<std::uintptr_t>(module) >> 16) - 1;
  return index < loaded.size() ? &loaded[index] : nullptr;
}

// The handle of a library in the process, by file name, or null.
HMODULE InProcess(const std::string& name) {
  const auto& loaded = Machine::Current().loadedLibraries;
  for (size_t i = 0; i < loaded.size(); ++i)
    if (loaded[i] == name) return HandleOf(i);
  return nullptr;
}

}  // namespace

namespace calls {
namespace {

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
  const std::string& folder = Machine::Current().systemDirectory;
  if (folder.empty()) return 0;
  if (buffer == nullptr || size < folder.size() + 1) return static_cast<UINT>(folder.size() + 1);
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
  Log("GetModuleHandleA(" + std::string(name ? name : "null") + ")");
  return name ? InProcess(Lower(name)) : nullptr;
}

// Only the system folder holds the system's libraries here: a bare name, or
// any other folder, finds nothing.
HMODULE WINAPI LoadLibraryA(LPCSTR path) {
  Machine& m = Machine::Current();
  Log("LoadLibraryA(" + std::string(path ? path : "null") + ")");
  const std::string folder = Lower(m.systemDirectory) + "\\";
  const std::string full = Lower(path ? path : "");
  const bool inFolder = !m.systemDirectory.empty() && full.compare(0, folder.size(), folder) == 0;
  const std::string name = inFolder ? full.substr(folder.size()) : std::string();
  if (!inFolder || m.systemLibraries.count(name) == 0) {
    m.lastError = ERROR_MOD_NOT_FOUND;
    return nullptr;
  }
  if (HMODULE loaded = InProcess(name)) return loaded;
  m.loadedLibraries.push_back(name);
  return HandleOf(m.loadedLibraries.size() - 1);
}

// A library's export is the machine's own call of that name.
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  Machine& m = Machine::Current();
  const std::string* library = LibraryOf(module);
  if (library == nullptr || name == nullptr) return nullptr;
  const auto exports = m.systemLibraries.find(*library);
  if (exports == m.systemLibraries.end() || exports->second.count(name) == 0) return nullptr;
  const Win32Api& table = m.table();
#define KESTROVA_SIM_EXPORT(ret, call, params) \
  if (std::strcmp(name, #call) == 0) return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(table.call));
  KESTROVA_OPTIONAL_CALLS(KESTROVA_SIM_EXPORT)
#undef KESTROVA_SIM_EXPORT
  return nullptr;
}

BOOL WINAPI SetDefaultDllDirectories(DWORD flags) {
  Log("SetDefaultDllDirectories(" + Hex(flags) + ")");
  return TRUE;
}

BOOL WINAPI SetDllDirectoryA(LPCSTR path) {
  Log("SetDllDirectoryA(" + (path ? "\"" + std::string(path) + "\"" : std::string("null")) + ")");
  return TRUE;
}

}  // namespace
}  // namespace calls

void BindLibraryCalls(Win32Api& table) {
#define KESTROVA_SIM_LIBRARY_CALL(name) table.name = &calls::name;
  KESTROVA_SIM_LIBRARY_CALL(GetSystemDirectoryA)
  KESTROVA_SIM_LIBRARY_CALL(GetModuleHandleA)
  KESTROVA_SIM_LIBRARY_CALL(LoadLibraryA)
  KESTROVA_SIM_LIBRARY_CALL(GetProcAddress)
  KESTROVA_SIM_LIBRARY_CALL(SetDefaultDllDirectories)
  KESTROVA_SIM_LIBRARY_CALL(SetDllDirectoryA)
#undef KESTROVA_SIM_LIBRARY_CALL
}

}  // namespace os::sim
