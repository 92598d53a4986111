#pragma once
// Profile files: one XML document per profile holding its key assignments,
// the colours of colour set 0 and its lighting.
//
// Location: with `folder` empty, dataFolder/"Profiles"/(name + ".profile");
// otherwise folder/(name + ".profile") (export and import). `dataFolder` is the
// per-user data folder, with or without a trailing separator; when it is empty
// (it could not be named) the default-location calls do nothing and return
// false. Names holding '/', '\', ':' or NUL are refused.
//
// Layout: root / ButtonSet / Button_0 .. Button_110, each with bySelFunc,
// byBtnFun, launch, MacroName, repeatTime, byKeyNumber and coLightRGB; then
// root / Lighting with the ten lighting values. Numbers are signed decimal.

#include <filesystem>
#include <string_view>

#include "store/records.h"

// Writes the profile into its file. An existing file is updated in place:
// known elements get new texts, missing ones are added, everything else
// (foreign elements, comments) is kept, and the file keeps its encoding. A
// missing or unreadable file is replaced by a new UTF-16LE document. The file
// is replaced atomically. False when the file could not be written or a known
// element could not take its new text.
bool WriteProfileFile(const std::filesystem::path& dataFolder, std::u16string_view name,
                      const tagPROFILE_DATA& profile, const std::filesystem::path& folder = {});

// Fills `profile` from its file. Fields whose elements are missing keep their
// values, so callers reset the record first (ResetProfileData) and clamp it
// afterwards (ValidateLoadedLighting). Elements are expected in file order:
// each search starts after the previous match. The file is saved back in the
// encoding it was read with. False, with the record untouched, when the file
// cannot be read or is not a clean document.
bool ReadProfileFile(const std::filesystem::path& dataFolder, std::u16string_view name,
                     tagPROFILE_DATA& profile, const std::filesystem::path& folder = {});
