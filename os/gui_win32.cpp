#include "os/gui.h"

namespace os {

const GuiApi& Gui() {
  static const GuiApi real = {
#define KESTROVA_BIND_GUI_CALL(name) &::name,
      KESTROVA_GUI_CALLS(KESTROVA_BIND_GUI_CALL)
#undef KESTROVA_BIND_GUI_CALL
  };
  return real;
}

}  // namespace os
