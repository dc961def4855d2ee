#include "cli/ProjectBatch.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iostream>
#include <optional>
#include <mutex>
#include <thread>

#include "platform/Process.h"
#include "platform/Signals.h"

namespace cli {

namespace {

ExitStatus StatusOf(const platform::ProgramRun& run) {
  if (!run.StartError.empty()) return ExitStatus::CouldNotStart;
  if (run.Exit.Signal != 0) return ExitStatus::Failed;
  switch (run.Exit.Code) {
    case 0: return ExitStatus::Done;
    case 2: return ExitStatus::CouldNotStart;
    case 3: return ExitStatus::ToolNotStarted;
    default: return ExitStatus::Failed;
  }
}

// 1 over 0; 2 and 3 (a build could not start) over both.
ExitStatus Worse(ExitStatus a, ExitStatus b) { return ToInt(a) >= ToInt(b) ? a : b; }

class Batch {
 public:
  explicit Batch(const ProjectBatch& batch) : batch_(batch), statuses_(batch.Projects.size(), std::nullopt) {}

  ExitStatus Run() {
    platform::PassEndingSignalsOn();
    const int workers = std::clamp<int>(batch_.Jobs, 1, static_cast<int>(batch_.Projects.size()));
    std::vector<std::thread> threads;
    for (int i = 1; i < workers; ++i)
      threads.emplace_back([this] {
        platform::RefuseEndingSignals();
        Work();
      });
    Work();
    for (std::thread& thread : threads) thread.join();
    const ExitStatus worst = Summarize();
    platform::EndAsPassedSignalSays();
    return worst;
  }

 private:
  void Work() {
    for (size_t i; (i = next_++) < batch_.Projects.size() && !platform::EndingSignalPassedOn();) BuildOne(i);
  }

  void BuildOne(size_t index) {
    const std::string& project = batch_.Projects[index];
    std::vector<std::string> arguments{"build"};
    arguments.insert(arguments.end(), batch_.BuildOptions.begin(), batch_.BuildOptions.end());
    arguments.insert(arguments.end(), {"--", project});
    const bool capture = batch_.Jobs > 1;
    if (!capture) Heading(project);
    const platform::ProgramRun run = platform::RunThisProgram(arguments, capture);
    std::lock_guard<std::mutex> hold(printing_);
    if (capture) {
      Heading(project);
      std::cout << run.Output << std::flush;
      std::cerr << run.Errors << std::flush;
    }
    if (!run.StartError.empty()) std::cerr << "tidewell build: " << run.StartError << "\n" << std::flush;
    statuses_[index] = StatusOf(run);
  }

  void Heading(const std::string& project) {
    (batch_.HeadingsOnStandardError ? std::cerr : std::cout) << "==> " << project << " <==\n" << std::flush;
  }

  ExitStatus Summarize() {
    int built = 0, failed = 0, notStarted = 0, skipped = 0;
    ExitStatus worst = ExitStatus::Done;
    for (const std::optional<ExitStatus>& status : statuses_) {
      if (!status) {
        ++skipped;
        continue;
      }
      worst = Worse(worst, *status);
      if (*status == ExitStatus::Done) ++built;
      else if (*status == ExitStatus::Failed) ++failed;
      else ++notStarted;
    }
    if (skipped > 0) worst = Worse(worst, ExitStatus::Failed);
    std::string summary = std::to_string(built) + " built, " + std::to_string(failed) + " failed";
    if (notStarted > 0) summary += ", " + std::to_string(notStarted) + " could not start";
    if (skipped > 0) summary += ", " + std::to_string(skipped) + " not built (interrupted)";
    (batch_.HeadingsOnStandardError ? std::cerr : std::cout) << summary << "\n" << std::flush;
    return worst;
  }

  const ProjectBatch& batch_;
  std::atomic<size_t> next_{0};
  std::mutex printing_;
  std::vector<std::optional<ExitStatus>> statuses_;
};

}  // namespace

ExitStatus BuildEach(const ProjectBatch& batch) { return Batch(batch).Run(); }

}  // namespace cli
