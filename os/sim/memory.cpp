// Page memory of the simulated machine: whole pages, committed zeroed; and,
// in the 64-bit build, memory below 4 GiB for records a 32-bit register
// names.
#include "os/dos_record.h"
#include "os/sim/volume_calls.h"

#if UINTPTR_MAX > 0xFFFFFFFFu
#include <sys/mman.h>
#endif

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

#if UINTPTR_MAX > 0xFFFFFFFFu
namespace os {

void* AllocateBelow4GiB(std::size_t size) {
  if (sim::World().faults.noMemoryBelow4GiB) return nullptr;
  // MAP_32BIT: the kernel places it in the first 2 GiB.
  void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
  return block == MAP_FAILED ? nullptr : block;
}

void FreeBelow4GiB(void* block, std::size_t size) {
  if (block != nullptr) munmap(block, size);
}

}  // namespace os
#endif
