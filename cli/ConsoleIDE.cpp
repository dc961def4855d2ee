#include "cli/ConsoleIDE.h"

#include <iostream>

namespace cli {

using namespace ToolsAPI;

void* ConsoleProject::QueryInterface(const TGUID& iid) {
  if (iid == IOTAProject::IID || iid == IOTAModule::IID) return static_cast<IOTAProject*>(this);
  if (iid == IOTAEditor::IID) return static_cast<IOTAEditor*>(this);
  return nullptr;
}

std::shared_ptr<IOTAEditor> ConsoleProject::GetModuleFileEditor(int index) {
  if (index != 0) return nullptr;
  return std::shared_ptr<IOTAEditor>(shared_from_this(), static_cast<IOTAEditor*>(this));
}

void* ConsoleModuleServices::QueryInterface(const TGUID& iid) {
  return iid == IOTAModuleServices::IID ? static_cast<IOTAModuleServices*>(this) : nullptr;
}

void ConsoleMessages::ShowMessage(const std::string& text) {
  if (BeforeShowing) BeforeShowing();
  ++shown_;
  last_ = text;
  std::cerr << Prefix << text << std::endl;
}

void ConsoleMessages::ShowError(const std::string& text) {
  if (BeforeShowing) BeforeShowing();
  ++shown_;
  last_ = text;
  std::cerr << Prefix << text << std::endl;
}

bool ConsoleMessages::AskYesNo(const std::string& question) {
  std::cerr << Prefix << question << " No" << std::endl;
  return false;
}

}  // namespace cli
