#pragma once
// What the build driver reads (BuildInputs) and what it asks of its host
// (BuildHost), as plain data and operations. The build dialog's model
// implements both; so can a test or another front end.
#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "runner/ConsoleRunner.h"
#include "runner/MessageList.h"
#include "settings/CFOptions.h"
#include "settings/CatalogueEntries.h"
#include "toolsapi/ToolsAPI.h"

namespace pipeline {

class BuildInputs {
 public:
  virtual ~BuildInputs() = default;
  virtual std::string ProjectFolderText() const = 0;     // EdPjPath, ends with "\"
  virtual std::string ProjectNameText() const = 0;       // EdPJName
  virtual std::string CompilerFolderText() const = 0;    // EdDCCIL_Path
  virtual std::string LibFolderText() const = 0;         // Ed_BDS_Lib_Path
  virtual std::string MSAssemblyFolderText() const = 0;  // Ed_MS_Assembly_LinkPath
  // The settings record; resource recompilation may correct ProjectPath.
  virtual settings::TCFOptions& Options() = 0;
  virtual const settings::CatalogueEntries& CatalogueList(settings::Catalogue which) const = 0;
  virtual int ProfileNumber() const = 0;  // -1: no selection
  virtual std::shared_ptr<ToolsAPI::IOTAProject> ActiveProject() const = 0;
};

class BuildHost {
 public:
  virtual ~BuildHost() = default;
  // A modal message; returns when the developer has closed it.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual runner::MessageList& Messages() = 0;
  // The files the build reads and changes: the disk, or a dry run's plan.
  virtual platform::FileSystem& Files() = 0;
  // Runs a console command line: all it wrote, whether it started, how it
  // ended.
  virtual runner::ConsoleRun RunConsole(const std::string& commandLine, const std::string& workingFolder) = 0;
  // Starts a command line hidden, without waiting for it; nothing when the
  // program cannot be started.
  virtual std::unique_ptr<platform::StartedProcess> StartHidden(const std::string& commandLine) = 0;
  virtual void Wait(int milliseconds) = 0;
};

}  // namespace pipeline
