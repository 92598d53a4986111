#pragma once
// Window classes registered on the fly.
//
// A window created by the framework names the look of its class (class
// style, cursor, background brush, icon) instead of a class name. The class
// name is derived from these values, so equal requests share one class,
// registered in the framework's module the first time it is asked for.

#include <windows.h>

#include <string>

namespace korvex {

struct WindowClassParams {
  UINT style = 0;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  HICON icon = nullptr;
};

// Returns the name of a class with the given look and the framework's window
// procedure, registering it on first use; empty when registration fails.
std::wstring RegisterWindowClass(const WindowClassParams& params);

}  // namespace korvex
