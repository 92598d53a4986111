#pragma once
// Link files: the INI file beside a profile file naming the programs linked to
// the profile, section [GROUP], keys LinkExe0 to LinkExe4 (and the profile's
// own name under CurrentProfileName, written with the profile list).
//
// Location: with `folder` empty, dataFolder/"Profiles"/(name + ".ini");
// otherwise folder/(name + ".ini"). `dataFolder` is the per-user data folder,
// with or without a trailing separator.

#include <filesystem>
#include <string_view>

#include "store/records.h"

// Fills the five linked programs from the link file; each is cut to 259
// characters. A missing file, section or key yields an empty slot, and so do
// an empty data folder (with no folder given) and a name holding '/', '\', ':'
// or NUL.
void ReadLinkPrograms(const std::filesystem::path& dataFolder, tagLINK_PROGRAMS& links, std::u16string_view name,
                      const std::filesystem::path& folder = {});
