#include "forms/FormsHost.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QWidget>
#include <exception>

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

MessagePumpScope::MessagePumpScope(std::function<void()> refresh) {
  previous_ = platform::SetMessagePump([refresh] {
    QCoreApplication::processEvents();
    if (refresh) refresh();
  });
}

MessagePumpScope::~MessagePumpScope() { platform::SetMessagePump(std::move(previous_)); }

}  // namespace forms
