#pragma once
// The IDE as the headless front end presents it: one project whose current
// editor shows the project file, and messages on standard error.
#include <functional>
#include <memory>
#include <string>

#include "platform/MessageService.h"
#include "toolsapi/ToolsAPI.h"

namespace cli {

class ConsoleProject : public ToolsAPI::IOTAProject,
                       public ToolsAPI::IOTAEditor,
                       public std::enable_shared_from_this<ConsoleProject> {
 public:
  explicit ConsoleProject(std::string fileName) : fileName_(std::move(fileName)) {}
  void* QueryInterface(const ToolsAPI::TGUID& iid) override;
  std::string GetFileName() override { return fileName_; }
  int GetModuleFileCount() override { return 1; }
  std::shared_ptr<ToolsAPI::IOTAEditor> GetModuleFileEditor(int index) override;
  std::shared_ptr<ToolsAPI::IOTAEditor> GetCurrentEditor() override { return GetModuleFileEditor(0); }

 private:
  std::string fileName_;
};

class ConsoleModuleServices : public ToolsAPI::IOTAModuleServices {
 public:
  explicit ConsoleModuleServices(std::shared_ptr<ConsoleProject> project) : project_(std::move(project)) {}
  void* QueryInterface(const ToolsAPI::TGUID& iid) override;
  std::shared_ptr<ToolsAPI::IOTAModule> CurrentModule() override { return project_; }
  std::shared_ptr<ToolsAPI::IOTAProject> GetActiveProject() override { return project_; }
  bool SaveAll() override { return true; }  // no editor: the files on disk are all there is

 private:
  std::shared_ptr<ConsoleProject> project_;
};

// Messages go to standard error; a question is answered No (nobody to ask).
class ConsoleMessages : public platform::MessageService {
 public:
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  bool AskYesNo(const std::string& question) override;
  int Shown() const { return shown_; }
  // The last text shown (a message, an error or a question), without the prefix.
  const std::string& LastShown() const { return last_; }
  // Called before a message is written (to end a line open on standard output).
  std::function<void()> BeforeShowing;
  // What every line begins with: the command's name.
  std::string Prefix = "tidewell build: ";

 private:
  int shown_ = 0;
  std::string last_;
};

}  // namespace cli
