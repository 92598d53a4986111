// KorvexHid.exe: the device service. A hidden window that owns the keyboard
// connection, downloads the user's settings to the keyboard and turns the
// keyboard's own events into updates of the data files and of the suite's
// windows.

#include <windows.h>
#include <objbase.h>

#include "service/win/hid_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Pictures, shortcuts and the shell's "open" verb use COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CHidApp app;
  const int exitCode = app.Run();
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
