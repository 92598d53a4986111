#pragma once
// Numbers in the data files: signed decimal text.

#include <cstdint>
#include <string>
#include <string_view>

// The standard decimal conversion (wcstol with a 32-bit long): leading white
// space, an optional sign, then digits up to the first non-digit. Empty or
// non-numeric text gives 0; values beyond the 32-bit range saturate.
int32_t ParseDecimal(std::u16string_view text);

// "%d".
std::u16string FormatDecimal(int32_t value);
