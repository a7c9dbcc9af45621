#include "app/application.h"
#include "os/api.h"
#include "os/test_hooks.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  os::BindWin32Api();
  test_hooks::SystemBound();
  return app::RunApplication(instance);
}
