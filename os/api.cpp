#include "os/api.h"

#include <cstdlib>

namespace os {
namespace {
const Win32Api* installed = nullptr;
}

const Win32Api& Api() {
  // Reaching the OS before anything was bound is a programming error that
  // must not turn into a silent null call.
  if (installed == nullptr) std::abort();
  return *installed;
}

void InstallApi(const Win32Api* api) { installed = api; }

}  // namespace os
