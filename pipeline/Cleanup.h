#pragma once
// Stale files around a build. Every delete and rename ignores failure.
#include <initializer_list>
#include <string>

#include "platform/FileSystem.h"

#include "settings/CatalogueEntries.h"

namespace pipeline {

// Before the build: the project's companion files (.identcache, .pdb, .rsp,
// .bdsproj.local), then every "*.resources" file of the project folder.
void DeleteStaleCompanionFiles(platform::FileSystem& files, const std::string& projectFolder,
                               const std::string& baseName);

// The compiled CF support units in the compile library folder.
void RemoveCFSupportUnits(platform::FileSystem& files, const std::string& libFolder);

// The previous output program: base.exe becomes base._xe (one generation).
void BackupOutputProgram(platform::FileSystem& files, const std::string& projectPath, const std::string& baseName);

// The compiled assembly references named after the catalogue entries
// (System.Data.dll -> System.Data.dcpil) in the project folder. A blank
// folder deletes nothing.
void DelPjAllDcpil(platform::FileSystem& files, const std::string& projectFolder,
                   std::initializer_list<const settings::CatalogueEntries*> catalogues);

}  // namespace pipeline
