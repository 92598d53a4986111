#pragma once
// The map from window handles to the framework objects that handle them.
//
// Each thread has its own map, as each window belongs to the thread that
// created it; a window of another thread is never found. Each module linking
// the framework has its own map too, so a library's windows stay apart from
// its host's.

#include <windows.h>

namespace korvex {

class CWindow;

namespace window_map {

void Add(HWND window, CWindow* object);
void Remove(HWND window);
CWindow* Find(HWND window);
size_t Count();

}  // namespace window_map
}  // namespace korvex
