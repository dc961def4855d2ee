#include "resources/WebEngineBrowser.h"

#include <QWebEngineHistory>
#include <QWebEngineView>
#include <QtGlobal>
#include <string>

#include "forms/FormsHost.h"

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

void WebEngineBrowser::TurnSandboxOff() { qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1"); }

}  // namespace resources
