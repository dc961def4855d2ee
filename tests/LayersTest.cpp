// Every include points down the folders of layers.txt, widgets stay above
// the logic, and only the platform folder knows the operating system.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Layers {
  std::vector<std::string> folders;  // lowest first, each with its "/"

  static Layers Parse(std::istream& in) {
    Layers layers;
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::string folder;
      if (!(words >> folder) || folder[0] == '#') continue;
      layers.folders.push_back(folder);
    }
    return layers;
  }

  // The place of the folder a path lies in; -1 when none is listed.
  int Of(const std::string& path) const {
    for (size_t i = 0; i < folders.size(); ++i)
      if (path.starts_with(folders[i])) return static_cast<int>(i);
    return -1;
  }
};

// One problem per line: a file outside every folder, an include of a folder
// listed later, a Qt header below the forms, or an operating-system header
// outside the first folder.
std::string Problems(const Layers& layers, const std::string& file, std::istream& source) {
  const int own = layers.Of(file);
  if (own < 0) return file + " lies in no folder of layers.txt\n";
  static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
  static const std::regex qt(R"(^\s*#\s*include\s*<Q)");
  static const std::regex system(
      R"(^\s*#\s*include\s*<(unistd\.h|sys/|windows\.h|winsock|shellapi\.h|shlobj\.h|io\.h|direct\.h|fcntl\.h|signal\.h|csignal|dlfcn\.h|pwd\.h|grp\.h|poll\.h|spawn\.h|pthread\.h|dirent\.h|termios\.h|sql\.h|sqlext\.h|iconv\.h|linux/))");
  const int forms = layers.Of("forms/");
  std::string problems;
  int lineNumber = 0;
  for (std::string line; std::getline(source, line);) {
    ++lineNumber;
    const std::string where = file + ":" + std::to_string(lineNumber);
    if (own < forms && std::regex_search(line, qt)) problems += where + " includes Qt below the forms\n";
    if (own > 0 && std::regex_search(line, system))
      problems += where + " includes an operating-system header outside " + layers.folders[0] + "\n";
    std::smatch m;
    if (std::regex_search(line, m, include) && layers.Of(m[1]) > own)
      problems += where + " includes " + std::string(m[1]) + " from a folder listed after its own\n";
  }
  return problems;
}

const fs::path Root = TIDEWELL_SOURCE_DIR;
// Folders of sources that stand outside the layers.
const std::set<std::string> Outside = {"tests", "bench", "scripts", "examples", "packaging", "docs", "cmake"};

TEST(Layers, NoSourceIncludesAFolderListedAfterItsOwn) {
  std::ifstream list(Root / "layers.txt");
  ASSERT_TRUE(list) << "layers.txt is missing";
  const Layers layers = Layers::Parse(list);
  std::string problems;
  int files = 0;
  for (const auto& top : fs::directory_iterator(Root)) {
    const std::string name = top.path().filename().string();
    if (!top.is_directory() || name.starts_with(".") || name.starts_with("out") || Outside.count(name)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(top.path())) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".h" && ext != ".cpp") continue;
      std::ifstream source(entry.path());
      problems += Problems(layers, fs::relative(entry.path(), Root).generic_string(), source);
      ++files;
    }
  }
  EXPECT_GT(files, 80);
  EXPECT_EQ(problems, "");
}

TEST(Layers, TheCheckSeesUpwardIncludesWidgetsLowDownSystemHeadersAndStrayFiles) {
  std::istringstream list("# lowest first\nlow/\nmiddle/   # a note\nforms/\nhigh/\n");
  const Layers layers = Layers::Parse(list);
  std::istringstream upwards("#include \"low/Base.h\"\n  #  include \"high/Top.h\"\n#include <vector>\n");
  EXPECT_EQ(Problems(layers, "middle/Base.cpp", upwards),
            "middle/Base.cpp:2 includes high/Top.h from a folder listed after its own\n");
  std::istringstream downwards("#include \"low/Base.h\"\n#include \"middle/M.h\"\n#include <QWidget>\n");
  EXPECT_EQ(Problems(layers, "high/X.cpp", downwards), "");
  std::istringstream any("");
  EXPECT_EQ(Problems(layers, "elsewhere/X.cpp", any), "elsewhere/X.cpp lies in no folder of layers.txt\n");
  std::istringstream widgets("#include <QWidget>\n");
  EXPECT_EQ(Problems(layers, "middle/X.cpp", widgets), "middle/X.cpp:1 includes Qt below the forms\n");
  std::istringstream system("#include <unistd.h>\n# include <sys/stat.h>\n#include <windows.h>\n");
  EXPECT_EQ(Problems(layers, "high/X.cpp", system),
            "high/X.cpp:1 includes an operating-system header outside low/\n"
            "high/X.cpp:2 includes an operating-system header outside low/\n"
            "high/X.cpp:3 includes an operating-system header outside low/\n");
  std::istringstream platform("#include <unistd.h>\n");
  EXPECT_EQ(Problems(layers, "low/X.cpp", platform), "");
}

}  // namespace
