// Binds the system table to the real Win32 API.
#include "os/api.h"

#include <uxtheme.h>

namespace os {
namespace {

Win32Api real = {
#define KESTROVA_BIND_CALL(ret, name, params) &::name,
#define KESTROVA_LATER_CALL(ret, name, params) nullptr,
    KESTROVA_SYSTEM_CALLS(KESTROVA_BIND_CALL)
    KESTROVA_OPTIONAL_CALLS(KESTROVA_LATER_CALL)
#undef KESTROVA_LATER_CALL
#undef KESTROVA_BIND_CALL
};

template <typename Fn>
Fn LookUp(const char* module, const char* name) {
  // Only modules that are already part of the process (comctl32 through the
  // manifest) or that exist from Windows XP on (uxtheme) are asked.
  HMODULE handle = ::GetModuleHandleA(module);
  if (handle == nullptr) handle = ::LoadLibraryA(module);
  if (handle == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

}  // namespace

void BindWin32Api() {
  real.TaskDialogIndirect =
      LookUp<decltype(real.TaskDialogIndirect)>("comctl32.dll", "TaskDialogIndirect");
  real.IsAppThemed = LookUp<decltype(real.IsAppThemed)>("uxtheme.dll", "IsAppThemed");
  InstallApi(&real);
}

}  // namespace os
