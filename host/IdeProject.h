#pragma once
// The stand-in IDE's project: the project file and the units its uses
// clause names, each open in an editor tab, behind the IDE interfaces the
// package asks for (modules, source editors, edit views).
#include <QPlainTextEdit>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolsapi/ToolsAPI.h"

namespace host {

// One file in an editor tab: a module with one file, whose editor is a
// source editor with one edit view.
class SourceFile : public ToolsAPI::IOTAModule,
                   public ToolsAPI::IOTASourceEditor,
                   public ToolsAPI::IOTAEditView,
                   public std::enable_shared_from_this<SourceFile> {
 public:
  SourceFile(std::string fileName, QPlainTextEdit* editor) : fileName_(std::move(fileName)), editor_(editor) {}
  void* QueryInterface(const ToolsAPI::TGUID& iid) override;
  std::string GetFileName() override { return fileName_; }
  int GetModuleFileCount() override { return 1; }
  std::shared_ptr<ToolsAPI::IOTAEditor> GetModuleFileEditor(int index) override;
  int GetEditViewCount() override { return 1; }
  std::shared_ptr<ToolsAPI::IOTAEditView> GetEditView(int index) override;
  void SetTopLeft(int topRow, int leftColumn) override;
  void MoveCursorToView() override;

  QPlainTextEdit* Editor() const { return editor_; }
  int TopLine() const;  // the line shown at the top, from 1
  // The line the text cursor is on, from 1.
  int CursorLine() const;
  // What brings this file's tab to the front (set by the IDE).
  std::function<void()> Show;
  // Shows a text read from the file: its characters in the system's code
  // page, its lines whatever ends them (CR LF, LF or CR).
  void ShowText(const std::string& text);
  // Reads the file again from disk into the editor, keeping what it shows
  // and where the cursor is.
  void Reload();
  // Writes the editor's text to the file, in the code page, each line ended
  // as the file's lines were (CR LF for a new file); a text without edits is
  // not written at all. Throws FileError.
  void Save();
  bool Modified() const;
  // True when the file on disk holds other bytes than the editor last read
  // or wrote: a new time stamp or mode alone is no change.
  bool ChangedOnDisk() const;

 private:
  std::string fileName_;
  QPlainTextEdit* editor_;
  std::string lineEnd_ = "\r\n";  // what ends the file's lines
  bool endsWithBreak_ = true;     // its last line ends with a line end
  std::string onDisk_;            // the bytes last read or written
  int top_ = 1;                   // the row the last SetTopLeft asked for
};

class IdeProject : public ToolsAPI::IOTAProject, public std::enable_shared_from_this<IdeProject> {
 public:
  explicit IdeProject(std::shared_ptr<SourceFile> projectFile) : projectFile_(std::move(projectFile)) {}
  void* QueryInterface(const ToolsAPI::TGUID& iid) override;
  std::string GetFileName() override { return projectFile_->GetFileName(); }
  int GetModuleFileCount() override { return 1; }
  std::shared_ptr<ToolsAPI::IOTAEditor> GetModuleFileEditor(int index) override;
  std::shared_ptr<ToolsAPI::IOTAEditor> GetCurrentEditor() override;
  const std::shared_ptr<SourceFile>& ProjectFile() const { return projectFile_; }

 private:
  std::shared_ptr<SourceFile> projectFile_;
};

}  // namespace host
