// The switches of the program's test build (built with
// KESTROVA_FAULT_SWITCHES; nothing of it ships): faults the real system
// seldom gives, each on when its environment variable is set.
//   KESTROVA_REFUSE_LIST_ADD    a drop-down list refuses every item
//                               (CB_ERRSPACE), as one out of memory does;
//   KESTROVA_UNREADY_DRIVES=DQ  the volume queries of those drives fail with
//                               ERROR_NOT_READY, as a drive without a medium's.
#pragma once

#include "os/api.h"
#include "os/gui.h"

namespace os {

// Over the bound system table (after BindWin32Api).
void SwitchFaults();
// Over the window toolkit's table, as it is bound.
void SwitchFaults(GuiApi& gui);

}  // namespace os
