#include "runner/JumpToSource.h"

#include "platform/Text.h"

namespace runner {

std::string LineNumberText(const std::string& message) {
  if (!platform::Contains(message, ".pas")) return {};
  size_t open = message.find('(');
  if (open == std::string::npos) return {};
  size_t close = message.find(')', open + 1);
  return message.substr(open + 1, (close == std::string::npos ? message.size() : close) - open - 1);
}

int LineNumberOf(const std::string& message) { return platform::StrToIntDef(LineNumberText(message), 0); }

void MessageListDblClick(const MessageList& list, const std::shared_ptr<ToolsAPI::IOTAModuleServices>& modules,
                         platform::MessageService& messages) {
  using namespace ToolsAPI;
  if (list.ItemIndex() < 0) return;
  const std::string text = list.Item(list.ItemIndex());
  std::shared_ptr<IOTAModule> module = modules ? modules->CurrentModule() : nullptr;
  if (!module) {
    messages.ShowMessage(NoModuleMessage);
    return;
  }
  std::shared_ptr<IOTASourceEditor> source;
  for (int i = 0; i < module->GetModuleFileCount() && !source; ++i)
    source = Supports<IOTASourceEditor>(module->GetModuleFileEditor(i));
  if (!source) {
    messages.ShowMessage(NoSourceEditorMessage);
    return;
  }
  // A source editor without an open view has nothing to scroll.
  std::shared_ptr<IOTAEditView> view = source->GetEditViewCount() > 0 ? source->GetEditView(0) : nullptr;
  if (!view) return;
  view->SetTopLeft(LineNumberOf(text), 1);
  view->MoveCursorToView();
}

}  // namespace runner
