#pragma once
#include "build/BuildDriver.h"
#include "platform/Files.h"
#include "tests/settings/DialogFixture.h"

// A dialog opened on C:\P\Project1.dpr, with the compiler run, hidden starts
// and waits recorded instead of performed.
class BuildTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    settings::DialogServices services;
    services.Messages = &messages;
    services.Picker = &pickers;
    services.RunConsole = [this](const std::string& line, const std::string& folder) {
      runs.push_back(line);
      folders.push_back(folder);
      units_at_run = platform::FileExists("C:\\Lib\\System.Drawing.Font.dcuil");
      if (throwOnRun) throw std::runtime_error("runner failed");
      return compilerOutput;
    };
    services.StartHidden = [this](const std::string& line) {
      started.push_back(line);
      if (onStart) onStart();
    };
    services.Sleep = [this](int ms) { waits.push_back(ms); };
    dialog = std::make_unique<settings::CompactDevModel>(services);
    Write("C:\\P\\Project1.dpr", "program Project1;\r\nbegin\r\nend.\r\n");
    project = testing_world::OpenProject("C:\\P\\Project1.dpr");
    OpenDialog();
    dialog->Ed_BDS_Lib_Path.SetText("C:\\Lib");
  }
  void Build() {
    build::BuildOptions options;
    options.DateStamp = "2007/03/05";
    options.Resources.TimeoutMs = 200;
    options.Resources.IntervalMs = 10;
    build::DoCompileCF(*dialog, *dialog, options);
  }
  const std::vector<std::string>& Shown() const { return dialog->MessageList.Lines(); }

  std::shared_ptr<testing_world::FakeProject> project;
  std::vector<std::string> runs, folders, started;
  std::vector<int> waits;
  std::string compilerOutput;
  bool throwOnRun = false;
  bool units_at_run = true;
  std::function<void()> onStart;
};
