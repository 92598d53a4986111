#pragma once
// The named character references of HTML 4 (252 names) plus XML's "apos".

#include <cstddef>
#include <string_view>

namespace korvex::xml {

// The character a reference name stands for, or 0 when the name is unknown.
// The exact spelling wins; otherwise ASCII letters are folded and the first
// name of the table (in the standard HTML 4 order) that then equals it counts,
// so "Amp" means "amp" while "Eacute" and "eacute" keep their own letters.
char32_t FindNamedReference(std::u16string_view name);

// Number of HTML 4 names in the table (apos not counted).
std::size_t Html4ReferenceCount();

}  // namespace korvex::xml
