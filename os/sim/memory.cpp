// Page memory of the simulated machine: whole pages, committed zeroed.
#include "os/sim/volume_calls.h"

namespace os::sim::calls {
namespace {

constexpr SIZE_T kPageSize = 4096;

}  // namespace

LPVOID WINAPI VirtualAlloc(LPVOID address, SIZE_T size, DWORD type, DWORD protect) {
  VolumeWorld& world = World();
  std::string outcome;
  void* block = nullptr;
  if (world.faults.allocationFails) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  } else if (address != nullptr || size == 0 || !(type & MEM_COMMIT)) {
    SetLastError(ERROR_INVALID_PARAMETER);  // only fresh commitments are modelled
  } else {
    block = world.AddAllocation((size + kPageSize - 1) / kPageSize * kPageSize, &outcome);
    if (block == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  world.Log("VirtualAlloc(" + std::to_string(size) + ", " + Hex(type) + ", " + Hex(protect) +
            ") = " + (block ? outcome : "failed " + std::to_string(LastError())));
  return block;
}

BOOL WINAPI VirtualFree(LPVOID address, SIZE_T size, DWORD type) {
  VolumeWorld& world = World();
  world.Log("VirtualFree(" + world.AllocationName(address) + ", " + std::to_string(size) + ", " +
            Hex(type) + ")");
  // Releasing takes the whole block: size 0, as the platform demands.
  if (type != MEM_RELEASE || size != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!world.RemoveAllocation(address)) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  return TRUE;
}

}  // namespace os::sim::calls
