// The test build's watch on window objects that are gone (os/test_hooks.h):
// a message that still reaches one is counted instead of delivered, and the
// count is printed as the process ends.
#include <cstdio>
#include <set>

#include "os/test_hooks.h"

namespace test_hooks {
namespace {

struct Watch {
  std::set<const void*> gone;
  int reached = 0;
  ~Watch() { std::fprintf(stderr, "messages to gone window objects: %d\n", reached); }
};

Watch& TheWatch() {
  static Watch watch;
  return watch;
}

// Made as the process starts, so that the count is printed on every path,
// a start-up that never made a window object included.
const Watch& startedWatch = TheWatch();

}  // namespace

void ObjectGone(const void* object) { TheWatch().gone.insert(object); }

bool ReachesGoneObject(const void* object) {
  if (TheWatch().gone.count(object) == 0) return false;
  ++TheWatch().reached;
  return true;
}

}  // namespace test_hooks
