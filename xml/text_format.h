#pragma once
// Small helpers for building the diagnostic result texts.

#include <string>
#include <string_view>

namespace korvex::xml {

inline void AppendAscii(std::u16string& out, std::string_view ascii) {
  out.append(ascii.begin(), ascii.end());
}

inline void AppendDecimal(std::u16string& out, long long value) {
  auto digits = std::to_string(value);
  out.append(digits.begin(), digits.end());
}

}  // namespace korvex::xml
