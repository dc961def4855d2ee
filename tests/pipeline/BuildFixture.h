#pragma once
// The build pipeline on its own: what the build reads and what it asks of
// its host, as plain fields of the test, with the compiler run, hidden starts
// and waits recorded instead of performed. No dialog is involved.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "pipeline/BuildDriver.h"
#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "runner/MessageList.h"
#include "settings/CFOptions.h"
#include "tests/TestWorld.h"

using Texts = std::vector<std::string>;

// A started tool that the test ends (or that never ends).
struct FakeTool : platform::StartedProcess {
  explicit FakeTool(bool exitsAtOnce, int* terminated) : exited(exitsAtOnce), terminations(terminated) {}
  bool HasExited() const override { return exited; }
  void Terminate() override {
    if (!exited) ++*terminations;
    exited = true;
  }
  bool exited;
  int* terminations;
};

class BuildTest : public testing_world::TestWorld,
                  public pipeline::BuildInputs,
                  public pipeline::BuildHost,
                  public pipeline::BuildObserver {
 protected:
  void SetUp() override {
    TestWorld::SetUp();
    MakeFolder("C:\\P");
    Write("C:\\P\\Project1.dpr", "program Project1;\r\nbegin\r\nend.\r\n");
    project = testing_world::OpenProject("C:\\P\\Project1.dpr");
    record.ProjectPath = "C:\\P\\";
    record.ProjectFileName = "Project1.dpr";
    record.BDS_Lib_Path = "C:\\Lib";
    platform::SetCurrentDir("C:\\P");
  }
  void Build() {
    pipeline::BuildOptions options;
    options.DateStamp = "2007/03/05";
    options.Resources.TimeoutMs = 200;
    options.Resources.IntervalMs = 10;
    outcome = pipeline::BuildProject(*this, *this, *this, options);
  }
  const std::vector<std::string>& Shown() const { return messageList.Lines(); }
  void AddEntry(settings::Catalogue which, const std::string& text, bool checked = true) {
    catalogues[settings::IndexOf(which)].push_back({text, checked});
  }

  // --- what the build reads ---
  std::string projectFolder = "C:\\P\\", projectName = "Project1.dpr";
  std::string compilerFolder = "C:\\BDS\\bin", libFolder = "C:\\Lib";
  std::string msFolderText = "C:\\M";
  settings::TCFOptions record;
  settings::CatalogueEntries catalogues[3];
  int profile = -1;
  std::shared_ptr<testing_world::FakeProject> project;

  // --- what the build did ---
  runner::MessageLines messageList;
  std::vector<std::string> shownMessages, runs, folders, started;
  std::function<void()> onRun;  // what the compiler does as it runs
  std::vector<int> waits;
  pipeline::BuildOutcome outcome;
  std::vector<std::string> events;  // what the observer heard, in order
  bool unitsAtRun = true;
  int terminations = 0;

  // --- how the world answers ---
  std::string compilerOutput;
  bool throwOnRun = false;
  bool toolsExitAtOnce = false;
  bool realTools = false;  // start tools for real instead of recording them
  std::function<void()> onStart;

 private:
  std::string ProjectFolderText() const override { return projectFolder; }
  std::string ProjectNameText() const override { return projectName; }
  std::string CompilerFolderText() const override { return compilerFolder; }
  std::string LibFolderText() const override { return libFolder; }
  std::string MSAssemblyFolderText() const override { return msFolderText; }
  settings::TCFOptions& Options() override { return record; }
  const settings::CatalogueEntries& CatalogueList(settings::Catalogue which) const override {
    return catalogues[settings::IndexOf(which)];
  }
  int ProfileNumber() const override { return profile; }
  std::shared_ptr<ToolsAPI::IOTAProject> ActiveProject() const override { return Pub_Project_Intf; }

  void ShowMessage(const std::string& text) override { shownMessages.push_back(text); }
  runner::MessageList& Messages() override { return messageList; }
  platform::FileSystem& Files() override { return platform::DiskFiles(); }
  void BuildStarted() override { events.push_back("started"); }
  void SourcesChanging() override { events.push_back("sources"); }
  void CompilerRunning(const std::string&) override { events.push_back("compiler"); }
  void CompilerEnded() override { events.push_back("compiled"); }
  void BuildEnded(const pipeline::BuildOutcome& ended) override {
    events.push_back(ended.EndedByError ? "ended by error" : "ended");
  }
  runner::ConsoleRun RunConsole(const std::string& line, const std::string& folder) override {
    runs.push_back(line);
    folders.push_back(folder);
    unitsAtRun = platform::FileExists("C:\\Lib\\System.Drawing.Font.dcuil");
    if (onRun) onRun();
    if (throwOnRun) throw std::runtime_error("runner failed");
    runner::ConsoleRun run;
    run.Output = compilerOutput;
    run.Started = true;
    run.Exit = platform::ExitStatus{};
    return run;
  }
  std::unique_ptr<platform::StartedProcess> StartHidden(const std::string& line) override {
    started.push_back(line);
    if (realTools) return platform::StartHidden(line);
    if (onStart) onStart();
    return std::make_unique<FakeTool>(toolsExitAtOnce, &terminations);
  }
  void Wait(int ms) override {
    waits.push_back(ms);
    if (realTools) platform::Sleep(ms);
  }
};
