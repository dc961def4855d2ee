// Windows paths to host paths and back, and path parts: no crash on any
// text, the empty one included.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/PathText.h"
#include "platform/WinPath.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A world of its own: drive C: is a folder below a fresh dosdevices folder.
  char pattern[] = "/tmp/tidewell-fuzz-XXXXXX";
  std::string root = ::mkdtemp(pattern);
  std::filesystem::create_directories(root + "/drive_c/Program Files/Sub");
  std::filesystem::create_directories(root + "/dosdevices");
  std::filesystem::create_directory_symlink(root + "/drive_c", root + "/dosdevices/c:");
  ::setenv("TIDEWELL_DOSDEVICES", (root + "/dosdevices").c_str(), 1);
  std::filesystem::current_path(root + "/drive_c");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string host = platform::ToHostPath(text);
  FUZZ_CHECK(text.empty() == host.empty());
  const std::string windows = platform::ToWindowsPath(host);
  FUZZ_CHECK(host.empty() || (windows.size() >= 3 && windows[1] == ':' && windows[2] == '\\'));
  platform::PathProblem(text);
  const std::string folder = platform::ExtractFilePath(text), name = platform::ExtractFileName(text);
  FUZZ_CHECK(folder + name == text);
  FUZZ_CHECK(name.ends_with(platform::ExtractFileExt(text)));
  platform::ChangeFileExt(text, "");
  platform::ExcludeTrailingBackslash(text);
  return 0;
}
