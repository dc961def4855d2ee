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

  // Chromium refuses to start its sandbox for root: as root only, it runs
  // without it. Call before the application object is made.
  static void PrepareEngine();

 private:
  QWebEngineView* view_;  // owned by the form that shows it, else by this
};

}  // namespace resources
