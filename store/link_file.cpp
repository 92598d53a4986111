#include "store/link_file.h"

#include <cstring>
#include <string>

#include "store/data_file_path.h"
#include "store/fixed_text.h"
#include "store/ini_file.h"
#include "store/number_text.h"

void ReadLinkPrograms(const std::filesystem::path& dataFolder, tagLINK_PROGRAMS& links, std::u16string_view name,
                      const std::filesystem::path& folder) {
  std::memset(&links, 0, sizeof links);
  std::filesystem::path path;
  if (!korvex::BuildDataFilePath(dataFolder, u"Profiles", name, u".ini", folder, path)) return;

  const CIniFile ini(path);
  for (int n = 0; n < LINK_PROGRAM_COUNT; ++n) {
    CopyFixedText(links.programs[n], ini.ReadIniString(u"GROUP", u"LinkExe" + FormatDecimal(n), u""));
  }
}
