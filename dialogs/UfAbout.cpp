#include "dialogs/UfAbout.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "dialogs/AboutLinks.h"
#include "forms/FormsHost.h"
#include "platform/Process.h"

namespace dialogs {

namespace {

QLabel* Picture(QWidget* parent, const char* resource, int x, int y, int width, int height) {
  auto* label = new QLabel(parent);
  label->setGeometry(x, y, width, height);
  label->setPixmap(QPixmap(resource));
  label->setScaledContents(true);
  return label;
}

QLabel* Tile(QWidget* parent, const char* caption, int top) {
  auto* tile = new QLabel(caption, parent);
  tile->setGeometry(114, top, 59, 17);
  tile->setAlignment(Qt::AlignCenter);
  tile->setStyleSheet("background-color: rgb(244, 228, 172);");  // colour value 11330804
  return tile;
}

QLabel* Link(QWidget* parent, const QString& caption, int x, int y) {
  QLabel* link = forms::TextLabel(parent, caption, x, y, "blue");
  QFont underlined = link->font();
  underlined.setUnderline(true);
  link->setFont(underlined);
  link->setCursor(Qt::PointingHandCursor);
  return link;
}

}  // namespace

TfAbout::TfAbout(std::function<void(const std::string&)> open, QWidget* parent)
    : QDialog(parent), open_(std::move(open)) {
  if (!open_) open_ = platform::OpenWithDesktop;
  forms::LoadFormFonts();
  setWindowTitle("Abuot This Application");
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setFixedSize(359, 275);
  setFont(forms::FormFont("MS Sans Serif", 13, true));

  Image1 = Picture(this, ":/dialogs/images/about_background.png", 0, 0, 359, 275);
  Image3 = Picture(this, ":/dialogs/images/about_logo.png", 0, 0, 153, 36);
  Label1 = forms::TextLabel(this, "Tidewell !! for BDS2006", 67, 42, "blue", true, 16);
  Image2 = Picture(this, ":/dialogs/images/about_side.png", 21, 70, 73, 134);
  Panel6 = Tile(this, "Version", 70);
  Panel1 = Tile(this, "Anthor", 92);
  Panel2 = Tile(this, "Location", 115);
  Panel3 = Tile(this, "EMail", 139);
  Panel4 = Tile(this, "MSN", 163);
  Panel5 = Tile(this, "WebSite", 187);
  Label2 = forms::TextLabel(this, "2.0.1 Field Test", 180, 70, "red", true);
  Label3 = forms::TextLabel(this, "The TidewellKit developers, 2026", 180, 92);
  Label7 = forms::TextLabel(this, "Anywhere the tide comes in", 180, 115);
  Label5 = Link(this, QString(AboutMail) + " ", 179, 140);
  Label6 = Link(this, QString(AboutMessenger) + " ", 179, 164);
  Label8 = Link(this, AboutWebHost, 179, 186);
  Label4 = forms::TextLabel(this, "Free to use and to share; no warranty.", 117, 220, "red");
  BitBtn1 = new QPushButton("Close", this);
  BitBtn1->setGeometry(139, 246, 75, 25);
  // Only the Close button closes the box: Escape and Enter do not (a click
  // or the space bar on the button does).
  BitBtn1->setAutoDefault(false);
  forms::OnKeys(this, {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}, [] {});
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  for (QLabel* link : {Label5, Label6, Label8}) link->installEventFilter(this);
}

void TfAbout::Label5Click() { open_(MailLink(AboutMail)); }
void TfAbout::Label6Click() { open_(MailLink(AboutMessenger)); }
void TfAbout::Label8Click() { open_(WebLink(AboutWebHost)); }

bool TfAbout::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    if (watched == Label5) Label5Click();
    if (watched == Label6) Label6Click();
    if (watched == Label8) Label8Click();
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace dialogs
