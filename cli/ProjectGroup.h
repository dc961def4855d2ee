#pragma once
// BDS project groups (*.bdsgroup): the projects a group builds, each found
// through its .bdsproj file.
#include <string>
#include <string_view>
#include <vector>

namespace cli {

bool IsProjectGroup(std::string_view path);  // by its extension

// The .bdsproj files a group's text names, as it writes them, in the order
// of its Targets entry (entries it does not list there are not built);
// every entry in file order when it has no Targets entry.
std::vector<std::string> GroupEntries(std::string_view groupText);

// The main source a .bdsproj text names (<Source Name="MainSource">), as it
// writes it; empty when it names none.
std::string MainSourceOf(std::string_view projectText);

struct GroupProjects {
  std::vector<std::string> Projects;  // host paths of the main sources
  std::string Problem;                // why the group cannot be built; empty when it can
};

// The main sources of a group's projects: each .bdsproj's main source, else
// the .dpr beside it of the same name. Paths in the group and its projects
// are Windows paths, relative ones from the folder of the file naming them.
// `typedPath` is the group's path as a user typed it.
GroupProjects ReadProjectGroup(const std::string& typedPath);

}  // namespace cli
