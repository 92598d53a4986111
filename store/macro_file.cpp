#include "store/macro_file.h"

#include <system_error>

#include "store/data_file_path.h"
#include "store/number_text.h"
#include "store/xml_fields.h"

namespace {

constexpr std::u16string_view kExtension = u".macro";

// The children of Event_<index>, in file order.
template <class Event, class Visit>
void ForEachEventField(Event& event, Visit& visit) {
  visit(u"attributeH", event.attributeH);
  visit(u"attributeL", event.attributeL);
  visit(u"map", event.map);
}

std::u16string EventElementName(int index) { return u"Event_" + FormatDecimal(index); }

bool MacroPath(const std::filesystem::path& dataFolder, std::u16string_view name,
               const std::filesystem::path& fullPath, int usePath, std::filesystem::path& path) {
  if (!name.empty() && usePath != 1) {
    return korvex::BuildDataFilePath(dataFolder, u"Macros", name, kExtension, {}, path);
  }
  path = fullPath;
  return !path.empty();
}

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool MatchesAt(std::u16string_view text, std::size_t at, std::u16string_view lowerWord) {
  if (text.size() - at < lowerWord.size()) return false;
  for (std::size_t i = 0; i < lowerWord.size(); ++i) {
    if (FoldAscii(text[at + i]) != lowerWord[i]) return false;
  }
  return true;
}

// The macro name of a file name ending in ".macro" (any case): the file name
// with every ".macro" removed. False for other file names.
bool MacroNameOfFile(std::u16string_view fileName, std::u16string& name) {
  if (fileName.size() < kExtension.size() || !MatchesAt(fileName, fileName.size() - kExtension.size(), kExtension)) {
    return false;
  }
  name.clear();
  for (std::size_t i = 0; i < fileName.size();) {
    if (MatchesAt(fileName, i, kExtension)) {
      i += kExtension.size();
    } else {
      name += fileName[i++];
    }
  }
  return true;
}

}  // namespace

bool WriteMacroFile(const std::filesystem::path& dataFolder, const tagMACRO_DATA& macro, std::u16string_view name,
                    const std::filesystem::path& fullPath, int usePath) {
  std::filesystem::path path;
  if (!MacroPath(dataFolder, name, fullPath, usePath, path)) return false;

  CXmlDocument doc;
  korvex::OpenStoreDocumentForWriting(doc, path);
  korvex::XmlFieldWriter write{doc};

  korvex::EnterOrAddElement(doc, u"Setting");
  write(u"MacroName", macro.MacroName);
  write(u"Repeat", macro.Repeat);
  for (int index = 0; index < MACRO_EVENT_COUNT; ++index) {
    korvex::EnterOrAddElement(doc, EventElementName(index));
    ForEachEventField(macro.events[index], write);
    doc.LeaveElement();
  }

  return doc.SaveFile(path) && write.ok;
}

bool ReadMacroFile(const std::filesystem::path& dataFolder, tagMACRO_DATA& macro, std::u16string_view name,
                   const std::filesystem::path& fullPath, int usePath) {
  std::filesystem::path path;
  if (!MacroPath(dataFolder, name, fullPath, usePath, path)) return false;

  CXmlDocument doc;
  if (!doc.LoadFile(path)) return false;
  korvex::XmlChildFieldReader read{doc};

  if (doc.FindChildElement(u"Setting")) {
    doc.EnterElement();
    read(u"MacroName", macro.MacroName);
    read(u"Repeat", macro.Repeat);
    for (int index = 0; index < MACRO_EVENT_COUNT; ++index) {
      if (!doc.FindChildElement(EventElementName(index))) continue;
      doc.EnterElement();
      ForEachEventField(macro.events[index], read);
      doc.LeaveElement();
    }
  }

  // The file is saved back as read; a failure here does not undo the read.
  doc.SaveFile(path);
  return true;
}

std::vector<std::u16string> ListMacroFiles(const std::filesystem::path& dataFolder) {
  std::vector<std::u16string> names;
  if (dataFolder.empty()) return names;
  std::error_code ec;
  std::filesystem::directory_iterator it(dataFolder / "Macros", ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::u16string fileName;
    // A native name that is not valid text on this system cannot be a macro name.
    try {
      fileName = it->path().filename().u16string();
    } catch (...) {
      continue;
    }
    std::u16string name;
    if (MacroNameOfFile(fileName, name)) names.push_back(std::move(name));
  }
  return names;
}
