#include "forms/FormsHost.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <exception>
#include <vector>

#include "platform/FontFolder.h"
#include "platform/MessagePump.h"

namespace forms {

void QtMessages::ShowMessage(const std::string& text) {
  QMessageBox::information(parent_, QCoreApplication::applicationName(), ToQt(text));
}

void QtMessages::ShowError(const std::string& text) {
  QMessageBox::critical(parent_, QCoreApplication::applicationName(), ToQt(text));
}

bool QtMessages::AskYesNo(const std::string& question) {
  return QMessageBox::question(parent_, QCoreApplication::applicationName(), ToQt(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

platform::MessageService::Answer QtMessages::Ask(const std::string& question, const std::string& yes,
                                                 const std::string& no, Answer preferred) {
  QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), ToQt(question), QMessageBox::NoButton,
                  parent_);
  QPushButton* yesButton = box.addButton(ToQt(yes), QMessageBox::YesRole);
  QPushButton* noButton = box.addButton(ToQt(no), QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(QMessageBox::Cancel);
  box.setEscapeButton(cancel);
  box.setDefaultButton(preferred == Answer::Yes ? yesButton : preferred == Answer::No ? noButton : cancel);
  box.exec();
  if (box.clickedButton() == yesButton) return Answer::Yes;
  if (box.clickedButton() == noButton) return Answer::No;
  return Answer::Cancel;
}

void Handle(platform::MessageService& messages, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    messages.ShowError(e.what());
  }
}

void LoadFormFonts() {
  static const bool loaded = [] {
    for (const std::string& file : platform::FormFontFiles())
      QFontDatabase::addApplicationFont(QString::fromStdString(file));
    return true;
  }();
  (void)loaded;
}

QFont FormFont(const char* family, int size, bool pixels) {
  QFont font(family);
  if (pixels) font.setPixelSize(size);
  else font.setPointSize(size);
  return font;
}

void StyleText(QWidget* widget, const char* color, bool bold, int pixelSize) {
  if (color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor(color));
    widget->setPalette(palette);
  }
  QFont font = widget->font();
  font.setBold(bold);
  if (pixelSize > 0) font.setPixelSize(pixelSize);
  widget->setFont(font);
}

QLabel* TextLabel(QWidget* parent, const QString& text, int x, int y, const char* color, bool bold, int pixelSize) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  StyleText(label, color, bold, pixelSize);
  label->adjustSize();
  return label;
}

namespace {
class EventHook : public QObject {
 public:
  EventHook(QObject* parent, QEvent::Type type, std::function<bool(QEvent*)> hook)
      : QObject(parent), type_(type), hook_(std::move(hook)) {}
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == type_ && hook_(event); }

 private:
  QEvent::Type type_;
  std::function<bool(QEvent*)> hook_;
};
}  // namespace

void OnEvent(QObject* target, QEvent::Type type, std::function<bool(QEvent*)> hook) {
  target->installEventFilter(new EventHook(target, type, std::move(hook)));
}

void OnKeys(QWidget* widget, std::initializer_list<int> keys, std::function<void()> action) {
  const std::vector<int> wanted(keys);
  auto isWanted = [wanted](QEvent* event) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    return std::find(wanted.begin(), wanted.end(), key) != wanted.end();
  };
  // Taken as a key press, never as some window's shortcut.
  OnEvent(widget, QEvent::ShortcutOverride, [isWanted](QEvent* event) {
    if (isWanted(event)) event->accept();
    return false;
  });
  OnEvent(widget, QEvent::KeyPress, [isWanted, action = std::move(action)](QEvent* event) {
    if (!isWanted(event)) return false;
    action();
    return true;
  });
}

void CentreOnScreen(QWidget* window) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

MessagePumpScope::MessagePumpScope(std::function<void()> refresh) {
  // The host's pump, where there is one, runs the events: it knows that long
  // work is under way (the IDE defers its exit until the work ends).
  auto outer = std::make_shared<std::function<void()>>();
  previous_ = platform::SetMessagePump([outer, refresh] {
    if (*outer) (*outer)();
    else QCoreApplication::processEvents();
    if (refresh) refresh();
  });
  *outer = previous_;
}

MessagePumpScope::~MessagePumpScope() { platform::SetMessagePump(std::move(previous_)); }

}  // namespace forms
