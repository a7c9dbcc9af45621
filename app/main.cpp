#include "app/application.h"
#include "os/api.h"

#ifdef KESTROVA_FAULT_SWITCHES
#include "os/fault_switches.h"
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  os::BindWin32Api();
#ifdef KESTROVA_FAULT_SWITCHES
  os::SwitchFaults();
#endif
  return app::RunApplication(instance);
}
