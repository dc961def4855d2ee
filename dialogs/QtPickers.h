#pragma once
// The build dialog's pickers as real dialogs: each use creates a picker,
// shows it modally, reads it and frees it.
#include "platform/MessageService.h"
#include "dialogs/Pickers.h"

class QWidget;

namespace dialogs {

class QtPickers : public dialogs::Pickers {
 public:
  QtPickers(platform::MessageService& messages, QWidget* parent) : messages_(messages), parent_(parent) {}
  dialogs::PickResult PickPath(const std::string& startFolder) override;
  dialogs::PickResult PickFile(const std::string& mask, const std::string& startFolder) override;

 private:
  platform::MessageService& messages_;
  QWidget* parent_;
};

}  // namespace dialogs
