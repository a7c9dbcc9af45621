// Drives, raw volume devices, the 9x DOS-request device and page memory of
// the simulated machine.
#pragma once

#include "os/api.h"

namespace os::sim {

struct VolumeWorld {
  // Grown by the volume tests: drives backed by disk images, devices, faults.
};

// Puts the volume, device, memory and drive calls into the table.
void BindVolumeCalls(Win32Api& table);

}  // namespace os::sim
