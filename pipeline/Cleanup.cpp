#include "pipeline/Cleanup.h"

#include "platform/Files.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace pipeline {

void DeleteStaleCompanionFiles(platform::FileSystem& files, const std::string& projectFolder,
                               const std::string& baseName) {
  for (const char* ext : {".identcache", ".pdb", ".rsp", ".bdsproj.local"})
    if (files.FileExists(projectFolder + baseName + ext)) files.DeleteFile(projectFolder + baseName + ext);
  for (const std::string& name : files.ListFiles(projectFolder, "*.resources")) files.DeleteFile(projectFolder + name);
}

void RemoveCFSupportUnits(platform::FileSystem& files, const std::string& libFolder) {
  for (const char* unit : {"\\System.Drawing.Font.dcuil", "\\System.Drawing.GraphicsUnit.dcuil",
                           "\\System.ComponentModel.WindowsCE.dcuil"})
    if (files.FileExists(libFolder + unit)) files.DeleteFile(libFolder + unit);
}

void BackupOutputProgram(platform::FileSystem& files, const std::string& projectPath, const std::string& baseName) {
  const std::string backup = projectPath + baseName + "._xe";
  const std::string program = projectPath + baseName + ".exe";
  if (files.FileExists(backup)) files.DeleteFile(backup);
  if (files.FileExists(program)) files.RenameFile(program, backup);
}

void DelPjAllDcpil(platform::FileSystem& files, const std::string& projectFolder,
                   std::initializer_list<const settings::CatalogueEntries*> catalogues) {
  if (platform::Trim(projectFolder).empty()) return;
  for (const settings::CatalogueEntries* list : catalogues)
    for (const settings::CatalogueEntry& entry : *list) {
      if (entry.Text.size() < 3) continue;
      const std::string path = projectFolder + entry.Text.substr(0, entry.Text.size() - 3) + "dcpil";
      // An entry of someone else's options file never reaches outside the project.
      if (entry.Text.find(':') != std::string::npos || !platform::IsInsideFolder(path, projectFolder)) continue;
      files.DeleteFile(path);
    }
}

}  // namespace pipeline
