// The test build only: see app/teardown_probe.h.
#include "app/teardown_probe.h"

#include <cstdio>
#include <set>

namespace app {
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

}  // namespace

void ObjectGone(const void* object) { TheWatch().gone.insert(object); }

bool ReachesGoneObject(const void* object) {
  if (TheWatch().gone.count(object) == 0) return false;
  ++TheWatch().reached;
  return true;
}

}  // namespace app
