// Capture throughput of getDOSOutput against the floor for its read size:
// the same child read through a pipe 16 bytes at a time in plain C++.
// Then AppendOutputLines on one and two million lines (lines per second,
// and how the time grows with the text).
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "runner/ConsoleRunner.h"
#include "runner/MessageList.h"
#include "runner/OutputLines.h"

namespace {

const char* const Child =
    "/bin/sh -c \"yes 'The quick brown fox jumps over the lazy dog; pack my box with five dozen jugs.' | "
    "head -c 67108864\"";

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct NoMessages : platform::MessageService {
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
};

size_t PlainCapture() {
  int fds[2];
  if (::pipe(fds) != 0) return 0;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 1);
    ::close(fds[0]);
    ::execl("/bin/sh", "sh", "-c",
            "yes 'The quick brown fox jumps over the lazy dog; pack my box with five dozen jugs.' | "
            "head -c 67108864",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  std::string text;
  char buffer[16];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  ::waitpid(pid, nullptr, 0);
  return text.size();
}

double SplitSeconds(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "WinForm.pas(" + std::to_string(i) + ") Hint: a compiler message line\r\n";
  runner::MessageLines list;
  auto start = std::chrono::steady_clock::now();
  runner::AppendOutputLines(text, list);
  double s = Seconds(start);
  if (list.Count() != lines) std::printf("unexpected line count %d\n", list.Count());
  return s;
}

}  // namespace

int main() {
  NoMessages messages;
  double best = 1e9, bestFloor = 1e9;
  size_t captured = 0, floorBytes = 0;
  for (int round = 0; round < 3; ++round) {
    auto start = std::chrono::steady_clock::now();
    floorBytes = PlainCapture();
    bestFloor = std::min(bestFloor, Seconds(start));
    start = std::chrono::steady_clock::now();
    captured = runner::getDOSOutput(Child, ".", messages).size();
    best = std::min(best, Seconds(start));
  }
  double mib = captured / 1048576.0;
  std::printf("capture: %.1f MiB in %.3f s (%.1f MiB/s)\n", mib, best, mib / best);
  std::printf("floor (plain 16-byte reads): %.1f MiB in %.3f s (%.1f MiB/s)\n", floorBytes / 1048576.0, bestFloor,
              floorBytes / 1048576.0 / bestFloor);
  double one = SplitSeconds(1000000);
  double two = SplitSeconds(2000000);
  std::printf("AppendOutputLines: 1M lines in %.3f s (%.0f lines/s); 2M lines take %.2fx as long\n", one, 1000000 / one,
              two / one);
  std::printf("ratio=%.3f\n", best / bestFloor);
  return captured == floorBytes ? 0 : 1;
}
