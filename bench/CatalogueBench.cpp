// Loading a catalogue of 100,000 entries listed in reverse order, as a
// damaged or generated options file may hold them, against sorting the same
// names once with the same comparison.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "builddialog/ControlState.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::vector<std::string> ReverseNames(int count) {
  std::vector<std::string> names;
  for (int i = count; i > 0; --i) {
    char name[32];
    std::snprintf(name, sizeof name, "Assembly%06d.dll", i);
    names.push_back(name);
  }
  return names;
}

double Load(const std::vector<std::string>& names) {
  builddialog::CheckListState list;
  auto start = std::chrono::steady_clock::now();
  list.Fill(names, true);
  return Seconds(start);
}

double SortOnce(std::vector<std::string> names) {
  auto start = std::chrono::steady_clock::now();
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return platform::CompareText(a, b) < 0; });
  return Seconds(start);
}

}  // namespace

int main() {
  double ratio = 0;
  for (int count : {50000, 100000}) {
    const std::vector<std::string> names = ReverseNames(count);
    double baseline = SortOnce(names), load = Load(names);
    ratio = load / baseline;
    std::printf("%d entries in reverse order: sort %.4f s, catalogue load %.4f s, ratio %.2f\n", count, baseline, load,
                ratio);
  }
  std::printf("ratio=%.3f\n", ratio);
}
