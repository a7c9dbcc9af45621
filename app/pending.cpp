#include "app/application.h"

#include <utility>

namespace app {
namespace {

std::exception_ptr pending;

}  // namespace

void KeepPendingException(std::exception_ptr caught) {
  // The first one wins: it is the cause of whatever followed.
  if (!pending) pending = std::move(caught);
}

std::exception_ptr TakePendingException() {
  std::exception_ptr caught = pending;
  pending = nullptr;
  return caught;
}

}  // namespace app
