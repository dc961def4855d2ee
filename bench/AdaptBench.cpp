// The unit pass over a generated project of 2,000 units of 1,000 lines,
// against reading and writing the same files with plain C++ streams.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/FileSystem.h"
#include "pipeline/SourceAdaptation.h"
#include "platform/Files.h"
#include "platform/TextLines.h"
#include "platform/WinPath.h"
#include "runner/MessageList.h"

namespace fs = std::filesystem;

namespace {

constexpr int Units = 2000;
constexpr int LinesPerUnit = 1000;

std::string UnitText(int n) {
  std::string text = "unit U" + std::to_string(n) + ";\r\n\r\ninterface\r\n\r\nuses\r\n"
                     "  System.Drawing, System.Collections, System.ComponentModel,\r\n  System.Windows.Forms;\r\n";
  for (int i = 7; i < LinesPerUnit; ++i) {
    if (i % 100 == 0) text += "  (System.ComponentModel.ISupportInitialize(Self.Grid" + std::to_string(i) + ")).BeginInit;\r\n";
    else text += "  Self.Control" + std::to_string(i) + ".Text := 'Value number " + std::to_string(i) + "';\r\n";
  }
  return text;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Generate(const fs::path& folder) {
  for (int n = 0; n < Units; ++n) std::ofstream(folder / ("U" + std::to_string(n) + ".pas"), std::ios::binary) << UnitText(n);
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
    bestFirst = std::min(bestFirst, UnitPass(adapted));   // patches every unit
    UnitPass(adapted);  // writes the inserted lines' lone CR breaks as CR LF
    bestRepeat = std::min(bestRepeat, UnitPass(adapted));  // finds them patched
  }
  fs::remove_all(root);
  std::printf("%d units of %d lines\n", Units, LinesPerUnit);
  std::printf("plain streams, read and write in place: %.3f s\n", bestPlain);
  std::printf("plain streams, read and replace through a rename: %.3f s, ratio %.3f\n", bestAtomic,
              bestAtomic / bestPlain);
  std::printf("first unit pass (patches every unit, atomic replace): %.3f s, ratio %.3f\n", bestFirst,
              bestFirst / bestPlain);
  std::printf("repeat unit pass (every unit already patched): %.3f s, ratio %.3f\n", bestRepeat,
              bestRepeat / bestPlain);
  // The figure that matters is the build a developer runs again and again.
  std::printf("ratio=%.3f\n", bestRepeat / bestPlain);
  return 0;
}
