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

void SourceFile::ShowText(const std::string& text) {
  onDisk_ = text;
  const size_t crlf = text.find("\r\n"), lf = text.find('\n'), cr = text.find('\r');
  if (crlf != std::string::npos) lineEnd_ = "\r\n";
  else if (lf != std::string::npos) lineEnd_ = "\n";
  else if (cr != std::string::npos) lineEnd_ = "\r";
  endsWithBreak_ = text.empty() || text.back() == '\n' || text.back() == '\r';
  std::string shown;
  for (const std::string_view line : platform::SplitLineViews(text)) (shown += line) += '\n';
  if (!endsWithBreak_ && !shown.empty()) shown.pop_back();
  editor_->setPlainText(forms::ToQt(shown));
}

void SourceFile::Reload() {
  const std::string text = platform::ReadFileText(fileName_);
  const int top = editor_->verticalScrollBar()->value();
  const QTextCursor cursor = editor_->textCursor();
  const int line = cursor.blockNumber(), column = cursor.positionInBlock();
  ShowText(text);
  QTextCursor back(editor_->document()->findBlockByNumber(line));
  back.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, std::min(column, back.block().length() - 1));
  editor_->setTextCursor(back);
  editor_->verticalScrollBar()->setValue(top);
}

void SourceFile::Save() {
  if (!Modified()) return;  // the file holds these bytes already
  QStringList lines = editor_->toPlainText().split('\n');
  std::string text;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    text += forms::FromQt(lines[i]);
    if (i + 1 < lines.size()) text += lineEnd_;
  }
  if (endsWithBreak_ && !text.empty() && !text.ends_with(lineEnd_)) text += lineEnd_;
  platform::WriteFileText(fileName_, text);
  onDisk_ = text;
  editor_->document()->setModified(false);
}

bool SourceFile::ChangedOnDisk() const {
  try {
    return platform::ReadFileText(fileName_) != onDisk_;
  } catch (const std::exception&) {
    return false;  // gone or unreadable: nothing to read again
  }
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
