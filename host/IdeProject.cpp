#include "host/IdeProject.h"

#include <QScrollBar>
#include <QTextBlock>

#include "forms/FormsHost.h"
#include "platform/Files.h"
#include "platform/TextLines.h"

namespace host {

using namespace ToolsAPI;

void* SourceFile::QueryInterface(const TGUID& iid) {
  if (iid == IOTAModule::IID) return static_cast<IOTAModule*>(this);
  if (iid == IOTASourceEditor::IID || iid == IOTAEditor::IID) return static_cast<IOTASourceEditor*>(this);
  if (iid == IOTAEditView::IID) return static_cast<IOTAEditView*>(this);
  return nullptr;
}

std::shared_ptr<IOTAEditor> SourceFile::GetModuleFileEditor(int index) {
  if (index != 0) return nullptr;
  return std::shared_ptr<IOTAEditor>(shared_from_this(), static_cast<IOTASourceEditor*>(this));
}

std::shared_ptr<IOTAEditView> SourceFile::GetEditView(int index) {
  if (index != 0) return nullptr;
  return std::shared_ptr<IOTAEditView>(shared_from_this(), static_cast<IOTAEditView*>(this));
}

void SourceFile::SetTopLeft(int topRow, int leftColumn) {
  top_ = std::max(topRow, 1);
  // Without line wrapping the vertical scroll position counts lines; a row
  // before the first shows the first.
  editor_->verticalScrollBar()->setValue(std::max(topRow, 1) - 1);
  editor_->horizontalScrollBar()->setValue(std::max(leftColumn, 1) - 1);
}

void SourceFile::MoveCursorToView() {
  // The file comes to the front with the cursor on the row the view was
  // asked to show at its top (near the end of a file the view cannot show
  // it at the top, but the cursor's line is in view).
  if (Show) Show();
  const int top = editor_->verticalScrollBar()->value();
  const QTextBlock row = editor_->document()->findBlockByNumber(top_ - 1);
  editor_->setTextCursor(QTextCursor(row.isValid() ? row : editor_->document()->lastBlock()));
  editor_->verticalScrollBar()->setValue(top);  // placing the cursor may have scrolled
  editor_->ensureCursorVisible();
  editor_->setFocus();
}

int SourceFile::TopLine() const { return editor_->verticalScrollBar()->value() + 1; }

int SourceFile::CursorLine() const { return editor_->textCursor().blockNumber() + 1; }

void SourceFile::Reload() {
  const std::string text = platform::ReadFileText(fileName_);
  const int top = editor_->verticalScrollBar()->value();
  const int line = editor_->textCursor().blockNumber();
  editor_->setPlainText(forms::ToQt(text));
  editor_->setTextCursor(QTextCursor(editor_->document()->findBlockByNumber(line)));
  editor_->verticalScrollBar()->setValue(top);
}

void SourceFile::Save() {
  platform::Lines lines;
  for (const QString& line : editor_->toPlainText().split('\n')) lines.push_back(forms::FromQt(line));
  if (!lines.empty() && lines.back().empty()) lines.pop_back();  // the text's own last line end
  platform::SaveLines(fileName_, lines);
  editor_->document()->setModified(false);
}

bool SourceFile::Modified() const { return editor_->document()->isModified(); }

void* IdeProject::QueryInterface(const TGUID& iid) {
  return iid == IOTAProject::IID || iid == IOTAModule::IID ? static_cast<IOTAProject*>(this) : nullptr;
}

std::shared_ptr<IOTAEditor> IdeProject::GetModuleFileEditor(int index) {
  return projectFile_->GetModuleFileEditor(index);
}

// The editor of the project's own file, whichever tab is in front (the
// module in front is CurrentModule's business).
std::shared_ptr<IOTAEditor> IdeProject::GetCurrentEditor() { return projectFile_->GetModuleFileEditor(0); }

}  // namespace host
