#include "resources/UfDotNetResForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include "forms/FormsHost.h"

namespace resources {

using forms::FromQt;
using forms::ToQt;

namespace {

QPushButton* Button(QWidget* parent, const char* caption, int x, int y, int width) {
  auto* button = forms::MakeAt<QPushButton>(parent, x, y, width, 22);
  button->setText(caption);
  return button;
}

}  // namespace

namespace {
bool IsEnter(QEvent* event) {
  const int key = static_cast<QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}
}  // namespace

TfDotNetResForm::TfDotNetResForm(platform::MessageService& messages, std::unique_ptr<BrowserControl> browser,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::WindowTitleHint),
      messages_(messages),
      browser_(std::move(browser)),
      model_(std::make_unique<DotNetResModel>(*browser_)) {
  forms::LoadFormFonts();
  setWindowTitle("DotNet Develop Resource");
  resize(917, 566);
  setMinimumSize(917, 300);  // the bar's controls (to x = 912) stay whole
  forms::CentreOnScreen(this);
  setFont(forms::FormFont("Tahoma", 11, true));

  PageControl1 = new QTabWidget(this);
  auto* fill = new QVBoxLayout(this);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(PageControl1);
  auto* page = new QWidget;
  PageControl1->addTab(page, "DotNet Official Resource");
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  Panel1 = new QWidget;
  Panel1->setFixedHeight(55);
  column->addWidget(Panel1);
  QWidget* view = browser_->View();
  column->addWidget(view, 1);

  Image1 = forms::MakeAt<QLabel>(Panel1, 6, 14, 24, 24);
  Image1->setPixmap(QPixmap(":/resources/images/home.png"));
  Image1->setToolTip("DotNet Help");
  Image1->setCursor(Qt::PointingHandCursor);
  forms::TextLabel(Panel1, "MSDN PageIndex", 38, 4, "red", true);
  MsdnPageIndex = forms::MakeAt<QComboBox>(Panel1, 38, 24, 160, 22);
  BtnAddMSDNPageIndex = Button(Panel1, "+", 200, 24, 22);
  BitBtn3 = Button(Panel1, "Prev", 228, 24, 48);
  BitBtn4 = Button(Panel1, "Next", 278, 24, 48);
  forms::TextLabel(Panel1, "My favorite Link : ", 334, 4, nullptr, true);
  cbResLink = forms::MakeAt<QComboBox>(Panel1, 334, 24, 220, 22);
  cbResLink->setEditable(true);
  BtnAddUrl = Button(Panel1, "+", 556, 24, 22);
  forms::TextLabel(Panel1, "EnCoding : ", 586, 4);
  cbMSDNLibLink = forms::MakeAt<QComboBox>(Panel1, 586, 24, 62, 22);
  cbMSDNLibLink->setEditable(true);
  BtnAddLibLink = Button(Panel1, "+", 650, 24, 22);
  forms::TextLabel(Panel1, "Name Space / Class : ", 680, 4);
  cbAssemblyList = forms::MakeAt<QComboBox>(Panel1, 680, 24, 120, 22);
  cbAssemblyList->setEditable(true);
  BtnAddAssemblyName = Button(Panel1, "+", 802, 24, 22);
  BtnMyTips = Button(Panel1, "My Dev Tips", 832, 24, 80);
  for (QComboBox* box : {cbResLink, cbMSDNLibLink, cbAssemblyList}) {
    box->setFocusPolicy(Qt::ClickFocus);        // out of the tab order
    box->setInsertPolicy(QComboBox::NoInsert);  // Enter adds nothing by itself
  }

  GbMsdnPageIndex = forms::MakeAt<QGroupBox>(page, 40, 60, 420, 110);
  GbMsdnPageIndex->setTitle("Add New PageIndex");
  forms::TextLabel(GbMsdnPageIndex, "Page Name :", 10, 26);
  EdMadnPageName = forms::MakeAt<QLineEdit>(GbMsdnPageIndex, 90, 22, 320, 22);
  forms::TextLabel(GbMsdnPageIndex, "Url :", 10, 54);
  EdMsdnPageUrl = forms::MakeAt<QLineEdit>(GbMsdnPageIndex, 90, 50, 320, 22);
  BitBtn1 = Button(GbMsdnPageIndex, "&Cancel", 250, 80, 75);
  BitBtn2 = Button(GbMsdnPageIndex, "&Add", 335, 80, 75);
  GbMsdnPageIndex->setAutoFillBackground(true);
  gbMyTips = forms::MakeAt<QGroupBox>(page, 560, 60, 340, 300);
  gbMyTips->setTitle("My Develop Tips");
  gbMyTips->setAutoFillBackground(true);

  using F = TfDotNetResForm;
  const std::pair<QPushButton*, void (F::*)()> buttons[] = {{BtnAddMSDNPageIndex, &F::BtnAddMSDNPageIndexClick},
                                                            {BitBtn1, &F::BitBtn1Click},
                                                            {BitBtn2, &F::BitBtn2Click},
                                                            {BitBtn3, &F::BitBtn3Click},
                                                            {BitBtn4, &F::BitBtn4Click},
                                                            {BtnAddUrl, &F::BtnAddUrlClick},
                                                            {BtnAddLibLink, &F::BtnAddLibLinkClick},
                                                            {BtnAddAssemblyName, &F::BtnAddAssemblyNameClick},
                                                            {BtnMyTips, &F::BtnMyTipsClick}};
  for (const auto& [button, handler] : buttons) connect(button, &QPushButton::clicked, this, handler);
  // While the group is shown, Escape cancels and Enter adds, wherever the
  // focus is in the form; "&Add" is drawn as the default button.
  BitBtn2->setDefault(true);
  // The keys are the group's only while it is shown (Refresh turns them
  // on and off); otherwise they reach the boxes of the bar.
  groupKeys_ = {new QShortcut(Qt::Key_Escape, this), new QShortcut(Qt::Key_Return, this),
                new QShortcut(Qt::Key_Enter, this)};
  for (QShortcut* key : groupKeys_) {
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this, [this, key] { (key == groupKeys_[0] ? BitBtn1 : BitBtn2)->click(); });
  }

  connect(MsdnPageIndex, &QComboBox::activated, this, [this](int index) {
    model_->MsdnPageIndex.Select(index);
    MsdnPageIndexChange();
  });
  connect(cbResLink, &QComboBox::activated, this, [this](int index) {
    model_->cbResLink.Select(index);
    cbResLinkSelect();
  });
  connect(cbAssemblyList, &QComboBox::activated, this, [this](int index) {
    model_->cbAssemblyList.Select(index);
    cbAssemblyListSelect();
  });
  connect(cbMSDNLibLink, &QComboBox::activated, this, [this](int index) {
    model_->cbMSDNLibLink.Select(index);
    cbMSDNLibLinkSelect();
  });
  connect(cbResLink, &QComboBox::editTextChanged, this, [this] { TakeText(cbResLink, model_->cbResLink); });
  connect(cbMSDNLibLink, &QComboBox::editTextChanged, this, [this] { TakeText(cbMSDNLibLink, model_->cbMSDNLibLink); });
  connect(cbAssemblyList, &QComboBox::editTextChanged, this,
          [this] { TakeText(cbAssemblyList, model_->cbAssemblyList); });
  // Enter in the address and name boxes runs their key handlers and goes on
  // to the box (which never adds the text to its list). The box sees the
  // keys before its line edit does.
  for (QComboBox* box : {cbResLink, cbMSDNLibLink, cbAssemblyList}) box->setInsertPolicy(QComboBox::NoInsert);
  forms::OnEvent(cbResLink, QEvent::KeyPress, [this](QEvent* event) {
    if (IsEnter(event)) cbResLinkKeyPress(13);
    return false;
  });
  forms::OnEvent(cbAssemblyList, QEvent::KeyPress, [this](QEvent* event) {
    if (IsEnter(event)) cbAssemblyListKeyPress(13);
    return false;
  });
  forms::OnEvent(Image1, QEvent::MouseButtonRelease, [this](QEvent*) {
    Image1Click();
    return false;
  });
  // The document-complete event changes the address box: show it.
  auto complete = std::move(browser_->OnDocumentComplete);
  browser_->OnDocumentComplete = [this, complete](const std::string& address) {
    complete(address);
    Refresh();
  };
  Refresh();
}

TfDotNetResForm::~TfDotNetResForm() { browser_->OnDocumentComplete = nullptr; }

void TfDotNetResForm::Run(const std::function<void()>& handler) {
  forms::Handle(messages_, handler);
  Refresh();
}

void TfDotNetResForm::TakeText(QComboBox* widget, BoxState& box) {
  if (refreshing_) return;
  box.Text = FromQt(widget->currentText());
  box.ItemIndex = widget->findText(widget->currentText(), Qt::MatchExactly);
}

void TfDotNetResForm::ShowBox(QComboBox* widget, const BoxState& box) {
  QStringList items;
  for (const std::string& item : box.Items) items << ToQt(item);
  QStringList shown;
  for (int i = 0; i < widget->count(); ++i) shown << widget->itemText(i);
  if (shown != items) {
    widget->clear();
    widget->addItems(items);
    // The drop-down as wide as its widest entry, never elided to the box.
    widget->view()->setMinimumWidth(widget->view()->sizeHintForColumn(0) + 2 * widget->view()->frameWidth() + 16);
  }
  widget->setCurrentIndex(box.ItemIndex);
  // A text equal to what the box shows is left alone, and with it the
  // user's selection in it.
  if (widget->isEditable() && widget->currentText() != ToQt(box.Text)) widget->setEditText(ToQt(box.Text));
}

void TfDotNetResForm::Refresh() {
  refreshing_ = true;
  ShowBox(MsdnPageIndex, model_->MsdnPageIndex);
  ShowBox(cbResLink, model_->cbResLink);
  ShowBox(cbMSDNLibLink, model_->cbMSDNLibLink);
  ShowBox(cbAssemblyList, model_->cbAssemblyList);
  if (EdMadnPageName->text() != ToQt(model_->EdMadnPageName)) EdMadnPageName->setText(ToQt(model_->EdMadnPageName));
  if (EdMsdnPageUrl->text() != ToQt(model_->EdMsdnPageUrl)) EdMsdnPageUrl->setText(ToQt(model_->EdMsdnPageUrl));
  GbMsdnPageIndex->setVisible(model_->GbMsdnPageIndexVisible);
  for (QShortcut* key : groupKeys_) key->setEnabled(model_->GbMsdnPageIndexVisible);
  gbMyTips->setVisible(model_->gbMyTipsVisible);
  if (model_->GbMsdnPageIndexVisible) GbMsdnPageIndex->raise();
  if (model_->gbMyTipsVisible) gbMyTips->raise();
  refreshing_ = false;
}

void TfDotNetResForm::Reopen() {
  close();
  // Opened from a modal dialog (the build dialog's link), it is modal above
  // that dialog, so that it can be used at once; the dialog is again once
  // it closes. Opened from the IDE, it is an ordinary window.
  QWidget* modal = QApplication::activeModalWidget();
  setWindowModality(modal && modal != this ? Qt::ApplicationModal : Qt::NonModal);
  show();
  raise();
  activateWindow();
}

void TfDotNetResForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Shown by a command, not restored by the window manager from the task
  // bar: only then are the lists read again.
  if (!event->spontaneous()) FormShow();
}

// --- the handlers, named as designed: each runs one operation of the model ---

void TfDotNetResForm::FormShow() {
  Run([this] { model_->LoadLists(); });
}
void TfDotNetResForm::Image1Click() {
  Run([this] { model_->OpenReferenceHome(); });
}
void TfDotNetResForm::MsdnPageIndexChange() {
  Run([this] { model_->OpenSelectedIndexPage(); });
}
void TfDotNetResForm::BtnAddMSDNPageIndexClick() {
  Run([this] { model_->ShowAddPageGroup(); });
}
void TfDotNetResForm::BitBtn2Click() {
  model_->EdMadnPageName = FromQt(EdMadnPageName->text());
  model_->EdMsdnPageUrl = FromQt(EdMsdnPageUrl->text());
  Run([this] { model_->AddIndexPage(); });
}
void TfDotNetResForm::BitBtn1Click() {
  Run([this] { model_->CancelAddPage(); });
}
void TfDotNetResForm::BitBtn3Click() {
  Run([this] { model_->GoBack(); });
}
void TfDotNetResForm::BitBtn4Click() {
  Run([this] { model_->GoForward(); });
}
void TfDotNetResForm::cbResLinkKeyPress(char key) {
  Run([this, key] { model_->OpenAddressOnEnter(key); });
}
void TfDotNetResForm::cbResLinkSelect() {
  Run([this] { model_->OpenAddress(); });
}
void TfDotNetResForm::BtnAddUrlClick() {
  Run([this] { model_->AddFavourite(); });
}
void TfDotNetResForm::cbAssemblyListKeyPress(char key) {
  Run([this, key] { model_->OpenComposedOnEnter(key); });
}
void TfDotNetResForm::cbAssemblyListSelect() {
  Run([this] { model_->OpenSelectedAssembly(); });
}
void TfDotNetResForm::cbMSDNLibLinkSelect() {
  Run([this] { model_->OpenSelectedLanguage(); });
}
void TfDotNetResForm::BtnAddLibLinkClick() {
  Run([this] { model_->AddLanguage(); });
}
void TfDotNetResForm::BtnAddAssemblyNameClick() {
  Run([this] { model_->AddAssemblyName(); });
}
void TfDotNetResForm::BtnMyTipsClick() {
  Run([this] { model_->ToggleTips(); });
}

}  // namespace resources
