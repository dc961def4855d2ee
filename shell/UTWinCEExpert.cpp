#include "shell/UTWinCEExpert.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPixmap>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include "builddialog/UfCompactDevForm.h"
#include "dataexport/UfDbToolDlg.h"
#include "dialogs/UfAbout.h"
#include "forms/FormsHost.h"
#include "forms/HostTypes.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "resources/UfDotNetResForm.h"
#include "resources/WebEngineBrowser.h"

dialogs::TfAbout* fAbout = nullptr;
resources::TfDotNetResForm* fDotNetResForm = nullptr;
dataexport::TfDbToolDlg* fDbToolDlg = nullptr;

namespace shell {

using namespace ToolsAPI;

namespace {
std::shared_ptr<INTAServices> Services() { return Supports<INTAServices>(BorlandIDEServices); }

void GiveImage(QAction* item, TCustomImageList* images, int index) {
  item->setIcon(images->Image(index));
  item->setProperty("ImageIndex", index);
}
}  // namespace

TWinCE_ToolBarWizard::TWinCE_ToolBarWizard() {
  ToolPath = platform::GetCurrentDir() + "\\";
  Pub_CF_Tool_Path = ToolPath;
  builddialog::DialogServices services;
  services.Messages = &messages_;
  services.Picker = &pickers_;
  services.OpenResources = [] {
    if (fDotNetResForm) fDotNetResForm->Reopen();
  };
  compactDevForm_ = std::make_unique<builddialog::TfCompactDevForm>(services);
  CompactDevForm = compactDevForm_.get();
  about_ = std::make_unique<dialogs::TfAbout>();
  fAbout = about_.get();
  dotNetResForm_ =
      std::make_unique<resources::TfDotNetResForm>(messages_, std::make_unique<resources::WebEngineBrowser>());
  fDotNetResForm = dotNetResForm_.get();

  TCustomImageList* images = Services()->GetImageList();
  images->AddImages(CompactDevForm->ImageList2);
  const int last = Services()->GetImageList()->Count() - 1;

  if (SplashScreenServices) {
    SplashScreenServices->StatusMessage("Loading Tidewell!! V2.0 for BDS2006 (Field Test) ...");
    auto picture = std::make_unique<QPixmap>(":/shell/images/tidewellpro.xpm");
    SplashScreenServices->AddPluginBitmap("Tidewell!! V2.0 Pro (Field Test Version)", picture.get(), false, "", "");
  }

  CreateMenuItem();
  GiveImage(CompileItem, images, last - 3);
  GiveImage(ResourceItem, images, last - 2);
  GiveImage(AboutItem, images, last - 1);  // its own picture (the last is the data export's)
}

TWinCE_ToolBarWizard::~TWinCE_ToolBarWizard() {
  CompileItem = ResourceItem = AboutItem = nullptr;
  if (TopMenu) {
    if (auto services = Services()) services->GetMainMenu()->Bar->removeAction(TopMenu->menuAction());
    delete TopMenu;
    TopMenu = nullptr;
  }
  if (DevToolButton) {
    DevToolButton->setParent(nullptr);
    delete DevToolButton;
    DevToolButton = nullptr;
  }
  delete DevToolBar;
  DevToolBar = nullptr;
  Pub_Project_Intf.reset();
  // The forms themselves go with their owners, the members.
  fDotNetResForm = nullptr;
  CompactDevForm = nullptr;
  fAbout = nullptr;
}

void* TWinCE_ToolBarWizard::QueryInterface(const TGUID& iid) {
  if (iid == IOTAWizard::IID || iid == IOTARepositoryWizard::IID) return static_cast<IOTARepositoryWizard*>(this);
  if (iid == IOTAExportedCommands::IID) return static_cast<IOTAExportedCommands*>(this);
  return nullptr;
}

void TWinCE_ToolBarWizard::CreateMenuItem() {
  TopMenu = new QMenu(MenuCaption);
  Services()->GetMainMenu()->Bar->addMenu(TopMenu);
  struct Row {
    const char* Caption;
    void (TWinCE_ToolBarWizard::*OnClick)();
    QAction** Kept;
  };
  const Row rows[] = {{"Compile (DotNet / CF) Application", &TWinCE_ToolBarWizard::AppConfigDlgClick, &CompileItem},
                      {"-", nullptr, nullptr},
                      {"Develop Resource", &TWinCE_ToolBarWizard::DevResourceClick, &ResourceItem},
                      {"-", nullptr, nullptr},
                      {"About Tidewell", &TWinCE_ToolBarWizard::AboutDlgClick, &AboutItem}};
  for (const Row& row : rows) {
    // A "-" caption makes a separator, drawn as a line.
    const bool separator = std::string(row.Caption) == "-";
    auto* item = new QAction(separator ? "" : row.Caption, TopMenu);
    item->setSeparator(separator);
    // An error in a command is shown in an error box and the IDE goes on, as
    // for any command of the IDE's (the standard error report).
    if (row.OnClick)
      QObject::connect(item, &QAction::triggered, TopMenu,
                       [this, f = row.OnClick] { forms::Handle(messages_, [&] { (this->*f)(); }); });
    if (row.Kept) *row.Kept = item;
    TopMenu->addAction(item);
  }
}

void TWinCE_ToolBarWizard::CreateToolBar() {
  QToolBar* standard = Services()->GetToolBar("StandardToolBar")->Bar;
  DevToolBar = new QToolBar;
  DevToolBar->setObjectName("Dev_ToolBar");
  DevToolBar->setWindowTitle("Dev_ToolBar");
  DevToolBar->setToolTip("Developer Resource-OpenSource-Platform Plan");
  // The standard toolbar's appearance and docking.
  DevToolBar->setIconSize(standard->iconSize());
  DevToolBar->setMinimumSize(standard->minimumSize());
  DevToolBar->setMovable(standard->isMovable());
  DevToolBar->setFloatable(standard->isFloatable());
  DevToolBar->setAllowedAreas(standard->allowedAreas());
  DevToolBar->setToolButtonStyle(standard->toolButtonStyle());
  DevToolBar->setContextMenuPolicy(standard->contextMenuPolicy());
  // Hints show as the standard toolbar's do.
  DevToolBar->setAttribute(Qt::WA_AlwaysShowToolTips, standard->testAttribute(Qt::WA_AlwaysShowToolTips));
  // Docked where the standard toolbar docks, beside it.
  if (auto* window = qobject_cast<QMainWindow*>(standard->parentWidget()))
    window->addToolBar(window->toolBarArea(standard), DevToolBar);
  else DevToolBar->setParent(standard->parentWidget());
  DevToolBar->setVisible(true);
  DevToolButton = new QToolButton;
  DevToolButton->setFixedWidth(23);
  DevToolBar->addWidget(DevToolButton);
  DevToolBar->adjustSize();
}

std::vector<std::string> TWinCE_ToolBarWizard::CommandNames() {
  return {"CompileClick", "RunClick", "DbExportDlgClick", "CreateToolBar"};
}

void TWinCE_ToolBarWizard::RunCommand(const std::string& name) {
  // One toolbar: a second call finds it there.
  if (name == "CreateToolBar" && !DevToolBar) CreateToolBar();
  if ((name == "CompileClick" || name == "RunClick") && CompactDevForm) {
    // The commands work on the project the IDE has open, its settings loaded
    // as the dialog loads them; without one there is nothing to build.
    std::shared_ptr<IOTAProject> active = GetActiveProject();
    if (!active) return;
    if (active != CompactDevForm->Model().ActiveProject())
      CompactDevForm->Model().OpenProject({active, Supports<IOTAModuleServices>(BorlandIDEServices)});
  }
  if (name == "CompileClick") CompileClick();
  if (name == "RunClick") RunClick();
  if (name == "DbExportDlgClick") DbExportDlgClick();
}

void TWinCE_ToolBarWizard::AppConfigDlgClick() {
  Pub_Project_Intf.reset();
  Pub_Project_Intf = GetActiveProject();
  Pub_ModuleService = Supports<IOTAModuleServices>(BorlandIDEServices);
  // An options file that cannot be read goes to the IDE; the dialog is not shown.
  CompactDevForm->Model().OpenProject({Pub_Project_Intf, Pub_ModuleService});
  CompactDevForm->Refresh();
  CompactDevForm->close();
  CompactDevForm->exec();
}

void TWinCE_ToolBarWizard::DevResourceClick() {
  if (fDotNetResForm) fDotNetResForm->Reopen();
}

void TWinCE_ToolBarWizard::AboutDlgClick() { fAbout->exec(); }

void TWinCE_ToolBarWizard::RunClick() {
  if (!CompactDevForm) return;
  builddialog::CompactDevModel& model = CompactDevForm->Model();
  model.EdPjPath.SetText(model.CFOptions.ProjectPath);
  if (platform::UpperCase(model.CFOptions.ProjectFileExt) == ".DPR")
    model.EdPJName.SetText(model.CFOptions.ProjectFileName);
  platform::SetCurrentDir(model.CFOptions.ProjectPath);
  model.InitOptions();
  CompactDevForm->Refresh();
}

void TWinCE_ToolBarWizard::CompileClick() {
  if (!CompactDevForm) return;
  RunClick();
  const bool built = CompactDevForm->Model().Build().Started;
  CompactDevForm->Refresh();
  if (!built) return;  // the IDE's view keeps what it shows
  // A build without the dialog shows its message list in the IDE's own
  // message view, where the user sees it.
  if (auto view = Supports<IOTAMessageServices>(BorlandIDEServices)) {
    view->ClearAllMessages();
    for (const std::string& line : CompactDevForm->Model().MessageList.Lines()) view->AddTitleMessage(line);
  }
}

void TWinCE_ToolBarWizard::DbExportDlgClick() {
  if (fDbToolDlg) return;  // already showing
  auto dialog = std::make_unique<dataexport::TfDbToolDlg>(messages_);
  fDbToolDlg = dialog.get();
  struct Forget {
    ~Forget() { fDbToolDlg = nullptr; }
  } forget;  // before the dialog goes
  dialog->exec();
}

}  // namespace shell
