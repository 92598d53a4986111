// Any bytes as a macro file: reading must not crash, hang or touch memory
// outside the record; whatever was read is written back, and when that write
// succeeds the file must read back to the same record (or, in a legacy
// encoding that lost characters, be stable from the next rewrite on).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "store/macro_file.h"
#include "store/records.h"
#include "store_fuzz_folder.h"
#include "store_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto path = StoreFuzzFolder("macro-fuzz") / "fuzz.macro";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

  tagMACRO_DATA macro{};
  ReadMacroFile({}, macro, {}, path, 1);
  if (!WriteMacroFile({}, macro, {}, path, 1)) return 0;

  tagMACRO_DATA again{};
  if (!ReadMacroFile({}, again, {}, path, 1)) std::abort();
  if (RewriteIsLossless(path)) {
    if (std::memcmp(&macro, &again, sizeof macro) != 0) std::abort();
    return 0;
  }
  if (!WriteMacroFile({}, again, {}, path, 1)) std::abort();
  tagMACRO_DATA third{};
  if (!ReadMacroFile({}, third, {}, path, 1)) std::abort();
  if (std::memcmp(&again, &third, sizeof again) != 0) std::abort();
  return 0;
}
