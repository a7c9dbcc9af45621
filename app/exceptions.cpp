#include "app/exceptions.h"

#include "app/dialogs.h"
#include "os/api.h"

namespace app {

WideText ExceptionBoxText(const WideText& message) {
  WideText text = message;
  if (!text.empty() && text.back() > WCHAR('.')) text.push_back(WCHAR('.'));
  return text;
}

namespace {

void ShowExceptionBox(const WideText& message) {
  const WideText text = ExceptionBoxText(message);
  const WideText caption = ToWide(kApplicationTitle);
  os::Api().MessageBoxW(DialogOwner(), text.c_str(), caption.c_str(),
                        MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace

void ShowCaughtException(const std::exception_ptr& caught) {
  try {
    std::rethrow_exception(caught);
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    ShowExceptionBox(e.Message());
  } catch (...) {
    ShowExceptionBox(WideText());
  }
}

}  // namespace app
