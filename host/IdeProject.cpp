#include "host/IdeProject.h"

#include <QScrollBar>
#include <QTextBlock>

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
  // Without line wrapping the vertical scroll position counts lines; a row
  // before the first shows the first.
  editor_->verticalScrollBar()->setValue(std::max(topRow, 1) - 1);
  editor_->horizontalScrollBar()->setValue(std::max(leftColumn, 1) - 1);
}

void SourceFile::MoveCursorToView() { editor_->setTextCursor(editor_->cursorForPosition(QPoint(0, 0))); }

int SourceFile::TopLine() const { return editor_->verticalScrollBar()->value() + 1; }

void* IdeProject::QueryInterface(const TGUID& iid) {
  return iid == IOTAProject::IID || iid == IOTAModule::IID ? static_cast<IOTAProject*>(this) : nullptr;
}

std::shared_ptr<IOTAEditor> IdeProject::GetModuleFileEditor(int index) { return projectFile_->GetModuleFileEditor(index); }

std::shared_ptr<IOTAEditor> IdeProject::GetCurrentEditor() {
  std::shared_ptr<SourceFile> shown = shown_();
  return shown ? shown->GetModuleFileEditor(0) : nullptr;
}

}  // namespace host
