#pragma once
// A shared library loaded at run time (dlopen / LoadLibraryA), for a host
// that loads packages.
#include <string>

namespace platform {

class SharedLibrary {
 public:
  SharedLibrary() = default;
  ~SharedLibrary();  // unloads
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // False, with Error() saying why, when the library cannot be loaded.
  bool Load(const std::string& path);
  void Unload();
  bool Loaded() const { return handle_ != nullptr; }
  // The address of an entry point, or nullptr.
  void* Symbol(const std::string& name) const;
  const std::string& Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace platform
