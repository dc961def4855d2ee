#include "platform/PathText.h"

namespace platform {

namespace {
size_t NameStart(std::string_view path) {
  size_t p = path.find_last_of("\\:");
  return p == std::string_view::npos ? 0 : p + 1;
}
size_t ExtStart(std::string_view path) {
  size_t name = NameStart(path);
  size_t dot = path.rfind('.');
  return (dot == std::string_view::npos || dot < name) ? path.size() : dot;
}
}  // namespace

std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string ExtractFileExt(std::string_view path) { return std::string(path.substr(ExtStart(path))); }

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  return std::string(path.substr(0, ExtStart(path))) + std::string(ext);
}

std::string ExcludeTrailingBackslash(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

}  // namespace platform
