#include "os/gui.h"

namespace os {

namespace {

GuiApi Bind() {
  GuiApi api = {
#define KESTROVA_BIND_GUI_CALL(name) &::name,
#define KESTROVA_LATER_GUI_CALL(name) nullptr,
      KESTROVA_GUI_CALLS(KESTROVA_BIND_GUI_CALL)
      KESTROVA_THEME_CALLS(KESTROVA_LATER_GUI_CALL)
#undef KESTROVA_LATER_GUI_CALL
#undef KESTROVA_BIND_GUI_CALL
  };
  if (HMODULE theme = ::LoadLibraryA("uxtheme.dll")) {
#define KESTROVA_LOOK_UP_GUI_CALL(name) \
  api.name = reinterpret_cast<decltype(api.name)>(reinterpret_cast<void*>(::GetProcAddress(theme, #name)));
    KESTROVA_THEME_CALLS(KESTROVA_LOOK_UP_GUI_CALL)
#undef KESTROVA_LOOK_UP_GUI_CALL
  }
  return api;
}

}  // namespace

const GuiApi& Gui() {
  static const GuiApi real = Bind();
  return real;
}

}  // namespace os
