// The build of a generated project of 2,000 units of 1,000 lines, with a
// compiler that exits at once and without the fixed wait after it, against
// `cp -r` of the same project (the floor: every byte read and written once);
// and the unit pass alone against plain C++ streams.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/FileSystem.h"
#include "cli/ConsoleIDE.h"
#include "pipeline/BuildDriver.h"
#include "pipeline/SourceAdaptation.h"
#include "runner/ConsoleRunner.h"
#include "settings/CFOptions.h"
#include "platform/Files.h"
#include "platform/TextLines.h"
#include "platform/WinPath.h"
#include "runner/MessageList.h"

namespace fs = std::filesystem;

namespace {

constexpr int Units = 2000;
constexpr int LinesPerUnit = 1000;

std::string UnitText(int n) {
  std::string text = "unit U" + std::to_string(n) +
                     ";\r\n\r\ninterface\r\n\r\nuses\r\n"
                     "  System.Drawing, System.Collections, System.ComponentModel,\r\n  System.Windows.Forms;\r\n";
  for (int i = 7; i < LinesPerUnit; ++i) {
    if (i % 100 == 0)
      text += "  (System.ComponentModel.ISupportInitialize(Self.Grid" + std::to_string(i) + ")).BeginInit;\r\n";
    else text += "  Self.Control" + std::to_string(i) + ".Text := 'Value number " + std::to_string(i) + "';\r\n";
  }
  return text;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Generate(const fs::path& folder) {
  for (int n = 0; n < Units; ++n)
    std::ofstream(folder / ("U" + std::to_string(n) + ".pas"), std::ios::binary) << UnitText(n);
}

// Plain streams: each file read whole and written back, in place or (the
// floor for a pass that may never leave a half-written unit) through a
// temporary file and a rename.
double PlainStreams(const fs::path& folder, bool throughRename) {
  auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < Units; ++n) {
    fs::path file = folder / ("U" + std::to_string(n) + ".pas");
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    fs::path target = file;
    if (throughRename) target += ".tmp";
    std::ofstream(target, std::ios::binary | std::ios::trunc) << text.str();
    if (throughRename) fs::rename(target, file);
  }
  return Seconds(start);
}

double UnitPass(const fs::path& folder) {
  platform::Lines units;
  for (int n = 0; n < Units; ++n) units.push_back("U" + std::to_string(n) + ".pas");
  runner::MessageLines messages;
  auto start = std::chrono::steady_clock::now();
  platform::SetCurrentDir(platform::ToWindowsPath(folder.string()));
  pipeline::AdaptUnits(platform::DiskFiles(), units, messages);
  return Seconds(start);
}

// What the build reads and asks of its host: the generated project, no
// catalogues, and a compiler that exits at once.
class BenchBuild : public pipeline::BuildInputs, public pipeline::BuildHost, public pipeline::BuildObserver {
 public:
  explicit BenchBuild(const std::string& folder) : folder_(folder + "\\") {
    options_.ProjectPath = folder_;
    options_.ProjectFileName = "Bench.dpr";
    project_ = std::make_shared<cli::ConsoleProject>(folder_ + "Bench.dpr");
  }
  std::string ProjectFolderText() const override { return folder_; }
  std::string ProjectNameText() const override { return "Bench.dpr"; }
  std::string CompilerFolderText() const override { return "Z:\\bin"; }
  std::string LibFolderText() const override { return folder_ + "lib"; }
  std::string MSAssemblyFolderText() const override { return "C:\\M"; }
  settings::TCFOptions& Options() override { return options_; }
  const settings::CatalogueEntries& CatalogueList(settings::Catalogue) const override { return none_; }
  int ProfileNumber() const override { return -1; }
  std::shared_ptr<ToolsAPI::IOTAProject> ActiveProject() const override { return project_; }
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  runner::MessageList& Messages() override { return messages_; }
  platform::FileSystem& Files() override { return platform::DiskFiles(); }
  runner::ConsoleRun RunConsole(const std::string&, const std::string& folder) override {
    cli::ConsoleMessages quiet;
    return runner::RunConsoleCommand("/bin/true", folder, quiet);
  }
  std::unique_ptr<platform::StartedProcess> StartHidden(const std::string&) override { return nullptr; }
  void Wait(int) override {}

 private:
  std::string folder_;
  settings::TCFOptions options_;
  settings::CatalogueEntries none_;
  std::shared_ptr<cli::ConsoleProject> project_;
  runner::MessageLines messages_;
};

void GenerateProject(const fs::path& folder) {
  fs::create_directories(folder);
  Generate(folder);
  std::string project = "program Bench;\r\n\r\nuses\r\n";
  for (int n = 0; n < Units; ++n)
    project += "  U" + std::to_string(n) + " in 'U" + std::to_string(n) + ".pas'" + (n + 1 < Units ? ",\r\n" : ";\r\n");
  project += "\r\n[STAThread]\r\nbegin\r\nend.\r\n";
  std::ofstream(folder / "Bench.dpr", std::ios::binary) << project;
}

double Build(const fs::path& folder) {
  const std::string windowsFolder = platform::ToWindowsPath(folder.string());
  platform::SetCurrentDir(windowsFolder);
  BenchBuild build(windowsFolder);
  pipeline::BuildOptions options;
  options.AfterCompileMs = 0;
  auto start = std::chrono::steady_clock::now();
  const pipeline::BuildOutcome outcome = pipeline::BuildProject(build, build, build, options);
  const double seconds = Seconds(start);
  if (!outcome.Stopped.empty()) std::fprintf(stderr, "the build stopped: %s\n", outcome.Stopped.c_str());
  return seconds;
}

// `cp -r`, and with `durable` a `sync` after it: the floor for a build that
// makes every rewritten unit durable.
double CopyProject(const fs::path& from, const fs::path& to, bool durable = false) {
  const std::string command = "cp -r '" + from.string() + "' '" + to.string() + "'" + (durable ? " && sync" : "");
  auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cp failed\n");
  return Seconds(start);
}

}  // namespace

int main() {
  char pattern[] = "/tmp/tidewell-bench-XXXXXX";
  fs::path root = ::mkdtemp(pattern);
  double bestPlain = 1e9, bestAtomic = 1e9, bestFirst = 1e9, bestRepeat = 1e9;
  for (int round = 0; round < 3; ++round) {
    fs::path plain = root / ("plain" + std::to_string(round)), adapted = root / ("adapted" + std::to_string(round));
    fs::path atomic = root / ("atomic" + std::to_string(round));
    for (const fs::path& folder : {plain, adapted, atomic}) {
      fs::create_directories(folder);
      Generate(folder);
    }
    bestPlain = std::min(bestPlain, PlainStreams(plain, false));
    bestAtomic = std::min(bestAtomic, PlainStreams(atomic, true));
    bestFirst = std::min(bestFirst, UnitPass(adapted));    // patches every unit
    UnitPass(adapted);                                     // writes the inserted lines' lone CR breaks as CR LF
    bestRepeat = std::min(bestRepeat, UnitPass(adapted));  // finds them patched
  }
  // The whole build, again and again as a developer runs it, against the
  // copy of the same project.
  double bestCopy = 1e9, bestDurableCopy = 1e9, bestBuild = 1e9, bestFirstBuild = 1e9;
  for (int round = 0; round < 5; ++round) {
    fs::path project = root / ("project" + std::to_string(round));
    GenerateProject(project);
    ::sync();
    bestFirstBuild = std::min(bestFirstBuild, Build(project));  // patches every unit
    Build(project);                                             // writes the inserted lines' lone CR breaks as CR LF
    ::sync();
    bestBuild = std::min(bestBuild, Build(project));
    ::sync();
    bestCopy = std::min(bestCopy, CopyProject(project, root / ("copy" + std::to_string(round))));
    ::sync();
    bestDurableCopy = std::min(bestDurableCopy, CopyProject(project, root / ("durable" + std::to_string(round)), true));
  }
  fs::remove_all(root);
  std::printf("%d units of %d lines\n", Units, LinesPerUnit);
  std::printf("cp -r of the project: %.3f s; cp -r then sync: %.3f s\n", bestCopy, bestDurableCopy);
  std::printf(
      "first build, every unit patched and made durable (compiler exits at once, no fixed wait): %.3f s, "
      "ratio %.3f (%.3f against cp -r then sync)\n",
      bestFirstBuild, bestFirstBuild / bestCopy, bestFirstBuild / bestDurableCopy);
  std::printf("build again (compiler exits at once, no fixed wait): %.3f s, ratio %.3f\n", bestBuild,
              bestBuild / bestCopy);
  std::printf("plain streams, read and write in place: %.3f s\n", bestPlain);
  std::printf("plain streams, read and replace through a rename: %.3f s, ratio %.3f\n", bestAtomic,
              bestAtomic / bestPlain);
  std::printf("first unit pass (patches every unit, atomic replace): %.3f s, ratio %.3f\n", bestFirst,
              bestFirst / bestPlain);
  std::printf("repeat unit pass (every unit already patched): %.3f s, ratio %.3f\n", bestRepeat,
              bestRepeat / bestPlain);
  // The figure that matters is the build a developer runs again and again,
  // against copying the project.
  std::printf("ratio=%.3f\n", bestBuild / bestCopy);
  return 0;
}
