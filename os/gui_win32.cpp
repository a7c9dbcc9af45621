#include "os/gui.h"

#include "os/libraries.h"
#include "os/test_hooks.h"

namespace os {

namespace {

template <typename Fn>
Fn LookUpIn(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

GuiApi Bind() {
  GuiApi api{};  // the theme calls stay null unless found below
#define KESTROVA_BIND_GUI_CALL(name) api.name = &::name;
  KESTROVA_GUI_CALLS(KESTROVA_BIND_GUI_CALL)
#undef KESTROVA_BIND_GUI_CALL
  test_hooks::GuiBound(api);
  if (HMODULE theme = LoadSystemLibrary("uxtheme.dll")) {
#define KESTROVA_LOOK_UP_GUI_CALL(name) api.name = LookUpIn<decltype(api.name)>(theme, #name);
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
