// Any bytes as a macro file: reading must not crash, hang or touch memory
// outside the record; whatever was read is written back, and when that write
// succeeds the file must read back to the same record.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "store/macro_file.h"
#include "store/records.h"

namespace {

// One folder per process, reused by every input.
const std::filesystem::path& FuzzFolder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("korvex-macro-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto path = FuzzFolder() / "fuzz.macro";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

  tagMACRO_DATA macro{};
  ReadMacroFile({}, macro, {}, path, 1);
  if (!WriteMacroFile({}, macro, {}, path, 1)) return 0;

  tagMACRO_DATA again{};
  if (!ReadMacroFile({}, again, {}, path, 1)) std::abort();
  if (std::memcmp(&macro, &again, sizeof macro) != 0) std::abort();
  return 0;
}
