// Binds the system table to the real Win32 API.
#include "os/api.h"

#include "os/libraries.h"

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

}  // namespace

void BindWin32Api() {
  // The look-ups go through the table: bound first with the imported calls.
  InstallApi(&real);
  BindOptionalCalls(real);
}

}  // namespace os
