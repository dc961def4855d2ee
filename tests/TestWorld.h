#pragma once
// A world of its own for each test: a temporary folder with a dosdevices
// folder whose drive C: is a folder inside it, made current for the test.
// Plus scripted stand-ins for the message boxes, the pickers and the IDE.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/MessageService.h"
#include "dialogs/Pickers.h"
#include "toolsapi/ToolsAPI.h"

namespace testing_world {

class TestWorld : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Host path of a Windows path on drive C: of this world.
  std::string Host(const std::string& windowsPath) const;
  void Write(const std::string& windowsPath, const std::string& bytes) const;
  std::string Read(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;
  void MakeFolder(const std::string& windowsPath) const;
  // Runs `body` as a user without root rights: here when this process is
  // one, else in a child that becomes user and group nobody (the world is
  // opened to others for it). The body returns what went wrong, or "".
  std::string AsUnprivileged(const std::function<std::string()>& body) const;

  std::string root_;    // host folder of the world
  std::string driveC_;  // host folder of drive C:
 private:
  std::string oldCwd_;
  std::string oldDosDevices_;
  bool hadDosDevices_ = false;
  std::vector<std::string> before_;  // on Windows: the top of drive C: before the test
};

// The bytes of a host file; empty when it cannot be read.
std::string ReadHostFile(const std::string& hostPath);

// Every file under a host folder with its bytes and permissions, and every
// folder: equal snapshots mean nothing was created, deleted or changed.
struct FolderSnapshot {
  explicit FolderSnapshot(const std::string& hostFolder);
  std::map<std::string, std::string> entries;  // relative path -> permissions and bytes
  bool operator==(const FolderSnapshot&) const = default;
};
// The paths in which two snapshots differ, for failure messages.
std::ostream& operator<<(std::ostream& out, const FolderSnapshot& snapshot);

// A copy of the bundled example project in a temporary folder of its own,
// with the drives of the stand-in toolchain (TIDEWELL_DOSDEVICES). The
// current folder and the drives come back, and the copy goes, at the end.
class ExampleCopy {
 public:
  explicit ExampleCopy(const std::string& folderName = "HelloCF");
  ~ExampleCopy();
  ExampleCopy(const ExampleCopy&) = delete;
  ExampleCopy& operator=(const ExampleCopy&) = delete;
  std::string root;     // host folder of the copy's temporary root
  std::string project;  // host folder of the project: root + "/" + folderName

 private:
  std::string oldCwd_, oldDosDevices_;
  bool hadDosDevices_ = false;
};

// Message boxes that record what was shown and answer from a script.
class FakeMessages : public platform::MessageService {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  bool AskYesNo(const std::string& question) override {
    asked.push_back(question);
    bool answer = answers.empty() ? false : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  // Three-way questions take the next of `choices`, else of `answers`.
  Answer Ask(const std::string& question, const std::string& yes, const std::string& no, Answer preferred) override {
    if (choices.empty()) return MessageService::Ask(question, yes, no, preferred);
    asked.push_back(question);
    const Answer answer = choices.front();
    choices.pop_front();
    return answer;
  }
  std::vector<std::string> shown, errors, asked;
  std::deque<bool> answers;
  std::deque<Answer> choices;
};

// Pickers that answer from a script and record where they started.
class FakePickers : public dialogs::Pickers {
 public:
  dialogs::PickResult PickPath(const std::string& start) override { return Answer("", start); }
  dialogs::PickResult PickFile(const std::string& mask, const std::string& start) override {
    return Answer(mask, start);
  }
  std::deque<dialogs::PickResult> answers;
  std::vector<std::string> masks, starts;
  std::string browseTo;  // a folder the "user" browses to before closing

 private:
  dialogs::PickResult Answer(const std::string& mask, const std::string& start);
};

// A fake IDE: a project with a current editor, and modules whose files are
// source editors (or not) with edit views that record how they were moved.
struct FakeEditView : ToolsAPI::IOTAEditView {
  void* QueryInterface(const ToolsAPI::TGUID& iid) override {
    return iid == IID ? static_cast<ToolsAPI::IOTAEditView*>(this) : nullptr;
  }
  void SetTopLeft(int row, int column) override { calls.push_back({row, column}); }
  void MoveCursorToView() override { ++cursorMoves; }
  std::vector<std::pair<int, int>> calls;
  int cursorMoves = 0;
};

struct FakeEditor : ToolsAPI::IOTASourceEditor {
  FakeEditor(std::string file, bool isSource) : fileName(std::move(file)), source(isSource) {}
  void* QueryInterface(const ToolsAPI::TGUID& iid) override;
  std::string GetFileName() override { return fileName; }
  int GetEditViewCount() override { return view ? 1 : 0; }
  std::shared_ptr<ToolsAPI::IOTAEditView> GetEditView(int index) override { return index == 0 ? view : nullptr; }
  std::string fileName;
  bool source;
  std::shared_ptr<FakeEditView> view = std::make_shared<FakeEditView>();
};

struct FakeProject : ToolsAPI::IOTAProject {
  void* QueryInterface(const ToolsAPI::TGUID& iid) override;
  std::string GetFileName() override { return fileName; }
  int GetModuleFileCount() override { return static_cast<int>(files.size()); }
  std::shared_ptr<ToolsAPI::IOTAEditor> GetModuleFileEditor(int i) override { return files.at(i); }
  std::shared_ptr<ToolsAPI::IOTAEditor> GetCurrentEditor() override { return currentEditor; }
  std::string fileName;
  std::shared_ptr<ToolsAPI::IOTAEditor> currentEditor;
  std::vector<std::shared_ptr<FakeEditor>> files;
};

struct FakeModuleServices : ToolsAPI::IOTAModuleServices {
  void* QueryInterface(const ToolsAPI::TGUID& iid) override {
    return iid == IID ? static_cast<ToolsAPI::IOTAModuleServices*>(this) : nullptr;
  }
  std::shared_ptr<ToolsAPI::IOTAModule> CurrentModule() override { return current; }
  std::shared_ptr<ToolsAPI::IOTAProject> GetActiveProject() override { return project; }
  bool SaveAll() override {
    ++saveAllCalls;
    return saveAllAnswer;
  }
  std::shared_ptr<ToolsAPI::IOTAModule> current;
  bool saveAllAnswer = true;
  int saveAllCalls = 0;
  std::shared_ptr<ToolsAPI::IOTAProject> project;
};

// A project C:\<folder>\<name> whose current editor shows `shownFile`
// (the project file itself when empty), made the active project.
std::shared_ptr<FakeProject> OpenProject(const std::string& projectFile, const std::string& shownFile = "");

}  // namespace testing_world
