#include "ui/layout.h"

#include <cstring>

namespace ui {

const ControlLayout* FindControl(ControlId id) {
  for (const ControlLayout& control : kMainLayout)
    if (control.id == id) return &control;
  return nullptr;
}

const ControlLayout* FindControl(const char* name) {
  for (const ControlLayout& control : kMainLayout)
    if (std::strcmp(control.name, name) == 0) return &control;
  return nullptr;
}

}  // namespace ui
