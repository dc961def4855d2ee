#pragma once
// Modal messages, as the host shows them. Forms implement this with message
// boxes; tests with a scripted fake; the command line with standard error.
#include <string>

namespace platform {

class MessageService {
 public:
  virtual ~MessageService() = default;
  // A plain message with one OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // An error message with one OK button.
  virtual void ShowError(const std::string& text) = 0;
  // A confirmation with the buttons Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& question) = 0;
};

}  // namespace platform
