#pragma once
// The per-user registry values the service keeps for the main program and the
// installer, under HKCU "SOFTWARE\Korvex". The key is opened, never created:
// when it is missing nothing is written and the setters return false.

#include <cstdint>
#include <string_view>

class IUserRegistry {
 public:
  virtual ~IUserRegistry() = default;
  // A string value (REG_SZ), stored with its terminating zero.
  virtual bool SetString(std::u16string_view name, std::u16string_view value) = 0;
  // A 32-bit number (REG_DWORD).
  virtual bool SetDword(std::u16string_view name, uint32_t value) = 0;
};
