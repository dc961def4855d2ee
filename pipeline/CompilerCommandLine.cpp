#include "pipeline/CompilerCommandLine.h"

namespace pipeline {

namespace {
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
}  // namespace

std::string ReferenceList(const std::string& folder, const settings::CatalogueEntries& catalogue) {
  std::string list;
  for (size_t i = 0; i < catalogue.size(); ++i) {
    if (!catalogue[i].Checked) continue;
    list += folder + "\\" + catalogue[i].Text;
    if (i + 1 != catalogue.size()) list += ";";
  }
  return list;
}

std::string CompilerCommandLine(BuildInputs& inputs) {
  const settings::TCFOptions& o = inputs.Options();
  const std::string& version = o.MS_CF_Assembly_Version;
  std::string line = Quoted(inputs.CompilerFolderText() + "\\dccil") + " ";
  line += "-DCF";
  line += " -NSC:\\WINDOWS\\Microsoft.NET\\Framework\\" + version;
  line += " --clrversion:" + version;
  line += " --no-config  --unsafe+ ";
  line += Quoted(inputs.ProjectFolderText() + o.ProjectFileName);
  line += " -U" + Quoted(o.BDS_Lib_Path);

  const auto& ms = inputs.CatalogueList(settings::Catalogue::Microsoft);
  if (!ms.empty()) line += " -U" + Quoted(o.MS_Assembly_Path);
  line += " -lu" + Quoted(ReferenceList(o.MS_Assembly_Path, ms));

  const std::pair<settings::Catalogue, const std::string*> others[] = {
      {settings::Catalogue::Delphi, &o.Delphi_Assembly_Path},
      {settings::Catalogue::ThirdParty, &o.Third_Assembly_Path}};
  for (const auto& [which, folder] : others) {
    const auto& list = inputs.CatalogueList(which);
    if (list.empty()) continue;
    line += " -U" + Quoted(*folder);
    line += " -lu" + Quoted(ReferenceList(*folder, list));
  }
  return line;
}

}  // namespace pipeline
