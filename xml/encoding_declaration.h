#pragma once
// Finds the encoding a document declares about itself: the `encoding` of a
// leading XML declaration, or, in an HTML document, the charset of the `meta`
// element in `head` that declares the Content-Type (or carries `charset`).

#include <cstddef>
#include <string>
#include <string_view>

namespace korvex::xml {

// A file's declaration is looked for in its first 1024 bytes. Writing looks at
// the same span of the text, so that a file is written in the encoding it
// will be read in even when a declaration runs on past that span.
constexpr std::size_t kDeclarationHeadSize = 1024;

// `head` is the start of a file read as bytes (UTF-8 or any ASCII-compatible
// code page). Returns the declared name, or empty when there is none.
std::u16string DeclaredEncoding(std::string_view head);
// The same for a document already in UTF-16.
std::u16string DeclaredEncoding(std::u16string_view text);

}  // namespace korvex::xml
