#pragma once
// Decoding the character references of element text.

#include <string>
#include <string_view>

namespace korvex::xml {

// Appends `text` with its references decoded: decimal (&#65;) and hexadecimal
// (&#x41;) numbers, code points above U+FFFF as surrogate pairs, and the named
// references of HTML 4 with ASCII case folded. An "&" that does not start a
// reference of at most nine characters closed by ";", whose name is unknown or
// whose value is 0 or no Unicode scalar value, is copied unchanged.
void AppendDecodedText(std::u16string_view text, std::u16string& out);

// Appends `value` with "<", "&" and ">" written as references.
void AppendEscapedText(std::u16string_view value, std::u16string& out);

}  // namespace korvex::xml
