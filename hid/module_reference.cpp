#include "hid/module_reference.h"

namespace korvex::hid {

HMODULE ReferenceOwnModule() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&ReferenceOwnModule),
                          &module))
    return nullptr;
  return module;
}

}  // namespace korvex::hid
