#include "framework/window_class.h"

#include "framework/debug_output.h"
#include "framework/module_instance.h"
#include "framework/window.h"

namespace korvex {

std::wstring RegisterWindowClass(const WindowClassSpec& spec) {
  std::wstring name = FormatWide(L"Korvex:%x:%p:%p:%p", spec.style,
                                 static_cast<void*>(spec.cursor),
                                 static_cast<void*>(spec.background),
                                 static_cast<void*>(spec.icon));
  HINSTANCE instance = ModuleInstance();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, name.c_str(), &existing)) return name;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = spec.style;
  wc.lpfnWndProc = CWindow::StaticWindowProc;
  wc.hInstance = instance;
  wc.hCursor = spec.cursor;
  wc.hbrBackground = spec.background;
  wc.hIcon = spec.icon;
  wc.lpszClassName = name.c_str();
  // Another thread may have registered the same look in the meantime.
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return {};
  return name;
}

}  // namespace korvex
