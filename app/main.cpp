#include "app/application.h"
#include "os/api.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  os::BindWin32Api();
  return app::RunApplication(instance);
}
