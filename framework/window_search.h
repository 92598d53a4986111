#pragma once
// Finding windows by their window names.

#include <windows.h>

namespace korvex {

// The top-level window with exactly this name, of any process; null if none.
inline HWND FindTopLevelWindow(const wchar_t* name) { return FindWindowW(nullptr, name); }

// The direct child of `parent` with exactly this name; null if none (or no
// parent).
inline HWND FindChildWindow(HWND parent, const wchar_t* name) {
  return parent ? FindWindowExW(parent, nullptr, nullptr, name) : nullptr;
}

}  // namespace korvex
