#pragma once
// The per-user registry values, written with the Windows registry API.

#include <string>

#include "store/user_registry.h"

class CWindowsUserRegistry final : public IUserRegistry {
 public:
  // Values go under HKEY_CURRENT_USER\`keyPath`, which is opened with read and
  // write access for each write and never created.
  explicit CWindowsUserRegistry(std::u16string keyPath = u"SOFTWARE\\Korvex");

  bool SetString(std::u16string_view name, std::u16string_view value) override;
  bool SetDword(std::u16string_view name, uint32_t value) override;

 private:
  bool SetValue(std::u16string_view name, unsigned long type, const void* data, unsigned long size);

  std::u16string keyPath_;
};
