#pragma once
// The module (program or DLL) that holds the framework's code.
//
// The framework is linked statically into each program and library, so this
// is the module whose window classes, dialog templates and other resources
// the framework uses: inside Setting.dll it is the library, not the host.

#include <windows.h>

namespace korvex {

HINSTANCE ModuleInstance();

}  // namespace korvex
