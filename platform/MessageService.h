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

  enum class Answer { Yes, No, Cancel };
  // A question with three buttons: `yes` ("Save"), `no` ("Don't Save") and
  // Cancel; Escape and the close box mean Cancel, `preferred` has the focus
  // (so the next key typed cannot take a destructive answer by surprise).
  // Without a box of its own, the Yes-or-No question's answer.
  virtual Answer Ask(const std::string& question, const std::string& yes, const std::string& no, Answer preferred) {
    (void)yes, (void)no, (void)preferred;
    return AskYesNo(question) ? Answer::Yes : Answer::No;
  }
};

}  // namespace platform
