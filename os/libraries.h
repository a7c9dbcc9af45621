// The libraries the program names at run time. Each is loaded by its full
// path in the system folder, never by a bare name: the loader's search
// would try the program's own folder and the current folder first, and a
// program run with raw disk rights must not run a library left beside it.
#pragma once

#include "os/api.h"

namespace os {

// `name` ("uxtheme.dll") from the system folder; null where it is not there
// or the folder cannot be read.
HMODULE LoadSystemLibrary(const char* name);

// Restricts the process's later library searches to the system folder
// where Windows offers the calls, then looks up `table`'s optional calls.
// Goes through the table in force (Api()) for the look-ups themselves.
void BindOptionalCalls(Win32Api& table);

}  // namespace os
