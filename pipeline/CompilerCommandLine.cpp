#include "pipeline/CompilerCommandLine.h"

#include <utility>
#include <vector>

#include "pipeline/ResourceRecompile.h"

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

std::string QuoteInToolArguments(BuildInputs& inputs, const platform::Lines& projectLines) {
  const settings::TCFOptions& o = inputs.Options();
  std::vector<std::pair<std::string, std::string>> texts = {{"The compiler's folder", inputs.CompilerFolderText()},
                                                            {"The project's folder", inputs.ProjectFolderText()},
                                                            {"The project's file name", o.ProjectFileName},
                                                            {"BDS_Lib_Path", o.BDS_Lib_Path},
                                                            {"MS_Assembly_Path", o.MS_Assembly_Path},
                                                            {"Delphi_Assembly_Path", o.Delphi_Assembly_Path},
                                                            {"Third_Assembly_Path", o.Third_Assembly_Path},
                                                            {"MS_CF_Assembly_Version", o.MS_CF_Assembly_Version}};
  for (settings::Catalogue which :
       {settings::Catalogue::Microsoft, settings::Catalogue::Delphi, settings::Catalogue::ThirdParty})
    for (const settings::CatalogueEntry& entry : inputs.CatalogueList(which))
      if (entry.Checked) texts.push_back({"The assembly", entry.Text});
  for (const std::string& line : projectLines)
    if (line.find(".resources") != std::string::npos && line.find(".resx") != std::string::npos)
      for (const char* extension : {".resources", ".resx"})
        texts.push_back({"The resource", QuotedResourceName(line, extension)});
  for (const auto& [what, text] : texts)
    if (text.find('"') != std::string::npos)
      return what + " \"" + text + "\" holds a '\"', which no tool's command line can pass: nothing was built";
  return {};
}

}  // namespace pipeline
