#pragma once
// The browser control as the form places it: the browser operations, and
// the widget that shows the pages.
#include "platform/Browser.h"

class QWidget;

namespace resources {

class BrowserControl : public platform::Browser {
 public:
  virtual QWidget* View() = 0;
};

}  // namespace resources
