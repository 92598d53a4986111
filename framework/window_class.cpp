#include "framework/window_class.h"

#include "framework/debug_output.h"
#include "framework/module_instance.h"
#include "framework/window.h"

namespace korvex {

std::wstring RegisterWindowClass(const WindowClassParams& params) {
  std::wstring name = FormatWide(L"Korvex:%x:%p:%p:%p", params.style,
                                 static_cast<void*>(params.cursor),
                                 static_cast<void*>(params.background),
                                 static_cast<void*>(params.icon));
  HINSTANCE instance = ModuleInstance();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, name.c_str(), &existing)) return name;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = params.style;
  wc.lpfnWndProc = CWindow::StaticWindowProc;
  wc.hInstance = instance;
  wc.hCursor = params.cursor;
  wc.hbrBackground = params.background;
  wc.hIcon = params.icon;
  wc.lpszClassName = name.c_str();
  // Another thread may have registered the same look in the meantime.
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return {};
  return name;
}

}  // namespace korvex
