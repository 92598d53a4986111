#pragma once
// Record fields stored as XML elements: one element per field, holding the
// field's text (fixed-capacity strings) or its signed decimal value (numbers).
//
// Writing finds the next element of the field's name at the document's current
// level and replaces its text, or adds the element there, so elements and
// comments the writer does not know survive. Reading looks for the next child
// element of that name after the previous match; a missing element leaves the
// field unchanged.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <type_traits>

#include "store/fixed_text.h"
#include "store/number_text.h"
#include "xml/xml_document.h"

namespace korvex {

// Find-then-set, else add, at the current level. False when an element of that
// name exists but its text could not be replaced (it holds child elements).
inline bool WriteXmlText(CXmlDocument& doc, std::u16string_view name, std::u16string_view value) {
  if (doc.FindElement(name)) return doc.SetData(value);
  return doc.AddElement(name, value);
}

// Narrow unsigned fields are written as their value, 32-bit colours as the
// signed number of the same bits ("%d").
template <class T>
bool WriteXmlField(CXmlDocument& doc, std::u16string_view name, const T& field) {
  if constexpr (std::is_array_v<T>) {
    return WriteXmlText(doc, name, FixedTextView(field));
  } else {
    static_assert(std::is_integral_v<T> && sizeof(T) <= sizeof(int32_t));
    return SetXmlInt(doc, static_cast<int32_t>(field), name);
  }
}

// Reads the next child of the main element named `name` into `field`: text is
// cut to the field's capacity, numbers keep the low bits of the field's width.
template <class T>
void ReadXmlChildField(CXmlDocument& doc, std::u16string_view name, T& field) {
  if (!doc.FindChildElement(name)) return;
  if constexpr (std::is_array_v<T>) {
    CopyFixedText(field, doc.GetChildData());
  } else {
    static_assert(std::is_integral_v<T> && sizeof(T) <= sizeof(int32_t));
    field = static_cast<T>(ParseDecimal(doc.GetChildData()));
  }
}

// Writes or reads every field a visitor names: `forEach(record, visit)` calls
// visit(name, field) for each field in file order.
struct XmlFieldWriter {
  CXmlDocument& doc;
  bool ok = true;
  template <class T>
  void operator()(std::u16string_view name, const T& field) {
    ok = WriteXmlField(doc, name, field) && ok;
  }
};

struct XmlChildFieldReader {
  CXmlDocument& doc;
  template <class T>
  void operator()(std::u16string_view name, T& field) {
    ReadXmlChildField(doc, name, field);
  }
};

// Moves to the next element named `name` at the current level, adding it there
// when there is none, and enters it.
inline bool EnterOrAddElement(CXmlDocument& doc, std::u16string_view name) {
  if (!doc.FindElement(name) && !doc.AddElement(name)) return false;
  return doc.EnterElement();
}

// A new document holding the declaration line and an empty `root`, saved as
// UTF-16LE with the mark FF FE.
void StartStoreDocument(CXmlDocument& doc);

// Loads the file at `path` into `doc`, or starts a new store document when the
// file cannot be read or is not a clean document; then enters the top-level
// element, ready for the writers.
void OpenStoreDocumentForWriting(CXmlDocument& doc, const std::filesystem::path& path);

}  // namespace korvex
