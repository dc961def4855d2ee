// The resource pair of a project-source line.
#include <string>

#include "pipeline/ResourceRecompile.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  // Only lines naming both are resource lines.
  if (line.find(".resources") == std::string::npos || line.find(".resx") == std::string::npos) return 0;
  for (const char* extension : {".resources", ".resx"}) {
    const std::string name = pipeline::QuotedResourceName(line, extension);
    FUZZ_CHECK(name.find('\'') == std::string::npos);
    FUZZ_CHECK(line.find(name) != std::string::npos);
    FUZZ_CHECK(name.find(extension) != std::string::npos);
  }
  return 0;
}
