#include "store/profile_file.h"

#include <string>

#include "store/data_file_path.h"
#include "store/xml_fields.h"

namespace {

using korvex::XmlChildFieldReader;
using korvex::XmlFieldWriter;

// The children of Button_<key>, in file order.
template <class Profile, class Visit>
void ForEachKeyField(Profile& profile, int key, Visit& visit) {
  auto& assign = profile.keys[key];
  visit(u"bySelFunc", assign.bySelFunc);
  visit(u"byBtnFun", assign.byBtnFun);
  visit(u"launch", assign.launch);
  visit(u"MacroName", assign.MacroName);
  visit(u"repeatTime", assign.repeatTime);
  visit(u"byKeyNumber", assign.byKeyNumber);
  visit(u"coLightRGB", profile.colorSets[0].colors[key]);
}

// The children of Lighting, in file order.
template <class Lighting, class Visit>
void ForEachLightingField(Lighting& lighting, Visit& visit) {
  visit(u"byLightEffect", lighting.byLightEffect);
  visit(u"byLightEffectDirect", lighting.byLightEffectDirect);
  visit(u"byLightBright", lighting.byLightBright);
  visit(u"byLightSpeed", lighting.byLightSpeed);
  visit(u"byLightColorType", lighting.byLightColorType);
  visit(u"byLightRGBNUM", lighting.byLightRGBNUM);
  visit(u"byLightColor", lighting.byLightColor);
  visit(u"bKeyColorType", lighting.bKeyColorType);
  visit(u"bySingleKeyColor", lighting.bySingleKeyColor);
  visit(u"byAllKeyColor", lighting.byAllKeyColor);
}

std::u16string ButtonElementName(int key) { return u"Button_" + FormatDecimal(key); }

bool ProfilePath(const std::filesystem::path& dataFolder, std::u16string_view name,
                 const std::filesystem::path& folder, std::filesystem::path& path) {
  return korvex::BuildDataFilePath(dataFolder, u"Profiles", name, u".profile", folder, path);
}

}  // namespace

bool WriteProfileFile(const std::filesystem::path& dataFolder, std::u16string_view name,
                      const tagPROFILE_DATA& profile, const std::filesystem::path& folder) {
  std::filesystem::path path;
  if (!ProfilePath(dataFolder, name, folder, path)) return false;

  CXmlDocument doc;
  korvex::OpenStoreDocumentForWriting(doc, path);
  XmlFieldWriter write{doc};

  korvex::EnterOrAddElement(doc, u"ButtonSet");
  for (int key = 0; key < KEY_COUNT; ++key) {
    korvex::EnterOrAddElement(doc, ButtonElementName(key));
    ForEachKeyField(profile, key, write);
    doc.LeaveElement();
  }
  doc.LeaveElement();

  korvex::EnterOrAddElement(doc, u"Lighting");
  ForEachLightingField(profile.lighting, write);

  return doc.SaveFile(path) && write.ok;
}

bool ReadProfileFile(const std::filesystem::path& dataFolder, std::u16string_view name,
                     tagPROFILE_DATA& profile, const std::filesystem::path& folder) {
  std::filesystem::path path;
  if (!ProfilePath(dataFolder, name, folder, path)) return false;

  CXmlDocument doc;
  if (!doc.LoadFile(path)) return false;
  XmlChildFieldReader read{doc};

  if (doc.FindChildElement(u"ButtonSet")) {
    doc.EnterElement();
    for (int key = 0; key < KEY_COUNT; ++key) {
      if (!doc.FindChildElement(ButtonElementName(key))) continue;
      doc.EnterElement();
      ForEachKeyField(profile, key, read);
      doc.LeaveElement();
    }
    doc.LeaveElement();
  }
  if (doc.FindChildElement(u"Lighting")) {
    doc.EnterElement();
    ForEachLightingField(profile.lighting, read);
  }

  // The file is saved back as read; a failure here does not undo the read.
  doc.SaveFile(path);
  return true;
}
