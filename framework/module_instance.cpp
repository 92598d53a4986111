#include "framework/module_instance.h"

namespace korvex {

HINSTANCE ModuleInstance() {
  // The address of this function lies inside the module we were linked into.
  static const HINSTANCE instance = [] {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ModuleInstance), &module);
    return static_cast<HINSTANCE>(module);
  }();
  return instance;
}

}  // namespace korvex
