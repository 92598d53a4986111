#pragma once
// Macro files: one XML document per macro, root / Setting with MacroName,
// Repeat and Event_0 .. Event_79 (attributeH, attributeL, map each).
//
// Location: dataFolder/"Macros"/(name + ".macro") when `name` is not empty and
// `usePath` is not 1; otherwise `fullPath`. `dataFolder` is the per-user data
// folder, with or without a trailing separator; when it is empty (it could not
// be named) the default-location calls do nothing and return false. Names
// holding '/', '\', ':' or NUL are refused.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "store/records.h"

// Writes the macro (its own MacroName, Repeat and all 80 events) into the
// file. An existing file is updated in place, keeping foreign elements,
// comments and its encoding; a missing or unreadable one is replaced by a new
// UTF-16LE document. The file is replaced atomically. False when the file
// could not be written or a known element could not take its new text.
bool WriteMacroFile(const std::filesystem::path& dataFolder, const tagMACRO_DATA& macro, std::u16string_view name,
                    const std::filesystem::path& fullPath, int usePath);

// Fills `macro` from the file. Fields whose elements are missing keep their
// values, so callers pass a zeroed record. Elements are expected in file
// order. The file is saved back in the encoding it was read with. False, with
// the record untouched, when the file cannot be read or is not a clean
// document.
bool ReadMacroFile(const std::filesystem::path& dataFolder, tagMACRO_DATA& macro, std::u16string_view name,
                   const std::filesystem::path& fullPath, int usePath);

// The names of the files dataFolder/"Macros"/*.macro, in the order the file
// system lists them, each with every ".macro" removed. The extension is
// matched without regard to ASCII case, as the Windows file system does.
// Empty when the data folder is empty or the folder cannot be listed.
std::vector<std::u16string> ListMacroFiles(const std::filesystem::path& dataFolder);
