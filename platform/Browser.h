#pragma once
// The embedded browser control, as far as the resources browser uses it:
// start loading an address, move in the control's own history, and hear
// when a document has finished loading. The forms layer implements it with
// a real browser engine; tests script it.
#include <functional>
#include <stdexcept>
#include <string>

namespace platform {

class BrowserError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Browser {
 public:
  virtual ~Browser() = default;
  // Starts loading and returns at once.
  virtual void Navigate(const std::string& address) = 0;
  // Throw BrowserError when there is no page in that direction.
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  // Raised on the user-interface thread with the address of each document
  // that has finished loading (an error page included).
  std::function<void(const std::string& address)> OnDocumentComplete;
};

}  // namespace platform
