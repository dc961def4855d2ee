#include "resources/WebEngineBrowser.h"

#include <QWebEngineHistory>
#include <QWebEngineView>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "dialogs/FormsHost.h"

namespace resources {

WebEngineBrowser::WebEngineBrowser() : view_(new QWebEngineView) {
  QObject::connect(view_, &QWebEngineView::loadFinished, view_, [this](bool) {
    if (OnDocumentComplete) OnDocumentComplete(forms::FromQt(view_->url().toString()));
  });
}

WebEngineBrowser::~WebEngineBrowser() {
  QObject::disconnect(view_, nullptr, nullptr, nullptr);
  if (!view_->parent()) delete view_;
}

void WebEngineBrowser::Navigate(const std::string& address) { view_->load(QUrl::fromUserInput(forms::ToQt(address))); }

void WebEngineBrowser::GoBack() {
  if (!view_->history()->canGoBack()) throw platform::BrowserError("There is no earlier page");
  view_->back();
}

void WebEngineBrowser::GoForward() {
  if (!view_->history()->canGoForward()) throw platform::BrowserError("There is no later page");
  view_->forward();
}

QWidget* WebEngineBrowser::View() { return view_; }

void WebEngineBrowser::PrepareEngine() {
#ifndef _WIN32
  if (::geteuid() != 0) return;
  std::string flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS") ? std::getenv("QTWEBENGINE_CHROMIUM_FLAGS") : "";
  if (flags.find("--no-sandbox") == std::string::npos)
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --no-sandbox").c_str(), 1);
#endif
}

}  // namespace resources
