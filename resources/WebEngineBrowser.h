#pragma once
// The browser control on a real browser engine (Qt WebEngine). It starts
// with no page and keeps its history for as long as it lives.
#include "resources/BrowserControl.h"

class QWebEngineView;

namespace resources {

class WebEngineBrowser : public BrowserControl {
 public:
  WebEngineBrowser();
  ~WebEngineBrowser() override;
  void Navigate(const std::string& address) override;
  void GoBack() override;
  void GoForward() override;
  QWidget* View() override;

  // Runs the browser engine without Chromium's sandbox, which it cannot
  // start as root (in a container, say). Only ever on an explicit request:
  // tidewell-ide --no-sandbox, the form tests, the screenshots. Call before
  // the application object is made.
  static void TurnSandboxOff();

 private:
  QWebEngineView* view_;  // owned by the form that shows it, else by this
};

}  // namespace resources
