#include "cli/ProjectGroup.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/Files.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "platform/TextEncoder.h"
#include "platform/WinPath.h"

namespace cli {

namespace {

// The text of an XML element's content with the five named entities and
// character references read (other text kept as it is).
std::string ElementText(std::string_view raw) {
  std::string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    const size_t end = raw[i] == '&' ? raw.find(';', i) : std::string_view::npos;
    if (end == std::string_view::npos || end - i > 10) {
      text += raw[i];
      continue;
    }
    const std::string_view name = raw.substr(i + 1, end - i - 1);
    static const std::pair<const char*, char> Named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    bool read = false;
    for (const auto& [entity, character] : Named)
      if (name == entity) {
        text += character;
        read = true;
      }
    if (!read && name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      unsigned long code = std::strtoul(std::string(name.substr(hex ? 2 : 1)).c_str(), nullptr, hex ? 16 : 10);
      if (code > 0 && code < 0x110000) {
        platform::AppendUtf8(text, static_cast<char32_t>(code));
        read = true;
      }
    }
    if (!read) {
      text += raw[i];
      continue;
    }
    i = end;
  }
  return text;
}

// Each <TAG Name="NAME">TEXT</TAG> of an XML text, in order, as name and
// text.
std::vector<std::pair<std::string, std::string>> NamedElements(std::string_view xml, std::string_view tag) {
  std::vector<std::pair<std::string, std::string>> found;
  const std::string open = "<" + std::string(tag) + " ", close = "</" + std::string(tag) + ">";
  for (size_t at = xml.find(open); at != std::string_view::npos; at = xml.find(open, at + 1)) {
    const size_t tagEnd = xml.find('>', at);
    if (tagEnd == std::string_view::npos) break;
    const std::string_view attributes = xml.substr(at + open.size(), tagEnd - at - open.size());
    if (attributes.ends_with('/')) continue;  // an empty element
    const size_t name = attributes.find("Name=\"");
    if (name == std::string_view::npos) continue;
    const size_t nameEnd = attributes.find('"', name + 6);
    const size_t textEnd = xml.find(close, tagEnd);
    if (nameEnd == std::string_view::npos || textEnd == std::string_view::npos) continue;
    found.emplace_back(ElementText(attributes.substr(name + 6, nameEnd - name - 6)),
                       ElementText(xml.substr(tagEnd + 1, textEnd - tagEnd - 1)));
  }
  return found;
}

// A path a group or project file writes, made whole from its folder.
std::string Resolve(const std::string& written, const std::string& fromFile) {
  const std::string windows = platform::HostToCodePage(platform::Trim(written));
  const bool whole = windows.size() >= 2 && (windows[1] == ':' || windows[0] == '\\');
  std::string folder = platform::ToWindowsPath(std::filesystem::path(fromFile).parent_path().string());
  if (!folder.ends_with('\\')) folder += '\\';
  return platform::ToHostPath(whole ? windows : folder + windows);
}

// A host path as a user would type it: relative to the current folder when
// it lies inside it.
std::string Shown(const std::string& hostPath) {
  std::error_code unknown;
  const std::filesystem::path current = std::filesystem::current_path(unknown);
  const std::filesystem::path relative = std::filesystem::path(hostPath).lexically_relative(current);
  if (unknown || relative.empty() || *relative.begin() == "..") return hostPath;
  return relative.string();
}

}  // namespace

bool IsProjectGroup(std::string_view path) { return platform::SameText(platform::ExtractFileExt(path), ".bdsgroup"); }

std::vector<std::string> GroupEntries(std::string_view groupText) {
  std::vector<std::pair<std::string, std::string>> entries = NamedElements(groupText, "Projects");
  std::vector<std::string> targets;
  bool listed = false;
  for (const auto& [name, text] : entries)
    if (name == "Targets") {
      listed = true;
      std::istringstream words(text);
      for (std::string word; words >> word;) targets.push_back(word);
    }
  std::vector<std::string> files;
  if (!listed) {
    for (const auto& [name, text] : entries) files.push_back(text);
    return files;
  }
  for (const std::string& target : targets)
    for (const auto& [name, text] : entries)
      if (name != "Targets" && platform::SameText(name, target)) {
        files.push_back(text);
        break;
      }
  return files;
}

std::string MainSourceOf(std::string_view projectText) {
  for (const auto& [name, text] : NamedElements(projectText, "Source"))
    if (name == "MainSource") return platform::Trim(text);
  return {};
}

GroupProjects ReadProjectGroup(const std::string& typedPath) {
  const std::string groupFile = platform::ToHostPath(platform::TypedPath(typedPath));
  GroupProjects group;
  try {
    for (const std::string& entry : GroupEntries(platform::ReadFileText(groupFile))) {
      const std::string projectFile = Resolve(entry, groupFile);
      if (!platform::FileExists(projectFile)) {
        group.Problem = "the project " + entry + " of the group " + typedPath + " was not found";
        return group;
      }
      const std::string mainSource = MainSourceOf(platform::ReadFileText(projectFile));
      group.Projects.push_back(
          Shown(mainSource.empty() ? platform::ChangeFileExt(projectFile, ".dpr") : Resolve(mainSource, projectFile)));
    }
  } catch (const platform::FileError& e) {
    group.Problem = e.what();
    return group;
  }
  if (group.Projects.empty()) group.Problem = "the group " + typedPath + " names no project";
  return group;
}

}  // namespace cli
