#pragma once
// A double click on a compiler message scrolls the IDE's current source
// editor to the line the message reports.
#include <memory>
#include <string>

#include "platform/MessageService.h"
#include "runner/MessageList.h"
#include "toolsapi/ToolsAPI.h"

namespace runner {

inline constexpr const char* NoModuleMessage = "Project file is not opened !!";
inline constexpr const char* NoSourceEditorMessage = "Code editor window not found!!";

// The line-number text of a message: between the first "(" and the next ")"
// (or the end) of a line that contains ".pas"; empty otherwise.
std::string LineNumberText(const std::string& message);
// The line number: leading blanks and a sign allowed; anything else is 0.
int LineNumberOf(const std::string& message);

// Does nothing when no item is selected.
void MessageListDblClick(const MessageList& list, const std::shared_ptr<ToolsAPI::IOTAModuleServices>& modules,
                         platform::MessageService& messages);

}  // namespace runner
