// A million compiler lines into the build dialog's message list, shown in
// its list view offscreen, against appending the same lines to a plain
// vector of strings.
#include <QApplication>
#include <QListView>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "runner/MessageList.h"
#include "runner/OutputLines.h"
#include "builddialog/MessageListModel.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string CompilerOutput(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i)
    text += "Unit" + std::to_string(i % 97) + ".pas(" + std::to_string(i) + ") Warning: Variable 'x' is never used\r\n";
  return text;
}

double PlainVector(const std::string& text) {
  auto start = std::chrono::steady_clock::now();
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
    lines.push_back(text.substr(from, end - from));
  return Seconds(start);
}

double ShownInTheDialogsList(const std::string& text) {
  runner::MessageLines lines;
  builddialog::MessageListModel model(lines);
  QListView view;
  view.setUniformItemSizes(true);
  view.setModel(&model);
  view.resize(454, 180);
  view.show();
  QApplication::processEvents();
  auto start = std::chrono::steady_clock::now();
  runner::AppendOutputLines(text, lines);
  QApplication::processEvents();  // the view learns of the lines and paints
  const double seconds = Seconds(start);
  if (model.rowCount() != lines.Count()) std::abort();
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  double ratio = 0;
  for (int count : {500000, 1000000}) {
    const std::string text = CompilerOutput(count);
    const double baseline = PlainVector(text), shown = ShownInTheDialogsList(text);
    ratio = shown / baseline;
    std::printf("%d lines: plain vector %.3f s, message list shown %.3f s, ratio %.2f\n", count, baseline, shown,
                ratio);
  }
  std::printf("ratio=%.3f\n", ratio);
}
