#include "pipeline/Cleanup.h"

#include "platform/Files.h"
#include "platform/Text.h"

namespace pipeline {

void DeleteStaleCompanionFiles(const std::string& projectFolder, const std::string& baseName) {
  for (const char* ext : {".identcache", ".pdb", ".rsp", ".bdsproj.local"})
    if (platform::FileExists(projectFolder + baseName + ext)) platform::DeleteFile(projectFolder + baseName + ext);
  for (const std::string& name : platform::ListFiles(projectFolder, "*.resources"))
    platform::DeleteFile(projectFolder + name);
}

void RemoveCFSupportUnits(const std::string& libFolder) {
  for (const char* unit :
       {"\\System.Drawing.Font.dcuil", "\\System.Drawing.GraphicsUnit.dcuil", "\\System.ComponentModel.WindowsCE.dcuil"})
    if (platform::FileExists(libFolder + unit)) platform::DeleteFile(libFolder + unit);
}

void BackupOutputProgram(const std::string& projectPath, const std::string& baseName) {
  const std::string backup = projectPath + baseName + "._xe";
  const std::string program = projectPath + baseName + ".exe";
  if (platform::FileExists(backup)) platform::DeleteFile(backup);
  if (platform::FileExists(program)) platform::RenameFile(program, backup);
}

void DelPjAllDcpil(const std::string& projectFolder,
                   std::initializer_list<const settings::CatalogueEntries*> catalogues) {
  if (platform::Trim(projectFolder).empty()) return;
  for (const settings::CatalogueEntries* list : catalogues)
    for (const settings::CatalogueEntry& entry : *list) {
      if (entry.Text.size() < 3) continue;
      const std::string path = projectFolder + entry.Text.substr(0, entry.Text.size() - 3) + "dcpil";
      // An entry of someone else's options file never reaches outside the project.
      if (entry.Text.find(':') != std::string::npos || !platform::IsInsideFolder(path, projectFolder)) continue;
      platform::DeleteFile(path);
    }
}

}  // namespace pipeline
