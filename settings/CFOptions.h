#pragma once
// The build settings record of the build dialog. Fields carrying an
// options-file key are named by it. A new record holds the reset values that
// every load starts from.
#include <string>

#include "settings/Profiles.h"

namespace settings {

inline constexpr const char* OptionsFileName = "CFOption.OPN";

inline constexpr const char* DefaultCompilerPath = "C:\\Program Files\\Borland\\BDS\\4.0\\Bin";
inline constexpr const char* DefaultDelphiAssemblyPath =
    "C:\\Program Files\\Common Files\\Borland Shared\\BDS\\Shared Assemblies\\4.0";

struct TCFOptions {
  std::string BDS_Compiler_Path;
  std::string BDS_Lib_Path = Profiles[0].LibPath;
  std::string MS_CF_Assembly_Version = Profiles[0].Version;  // the version string
  std::string MS_Assembly_Path = Profiles[0].AssemblyPath;
  std::string Delphi_Assembly_Path = DefaultDelphiAssemblyPath;
  std::string Third_Assembly_Path;
  std::string MS_CF_Emulator_Application;
  std::string MS_CF_Emulator_Image_FileName;
  std::string MS_CF_Emulator_Shared_Folder;
  std::string MS_CF_Auto_Depoly_To_Emulator = "N";
  std::string ProjectPath;      // ends with "\"
  std::string ProjectFileName;  // no folder
  std::string ProjectFileExt;   // with its dot; a load does not reset it
  bool Loading = false;         // set by the callers of a load
};

// The first step of every load: the reset values, except for the fields a
// load does not reset (ProjectFileExt, Loading).
inline void ResetOptions(TCFOptions& options) {
  TCFOptions fresh;
  fresh.ProjectFileExt = std::move(options.ProjectFileExt);
  fresh.Loading = options.Loading;
  options = std::move(fresh);
}

}  // namespace settings
