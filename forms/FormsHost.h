#pragma once
// What every form of the package shares with its host: the message boxes,
// the standard error report, text at the widget boundary, the faces the
// layouts name, and the event loop as the message pump.
#include <QEvent>
#include <QFont>
#include <QString>
#include <functional>
#include <string>

#include "platform/CodePage.h"
#include "platform/MessageService.h"

class QLabel;
class QWidget;

namespace forms {

// System text is single-byte text in the system's code page, converted at
// the widget boundary through the platform's one conversion (never the
// locale's, which is UTF-8 on Linux): every byte comes back as it went.
inline QString ToQt(const std::string& text) { return QString::fromStdString(platform::CodePageToUtf8(text)); }
inline std::string FromQt(const QString& text) { return platform::Utf8ToCodePage(text.toStdString()); }

// The host's message boxes: information with OK, error with OK, and the
// Yes/No confirmation.
class QtMessages : public platform::MessageService {
 public:
  explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  bool AskYesNo(const std::string& question) override;
  Answer Ask(const std::string& question, const std::string& yes, const std::string& no, Answer preferred) override;

 private:
  QWidget* parent_;
};

// The standard error report: runs one event handler; an error that escapes
// it ends the handler and is shown in an error box with its text, and the
// application goes on. Every handler of every form runs through it.
void Handle(platform::MessageService& messages, const std::function<void()>& handler);

// Makes Tahoma and MS Sans Serif (Wine's metric-compatible faces) known to
// the application; Arial is Liberation Sans through fontconfig. Once per
// application.
void LoadFormFonts();
// A face at a size in points (pixels when `pixels` is true).
QFont FormFont(const char* family, int size, bool pixels = false);

// A new widget of class W at a fixed place, as the layouts give it.
template <class W>
W* MakeAt(QWidget* parent, int x, int y, int width, int height) {
  auto* widget = new W(parent);
  widget->setGeometry(x, y, width, height);
  return widget;
}

// A label at a place, sized to its text, in a colour (none when null),
// bold or not, at a pixel size (0: the form's).
QLabel* TextLabel(QWidget* parent, const QString& text, int x, int y, const char* color = nullptr, bool bold = false,
                  int pixelSize = 0);

// Gives a widget a text colour ("red", "#0000FF"; none when null), bold
// text, and a pixel size (0: as it is). Done through the palette and the
// font, never a style sheet: a style sheet would take the font over.
void StyleText(QWidget* widget, const char* color, bool bold = false, int pixelSize = 0);

// Runs `hook` for each event of `type` that reaches `target`, before the
// target sees it; the event goes no further when the hook returns true.
// Lives as long as the target.
void OnEvent(QObject* target, QEvent::Type type, std::function<bool(QEvent*)> hook);

// Runs `action` when one of `keys` (Qt::Key_Return, ...) is pressed in
// `widget` or its children, and keeps the key from going further (to a
// dialog's default button, say). Lives as long as the widget.
void OnKeys(QWidget* widget, std::initializer_list<int> keys, std::function<void()> action);

// A fixed dialog's window: a title bar with a close box only (nothing to
// minimise or maximise), under any window manager.
inline constexpr Qt::WindowFlags FixedDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// Centres a window on the screen it is on (the primary one before it shows).
void CentreOnScreen(QWidget* window);

// While it lives, the host's "process messages" runs the event loop and
// then `refresh` (what a long operation changed that the form shows); the
// pump before it comes back when it ends, so scopes nest.
class MessagePumpScope {
 public:
  explicit MessagePumpScope(std::function<void()> refresh);
  ~MessagePumpScope();
  MessagePumpScope(const MessagePumpScope&) = delete;
  MessagePumpScope& operator=(const MessagePumpScope&) = delete;

 private:
  std::function<void()> previous_;
};

}  // namespace forms
