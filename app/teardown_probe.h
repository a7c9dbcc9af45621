// The test build's watch on window objects that are gone (the program built
// with KESTROVA_FAULT_SWITCHES): a message that still reaches one is counted
// instead of delivered, and the count is printed as the process ends. In
// the shipped program both calls are nothing.
#pragma once

namespace app {

#ifdef KESTROVA_FAULT_SWITCHES
void ObjectGone(const void* object);
bool ReachesGoneObject(const void* object);
#else
inline void ObjectGone(const void*) {}
inline bool ReachesGoneObject(const void*) { return false; }
#endif

}  // namespace app
