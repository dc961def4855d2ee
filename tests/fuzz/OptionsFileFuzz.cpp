// The options file: what a load reads, a save writes and a reload reads
// again is the same settings, apart from what a save normalises (the
// version comes from the selector alone, the deploy flag is Y or N).
#include <string>

#include "platform/TextLines.h"
#include "settings/OptionsFile.h"
#include "settings/Profiles.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const settings::OptionsFileContent loaded = settings::ParseOptionsFile(platform::SplitLines(text));
  FUZZ_CHECK(loaded.Profile >= -1 && loaded.Profile <= 1);
  for (const auto& catalogue : loaded.Catalogues)
    for (const std::string& entry : catalogue.Entries)
      FUZZ_CHECK(!entry.empty() && static_cast<unsigned char>(entry.front()) > ' ' &&
                 static_cast<unsigned char>(entry.back()) > ' ');

  const platform::Lines saved = settings::FormatOptionsFile(loaded);
  const settings::OptionsFileContent reloaded =
      settings::ParseOptionsFile(platform::SplitLines(platform::JoinLines(saved)));
  settings::OptionsFileContent expected = loaded;
  expected.Version = loaded.Profile >= 0 ? settings::Profiles[loaded.Profile].Version : "";
  expected.AutoDeploy = loaded.AutoDeploy == "Y" ? "Y" : "N";
  FUZZ_CHECK(reloaded == expected);
  FUZZ_CHECK(settings::FormatOptionsFile(reloaded) == saved);
  return 0;
}
