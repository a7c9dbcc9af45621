// Storage for a record that a DOS request names by its address in a 32-bit
// register (EDX of the 9x device's register block).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace os {

// Whether a 32-bit register carries the address whole.
inline bool FitsInRegister(const void* address) {
  return reinterpret_cast<std::uintptr_t>(address) <= 0xFFFFFFFFu;
}

#if !defined(_WIN32) && UINTPTR_MAX > 0xFFFFFFFFu
// The 64-bit native test build: memory below 4 GiB from the simulated
// machine (os/sim/memory.cpp), null when it has none to give.
void* AllocateBelow4GiB(std::size_t size);
void FreeBelow4GiB(void* block, std::size_t size);
#else
// A 32-bit program's every address fits. The 64-bit Windows program keeps
// the record where the 32-bit one does, on its stack, and its caller
// refuses an address that does not fit.
inline void* AllocateBelow4GiB(std::size_t) { return nullptr; }
inline void FreeBelow4GiB(void*, std::size_t) {}
#endif

// A zeroed record, below 4 GiB where the build can place it there, else in
// the object itself. Whether its address fits a register is the caller's
// test (FitsInRegister).
template <typename Record>
class DosRecord {
 public:
  DosRecord() : low_(AllocateBelow4GiB(sizeof(Record))) {
    if (low_ != nullptr) record_ = new (low_) Record{};
  }
  ~DosRecord() { FreeBelow4GiB(low_, sizeof(Record)); }
  DosRecord(const DosRecord&) = delete;
  DosRecord& operator=(const DosRecord&) = delete;

  Record* get() { return record_; }
  Record& operator*() { return *record_; }
  Record* operator->() { return record_; }

 private:
  Record local_{};
  void* low_;
  Record* record_ = &local_;
};

}  // namespace os
