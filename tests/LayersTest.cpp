// Every include points down the layers of layers.txt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Layers {
  std::vector<std::pair<std::string, int>> prefixes;  // prefix, layer number

  static Layers Parse(std::istream& in) {
    Layers layers;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream words(line);
      for (std::string prefix; words >> prefix;) layers.prefixes.push_back({prefix, number});
      ++number;
    }
    return layers;
  }

  // The layer of a path: its longest listed prefix; -1 when none lists it.
  int Of(const std::string& path) const {
    int layer = -1;
    size_t longest = 0;
    for (const auto& [prefix, number] : prefixes)
      if (path.compare(0, prefix.size(), prefix) == 0 && prefix.size() > longest) {
        longest = prefix.size();
        layer = number;
      }
    return layer;
  }
};

// One problem per line: a file outside every layer, an include upwards, or
// a Qt header below the forms (whose first file is dialogs/FormsHost).
std::string Problems(const Layers& layers, const std::string& file, std::istream& source) {
  std::string problems;
  int own = layers.Of(file);
  if (own < 0) return file + " belongs to no layer\n";
  static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
  static const std::regex qt(R"(^\s*#\s*include\s*<Q)");
  const int forms = layers.Of("dialogs/FormsHost");
  int lineNumber = 0;
  for (std::string line; std::getline(source, line);) {
    ++lineNumber;
    if (own < forms && std::regex_search(line, qt))
      problems += file + ":" + std::to_string(lineNumber) + " includes Qt below the forms\n";
    std::smatch m;
    if (!std::regex_search(line, m, include)) continue;
    const std::string target = m[1];
    int theirs = layers.Of(target);
    if (theirs > own)
      problems += file + ":" + std::to_string(lineNumber) + " includes " + target + " from a layer above its own\n";
  }
  return problems;
}

const fs::path Root = TIDEWELL_SOURCE_DIR;

TEST(Layers, NoSourceIncludesALayerAboveItsOwn) {
  std::ifstream list(Root / "layers.txt");
  ASSERT_TRUE(list) << "layers.txt is missing";
  Layers layers = Layers::Parse(list);
  std::string problems;
  int files = 0;
  for (const char* folder : {"platform", "shell", "settings", "runner", "pipeline", "dataexport", "resources",
                             "dialogs", "host", "cli"}) {
    if (!fs::exists(Root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(Root / folder)) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".h" && ext != ".cpp") continue;
      std::ifstream source(entry.path());
      problems += Problems(layers, fs::relative(entry.path(), Root).generic_string(), source);
      ++files;
    }
  }
  EXPECT_GT(files, 40);
  EXPECT_EQ(problems, "");
}

TEST(Layers, TheCheckSeesAnIncludeUpwardsAndAFileOutsideEveryLayer) {
  std::istringstream list("# lowest first\nlow/\nhigh/ low/Top\ndialogs/FormsHost\n");
  Layers layers = Layers::Parse(list);
  std::istringstream upwards("#include \"low/Base.h\"\n  #  include \"low/Top.h\"\n#include <vector>\n");
  EXPECT_EQ(Problems(layers, "low/Base.cpp", upwards), "low/Base.cpp:2 includes low/Top.h from a layer above its own\n");
  std::istringstream downwards("#include \"low/Base.h\"\n");
  EXPECT_EQ(Problems(layers, "high/X.cpp", downwards), "");
  std::istringstream any("");
  EXPECT_EQ(Problems(layers, "elsewhere/X.cpp", any), "elsewhere/X.cpp belongs to no layer\n");
  std::istringstream widgets("#include <QWidget>\n");
  EXPECT_EQ(Problems(layers, "high/X.cpp", widgets), "high/X.cpp:1 includes Qt below the forms\n");
}

}  // namespace
