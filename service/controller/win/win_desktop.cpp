#include "service/controller/win/win_desktop.h"

#include <windows.h>

#include <string>

#include "framework/window_search.h"

namespace {
std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

WindowHandle CWinDesktop::FindTopLevelWindow(std::u16string_view name) {
  return reinterpret_cast<WindowHandle>(korvex::FindTopLevelWindow(Wide(name).c_str()));
}

WindowHandle CWinDesktop::FindChildWindow(WindowHandle parent, std::u16string_view name) {
  return reinterpret_cast<WindowHandle>(korvex::FindChildWindow(Hwnd(parent), Wide(name).c_str()));
}

bool CWinDesktop::PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return window != 0 && PostMessageW(Hwnd(window), message, wParam, lParam) != FALSE;
}
