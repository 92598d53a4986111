#pragma once
// References on the library's own module. A thread of the library that may
// still run when the client unloads it holds one, so the code cannot vanish
// under it: the client's FreeLibrary then only takes the library away once
// that thread is done.

#include <windows.h>

namespace korvex::hid {

// The module this code lives in, its reference count raised by one; nullptr
// on failure. Give it back with FreeLibrary (or FreeLibraryAndExitThread).
HMODULE ReferenceOwnModule();

}  // namespace korvex::hid
