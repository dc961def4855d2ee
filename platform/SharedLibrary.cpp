#include "platform/SharedLibrary.h"

#ifdef _WIN32
#include "platform/WindowsApi.h"
#else
#include <dlfcn.h>
#endif

namespace platform {

SharedLibrary::~SharedLibrary() { Unload(); }

bool SharedLibrary::Load(const std::string& path) {
  Unload();
#ifdef _WIN32
  handle_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
  if (!handle_) error_ = "Cannot load \"" + path + "\" (error " + std::to_string(GetLastError()) + ")";
#else
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) error_ = ::dlerror();
#endif
  return handle_ != nullptr;
}

void SharedLibrary::Unload() {
  if (!handle_) return;
#ifdef _WIN32
  FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
  ::dlclose(handle_);
#endif
  handle_ = nullptr;
}

void* SharedLibrary::Symbol(const std::string& name) const {
  if (!handle_) return nullptr;
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name.c_str()));
#else
  return ::dlsym(handle_, name.c_str());
#endif
}

}  // namespace platform
