#pragma once
// A browser control that records what it is asked and keeps a history the
// way a browser does; documents complete when the test says so.
#include <string>
#include <vector>

#include "platform/Browser.h"

struct FakeBrowser : platform::Browser {
  void Navigate(const std::string& address) override {
    navigated.push_back(address);
    history.resize(static_cast<size_t>(at + 1));
    history.push_back(address);
    ++at;
  }
  void GoBack() override {
    if (at <= 0) throw platform::BrowserError("There is no earlier page");
    --at;
  }
  void GoForward() override {
    if (at + 1 >= static_cast<int>(history.size())) throw platform::BrowserError("There is no later page");
    ++at;
  }
  void Complete(const std::string& address) {
    if (OnDocumentComplete) OnDocumentComplete(address);
  }
  std::vector<std::string> navigated, history;
  int at = -1;
};
