// Where the program's test build (tests/faults/, built with
// KESTROVA_FAULT_SWITCHES; nothing of it ships) reaches into the program:
// it switches on faults the real system seldom gives and watches window
// objects that are gone. In the shipped program every hook is nothing.
#pragma once

namespace os {
struct GuiApi;
}  // namespace os

namespace test_hooks {

#ifdef KESTROVA_FAULT_SWITCHES
// After the system table is bound: may install one with faults switched on.
void SystemBound();
// As the window toolkit's table is bound, before its theme calls.
void GuiBound(os::GuiApi& gui);
// A window object is gone; a message that still reaches it is counted
// instead of delivered.
void ObjectGone(const void* object);
bool ReachesGoneObject(const void* object);
#else
inline void SystemBound() {}
inline void GuiBound(os::GuiApi&) {}
inline void ObjectGone(const void*) {}
inline bool ReachesGoneObject(const void*) { return false; }
#endif

}  // namespace test_hooks
