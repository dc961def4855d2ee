// The resources browser and the about box on screen.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QSpontaneKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "dialogs/AboutLinks.h"
#include "dialogs/UfAbout.h"
#include "dialogs/UfPathDlg.h"
#include "platform/WinPath.h"
#include "resources/LinkLists.h"
#include "resources/UfDotNetResForm.h"
#include "resources/WebEngineBrowser.h"
#include "builddialog/UfCompactDevForm.h"
#include "tests/TestWorld.h"
#include "tests/resources/FakeBrowser.h"

namespace {

// A browser control over the fake, with a blank widget for a view.
struct FakeControl : resources::BrowserControl {
  FakeBrowser* fake = new FakeBrowser;
  std::unique_ptr<FakeBrowser> owned{fake};
  QWidget* view = new QWidget;
  FakeControl() {
    // Whoever listens to this control listens to the fake.
    fake->OnDocumentComplete = [this](const std::string& a) { OnDocumentComplete(a); };
  }
  void Navigate(const std::string& a) override { fake->Navigate(a); }
  void GoBack() override { fake->GoBack(); }
  void GoForward() override { fake->GoForward(); }
  QWidget* View() override { return view; }
};

}  // namespace

class ResourcesFormTest : public testing_world::TestWorld {
 protected:
  void SetUp() override {
    TestWorld::SetUp();
    MakeFolder(resources::ListFolder);
  }
  static void Show(QWidget& form) {
    form.show();
    QApplication::setActiveWindow(&form);
    QApplication::processEvents();
  }
  // Replaces a box's text by typing into the focused widget.
  static void Type(QWidget* widget, const QString& text) {
    widget->setFocus();
    QApplication::processEvents();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    if (!text.isEmpty()) QTest::keyClicks(QApplication::focusWidget(), text);
  }
  testing_world::FakeMessages messages;
};

TEST_F(ResourcesFormTest, TheBarDrivesTheBrowserAndReportsItsErrors) {
  auto control = std::make_unique<FakeControl>();
  FakeBrowser& browser = *control->fake;
  resources::TfDotNetResForm form(messages, std::move(control));
  EXPECT_EQ(form.windowTitle(), "DotNet Develop Resource");
  EXPECT_EQ(form.PageControl1->tabText(0), "DotNet Official Resource");
  EXPECT_EQ(form.Panel1->height(), 55);
  Show(form);
  EXPECT_FALSE(form.GbMsdnPageIndex->isVisible());
  EXPECT_FALSE(form.gbMyTips->isVisible());
  EXPECT_EQ(form.cbMSDNLibLink->currentText(), "en-us");

  // Enter in an empty address box opens nothing; in the name box it opens
  // the composed address, and the key still reaches the box.
  Type(form.cbResLink, "");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(browser.navigated.empty());
  Type(form.cbAssemblyList, "System.Data");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_EQ(browser.navigated.size(), 1u);
  EXPECT_EQ(browser.navigated[0], std::string(resources::ReferenceBase) + "en-us/library/System.Data.Aspx");
  EXPECT_EQ(form.cbResLink->currentText().toStdString(), browser.navigated[0]);
  EXPECT_EQ(form.cbAssemblyList->count(), 0);  // Enter never adds to the list
  // An address typed and Enter: opened as typed.
  Type(form.cbResLink, "http://typed.example/ ");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
  EXPECT_EQ(browser.navigated.back(), "http://typed.example/ ");
  EXPECT_EQ(form.cbResLink->count(), 0);

  // The document-complete event puts its address in the box.
  browser.Complete("https://learn.microsoft.com/somewhere");
  EXPECT_EQ(form.cbResLink->currentText(), "https://learn.microsoft.com/somewhere");

  // "Prev" goes back; "Next" with no later page is reported; the form goes on.
  QTest::mouseClick(form.BitBtn3, Qt::LeftButton);
  EXPECT_EQ(browser.at, 0);
  QTest::mouseClick(form.BitBtn4, Qt::LeftButton);
  QTest::mouseClick(form.BitBtn4, Qt::LeftButton);
  EXPECT_EQ(messages.errors, (std::vector<std::string>{"There is no later page"}));

  // The home picture opens the reference's home page.
  QTest::mouseClick(form.Image1, Qt::LeftButton);
  EXPECT_EQ(browser.navigated.back(), resources::ReferenceHome());

  QTest::mouseClick(form.BtnMyTips, Qt::LeftButton);
  EXPECT_TRUE(form.gbMyTips->isVisible());
  QTest::mouseClick(form.BtnMyTips, Qt::LeftButton);
  EXPECT_FALSE(form.gbMyTips->isVisible());
}

TEST_F(ResourcesFormTest, TheAddPageGroupTakesEnterAndEscapeWhereverTheFocusIs) {
  auto control = std::make_unique<FakeControl>();
  FakeBrowser& browser = *control->fake;
  resources::TfDotNetResForm form(messages, std::move(control));
  Show(form);
  // "+", typed name and address, then Enter with the focus in the address box of the bar.
  QTest::mouseClick(form.BtnAddMSDNPageIndex, Qt::LeftButton);
  EXPECT_TRUE(form.GbMsdnPageIndex->isVisible());
  EXPECT_TRUE(form.BitBtn2->isDefault());
  Type(form.EdMadnPageName, "Data");
  Type(form.EdMsdnPageUrl, "http://data/");
  form.cbResLink->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_FALSE(form.GbMsdnPageIndex->isVisible());
  EXPECT_EQ(Read(resources::PageIndexFile), resources::ReferenceHome() + "\r\nData=http://data/\r\n");
  EXPECT_TRUE(browser.navigated.empty());  // the bar's Enter was the group's
  // Escape cancels: the boxes empty, nothing saved.
  QTest::mouseClick(form.BtnAddMSDNPageIndex, Qt::LeftButton);
  Type(form.EdMadnPageName, "Gone");
  form.PageControl1->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(form.GbMsdnPageIndex->isVisible());
  EXPECT_EQ(form.EdMadnPageName->text(), "");
  // "&Cancel" by the mouse does the same.
  QTest::mouseClick(form.BtnAddMSDNPageIndex, Qt::LeftButton);
  QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
  EXPECT_FALSE(form.GbMsdnPageIndex->isVisible());
  EXPECT_EQ(Read(resources::PageIndexFile), resources::ReferenceHome() + "\r\nData=http://data/\r\n");

  // The page index: the entry chosen by keyboard opens its address.
  form.MsdnPageIndex->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
  EXPECT_EQ(browser.navigated, (std::vector<std::string>{"http://data/"}));
  EXPECT_EQ(form.cbResLink->currentText(), "http://data/");
}

TEST_F(ResourcesFormTest, EachListsPlusKeepsWhatWasTypedAndChoosingAnEntryOpensIt) {
  auto control = std::make_unique<FakeControl>();
  FakeBrowser& browser = *control->fake;
  resources::TfDotNetResForm form(messages, std::move(control));
  Show(form);
  Type(form.cbResLink, "http://fav/");
  QTest::mouseClick(form.BtnAddUrl, Qt::LeftButton);
  Type(form.cbMSDNLibLink, "de-de");
  QTest::mouseClick(form.BtnAddLibLink, Qt::LeftButton);
  for (const char* name : {"System.Xml", "System.Data"}) {
    Type(form.cbAssemblyList, name);
    QTest::mouseClick(form.BtnAddAssemblyName, Qt::LeftButton);
  }
  EXPECT_EQ(Read(resources::FavouritesFile), "http://fav/\r\n");
  EXPECT_EQ(Read(resources::LanguagesFile), "en-us\r\nzh-tw\r\nzh-cn\r\nde-de\r\n");
  EXPECT_EQ(Read(resources::NamesFile), "System.Data\r\nSystem.Xml\r\n");
  EXPECT_TRUE(browser.navigated.empty());

  // Chosen by keyboard: a favourite opens; a name or a language composes.
  Type(form.cbResLink, "");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(browser.navigated.back(), "http://fav/");
  form.cbAssemblyList->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(browser.navigated.back(), std::string(resources::ReferenceBase) + "de-de/library/System.Data.Aspx");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(browser.navigated.back(), std::string(resources::ReferenceBase) + "de-de/library/System.Xml.Aspx");
  form.cbMSDNLibLink->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(browser.navigated.back(), std::string(resources::ReferenceBase) + "en-us/library/System.Xml.Aspx");
  EXPECT_TRUE(messages.errors.empty());
}

TEST_F(ResourcesFormTest, RestoredFromTheTaskBarTheFormKeepsWhatTheUserHad) {
  Write(resources::NamesFile, "System.Data\r\n");
  resources::TfDotNetResForm form(messages, std::make_unique<FakeControl>());
  Show(form);
  Type(form.cbAssemblyList, "System.Net");
  Write(resources::NamesFile, "System.Data\r\nSystem.Xml\r\n");
  QShowEvent restored;
  QSpontaneKeyEvent::setSpontaneous(&restored);  // as the window system sends it
  static_cast<QObject&>(form).event(&restored);  // delivered as it is (sendEvent would make it a plain one)
  EXPECT_EQ(form.cbAssemblyList->currentText(), "System.Net");
  EXPECT_EQ(form.cbAssemblyList->count(), 1);
  form.Reopen();  // a command shows it: read again
  EXPECT_EQ(form.cbAssemblyList->count(), 2);
}

TEST_F(ResourcesFormTest, EveryRequestReloadsTheListsAndTheBuildDialogsLinkIsOne) {
  resources::TfDotNetResForm browserForm(messages, std::make_unique<FakeControl>());
  builddialog::DialogServices services;
  services.Messages = &messages;
  services.OpenResources = [&] { browserForm.Reopen(); };
  builddialog::TfCompactDevForm dialog(services);
  Write(resources::FavouritesFile, "http://one/\r\n");
  QTest::mouseClick(dialog.Label5, Qt::LeftButton);
  EXPECT_TRUE(browserForm.isVisible());
  EXPECT_EQ(browserForm.cbResLink->count(), 1);
  Write(resources::FavouritesFile, "http://one/\r\nhttp://two/\r\n");
  QTest::mouseClick(dialog.Label5, Qt::LeftButton);
  EXPECT_EQ(browserForm.cbResLink->count(), 2);
  EXPECT_FALSE(browserForm.isModal());
  // A drop-down is as wide as its widest entry.
  const std::string wide(120, 'W');
  Write(resources::FavouritesFile, "http://one/\r\nhttp://" + wide + "/\r\n");
  QTest::mouseClick(dialog.Label5, Qt::LeftButton);
  EXPECT_GE(browserForm.cbResLink->view()->minimumWidth(), browserForm.cbResLink->view()->sizeHintForColumn(0));
  EXPECT_GT(browserForm.cbResLink->view()->minimumWidth(), browserForm.cbResLink->width());

  // From the dialog shown modally, as the IDE shows it: the browser comes
  // above it and takes the input; the dialog has it back once the browser
  // closes.
  browserForm.close();
  QTimer::singleShot(0, [&] {
    QTest::mouseClick(dialog.Label5, Qt::LeftButton);
    EXPECT_EQ(QApplication::activeModalWidget(), &browserForm);
    browserForm.close();
    EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
    dialog.reject();
  });
  dialog.exec();
}

TEST_F(ResourcesFormTest, TheRealBrowserLoadsLocalPagesAndTheAddressBoxFollowsBackAndForward) {
  for (const char* page : {"a", "b"})
    std::ofstream(root_ + "/" + page + ".html") << "<html><body>" << page << "</body></html>";
  resources::TfDotNetResForm form(messages, std::make_unique<resources::WebEngineBrowser>());
  form.show();
  auto waitFor = [&](const QString& ending) {
    for (int i = 0; i < 200 && !form.cbResLink->currentText().endsWith(ending); ++i) QTest::qWait(50);
    return form.cbResLink->currentText();
  };
  const QString a = "file://" + QString::fromStdString(root_) + "/a.html";
  const QString b = "file://" + QString::fromStdString(root_) + "/b.html";
  form.Model().cbResLink.Text = a.toStdString();
  form.Model().OpenAddress();
  EXPECT_EQ(waitFor("/a.html"), a);
  form.Model().cbResLink.Text = b.toStdString();
  form.Model().OpenAddress();
  EXPECT_EQ(waitFor("/b.html"), b);
  QTest::mouseClick(form.BitBtn3, Qt::LeftButton);  // Prev
  EXPECT_EQ(waitFor("/a.html"), a);
  QTest::mouseClick(form.BitBtn4, Qt::LeftButton);  // Next
  EXPECT_EQ(waitFor("/b.html"), b);
  EXPECT_TRUE(messages.errors.empty());
}

TEST_F(ResourcesFormTest, TheAboutBoxLinksHandTheirExactAddressesToTheDesktopAndStayOpen) {
  std::vector<std::string> opened;
  dialogs::TfAbout about([&](const std::string& address) { opened.push_back(address); });
  EXPECT_EQ(about.windowTitle(), "Abuot This Application");
  EXPECT_EQ(about.size(), QSize(359, 275));
  EXPECT_TRUE(about.windowFlags() & Qt::FramelessWindowHint);
  about.show();
  for (QLabel* link : {about.Label5, about.Label6, about.Label8}) QTest::mouseClick(link, Qt::LeftButton);
  EXPECT_EQ(opened,
            (std::vector<std::string>{"mailto:tidewell@example.org?subject=About Tidewell V1.2 Test Edtion",
                                      "mailto:tidewell.chat@example.org?subject=About Tidewell V1.2 Test Edtion",
                                      "Http://www.example.org/tidewell"}));
  EXPECT_TRUE(about.isVisible());
  EXPECT_EQ(about.Label5->text(), "tidewell@example.org ");
  QTest::mouseClick(about.BitBtn1, Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
}

TEST_F(ResourcesFormTest, OnlyItsCloseButtonClosesTheAboutBox) {
  dialogs::TfAbout about([](const std::string&) {});
  Show(about);
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &about, key);
    EXPECT_TRUE(about.isVisible()) << key;
  }
  about.BitBtn1->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_FALSE(about.isVisible());
}

TEST_F(ResourcesFormTest, WindowsArePlacedAsALayoutSaysAndFixedOnesOfferOnlyAClose) {
  resources::TfDotNetResForm form(messages, std::make_unique<FakeControl>());
  EXPECT_EQ(form.frameGeometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
  EXPECT_GE(form.minimumWidth(), 912);  // the bar's last button ends at x = 912
  EXPECT_GE(form.minimumHeight(), 300);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowMaximizeButtonHint);  // resizable, so it may be maximised
  dialogs::TfPathDlg path(messages);
  builddialog::DialogServices services;
  services.Messages = &messages;
  builddialog::TfCompactDevForm build(services);
  for (QWidget* fixed : std::initializer_list<QWidget*>{&path, &build}) {
    const Qt::WindowFlags flags = fixed->windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << fixed->windowTitle().toStdString();  // no default buttons
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  }
}
