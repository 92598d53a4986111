// Any bytes as a profile file: reading must not crash, hang or touch memory
// outside the record; whatever was read is written back, and when that write
// succeeds the file must read back to the same stored fields (or, in a legacy
// encoding that lost characters, be stable from the next rewrite on).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "store/profile_file.h"
#include "store/records.h"
#include "store_fuzz_folder.h"
#include "store_round_trip.h"

namespace {

bool SameStoredFields(const tagPROFILE_DATA& a, const tagPROFILE_DATA& b) {
  if (std::memcmp(&a.keys, &b.keys, sizeof a.keys) != 0) return false;
  if (std::memcmp(&a.lighting, &b.lighting, sizeof a.lighting) != 0) return false;
  return std::memcmp(a.colorSets[0].colors, b.colorSets[0].colors, sizeof a.colorSets[0].colors) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto profile = std::make_unique<tagPROFILE_DATA>();
  static auto again = std::make_unique<tagPROFILE_DATA>();
  const auto& folder = StoreFuzzFolder("profile-fuzz");
  {
    std::ofstream out(folder / "fuzz.profile", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

  ResetProfileData(*profile);
  if (ReadProfileFile({}, u"fuzz", *profile, folder)) ValidateLoadedLighting(*profile);
  if (!WriteProfileFile({}, u"fuzz", *profile, folder)) return 0;

  ResetProfileData(*again);
  if (!ReadProfileFile({}, u"fuzz", *again, folder)) std::abort();
  if (RewriteIsLossless(folder / "fuzz.profile")) {
    if (!SameStoredFields(*profile, *again)) std::abort();
    return 0;
  }
  if (!WriteProfileFile({}, u"fuzz", *again, folder)) std::abort();
  ResetProfileData(*profile);
  if (!ReadProfileFile({}, u"fuzz", *profile, folder)) std::abort();
  if (!SameStoredFields(*again, *profile)) std::abort();
  return 0;
}
