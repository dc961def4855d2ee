#include "pipeline/ResourceRecompile.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "settings/Profiles.h"

namespace pipeline {

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
  // A project from elsewhere must not reach files outside its folder.
  for (const auto& [name, path] : {std::pair{compiled, compiledPath}, std::pair{source, sourcePath}}) {
    // A drive or a stream (":") joined after the folder names nothing sound.
    if (name.find(':') != std::string::npos || !platform::IsInsideFolder(path, options.ProjectPath)) {
      host.Messages().Add("--> Resource File \"" + name + "\" lies outside the project folder: left alone !!");
      return false;
    }
  }
  if (host.Files().FileExists(compiledPath)) host.Files().DeleteFile(compiledPath);

  // The wait is pointless once nothing can still create the file: the copy
  // failed, or the resource compiler did not start or has ended.
  const settings::Profile* profile = settings::ProfileAt(inputs.ProfileNumber());
  std::unique_ptr<platform::StartedProcess> tool;
  bool copied = false;
  const bool compiles = profile && host.Files().FileExists(profile->ResGen);
  if (compiles) {
    runner::MessageList& messages = host.Messages();
    messages.Add("--> ReCompile Resource File...\"" + source + "\".....");
    tool = host.StartHidden(ResGenCommandLine(profile->ResGen, sourcePath, compiledPath));
    runner::AppendToLastLine(messages, "..OK !!");
  } else {
    copied = host.Files().CopyFile(sourcePath, compiledPath);
  }

  bool toolEnded = false;
  for (int waited = 0;; waited += wait.IntervalMs) {
    toolEnded = !tool || tool->HasExited();  // asked before the file, so no late file is missed
    if (host.Files().FileExists(compiledPath)) return true;
    if (waited >= wait.TimeoutMs || (tool ? toolEnded : !copied)) break;
    host.Wait(wait.IntervalMs);
  }
  if (tool) tool->Terminate();
  // Why the file is not there, as far as the build can tell.
  std::string why;
  if (!compiles)
    why = copied ? "was copied but is not there" : "was not created: \"" + source + "\" could not be copied";
  else if (!tool) why = "was not created: the resource compiler could not be started";
  else if (toolEnded) why = "was not created: the resource compiler ended without writing it";
  else why = "was still not there after " + std::to_string(wait.TimeoutMs / 1000) + " s";
  host.Messages().Add("--> Resource File \"" + compiled + "\" " + why + "; the build goes on without it !!");
  return false;
}

}  // namespace pipeline
