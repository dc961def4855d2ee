#include "build/ResourceRecompile.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "settings/Profiles.h"

namespace build {

std::string QuotedResourceName(const std::string& line, const std::string& extension) {
  size_t dot = line.find(extension);
  size_t quote = dot == 0 ? std::string::npos : line.rfind('\'', dot - 1);
  size_t start = quote == std::string::npos ? dot : quote + 1;
  size_t end = line.find('\'', start);
  return line.substr(start, (end == std::string::npos ? line.size() : end) - start);
}

std::string ResGenCommandLine(const std::string& resGen, const std::string& resx, const std::string& resources) {
  return resGen + " /compile \"" + resx + "\",\"" + resources + "\"";
}

bool RecompileResource(const std::string& line, BuildInputs& inputs, BuildHost& host, const ResourceWait& wait) {
  if (!platform::Contains(line, ".resources") || !platform::Contains(line, ".resx")) return true;
  const std::string compiled = QuotedResourceName(line, ".resources");
  const std::string source = QuotedResourceName(line, ".resx");
  settings::TCFOptions& options = inputs.Options();
  if (inputs.ProjectFolderText() != options.ProjectPath) options.ProjectPath = inputs.ProjectFolderText();
  const std::string compiledPath = options.ProjectPath + compiled;
  const std::string sourcePath = options.ProjectPath + source;
  if (platform::FileExists(compiledPath)) platform::DeleteFile(compiledPath);

  const settings::Profile* profile = settings::ProfileAt(inputs.ProfileNumber());
  if (profile && platform::FileExists(profile->ResGen)) {
    runner::MessageList& messages = host.Messages();
    messages.Add("--> ReCompile Resource File...\"" + source + "\".....");
    host.StartHidden(ResGenCommandLine(profile->ResGen, sourcePath, compiledPath));
    runner::AppendToLastLine(messages, "..OK !!");
  } else {
    platform::CopyFile(sourcePath, compiledPath);
  }

  for (int waited = 0; !platform::FileExists(compiledPath); waited += wait.IntervalMs) {
    if (waited >= wait.TimeoutMs) {
      host.Messages().Add("--> Resource File \"" + compiled + "\" was not created within " +
                          std::to_string(wait.TimeoutMs / 1000) + " s; the build goes on without it !!");
      return false;
    }
    host.Wait(wait.IntervalMs);
  }
  return true;
}

}  // namespace build
