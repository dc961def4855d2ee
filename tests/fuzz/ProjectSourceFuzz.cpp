// A project file: its units are collected and its "[STAThread]" lines
// patched; once every such line follows a "{$IFNDEF CF}" line, another build
// leaves the file byte for byte as it is.
#include <unistd.h>

#include <string>

#include "platform/FileSystem.h"
#include "pipeline/SourceAdaptation.h"
#include "platform/Files.h"
#include "platform/TextLines.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {
std::string projectFile;

// One build's pass over the project source.
void PatchAll(const std::string& path) {
  platform::Lines lines = platform::LoadLines(path);
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find("[STAThread]") != std::string::npos)
      pipeline::PatchProjectSource(platform::DiskFiles(), lines, i, path, "2007/03/05");
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/tidewell-fuzz-XXXXXX";
  projectFile = std::string(::mkdtemp(pattern)) + "/Project1.dpr";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::WriteFileText(projectFile, text);
  platform::Lines units;
  pipeline::GetProjectUnits(platform::DiskFiles(), projectFile, units);
  for (const std::string& unit : units) {
    FUZZ_CHECK(unit.ends_with(".pas") && unit.find('\'') == std::string::npos);
    FUZZ_CHECK(text.find("'" + unit) != std::string::npos);
  }
  PatchAll(projectFile);
  const platform::Lines lines = platform::LoadLines(projectFile);
  bool guarded = true;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find("[STAThread]") != std::string::npos)
      guarded = guarded && i > 0 && lines[i - 1].find("{$IFNDEF CF}") != std::string::npos;
  if (!guarded) return 0;
  const std::string settled = platform::ReadFileText(projectFile);
  PatchAll(projectFile);
  FUZZ_CHECK(platform::ReadFileText(projectFile) == settled);
  return 0;
}
