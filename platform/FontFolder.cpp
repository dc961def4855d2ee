#include "platform/FontFolder.h"

#include <filesystem>

namespace platform {

std::vector<std::string> FormFontFiles() {
  std::vector<std::string> files;
#ifndef _WIN32
  // fonts-wine's folder; a prefix's own copy would do as well.
  for (const char* name : {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"}) {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::path("/usr/share/wine/fonts") / name;
    if (std::filesystem::is_regular_file(file, error)) files.push_back(file.string());
  }
#endif
  return files;
}

}  // namespace platform
