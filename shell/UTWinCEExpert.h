#pragma once
// TWinCE_ToolBarWizard: the package's one wizard. Its constructor makes the
// package's long-lived dialogs, gives the IDE four images and a splash
// picture and builds the menu; its destructor takes all of it away again.
#include <memory>
#include <string>

#include "forms/FormsHost.h"
#include "dialogs/QtPickers.h"
#include "toolsapi/ToolsAPI.h"

class QAction;
class QMenu;
class QToolBar;
class QToolButton;

namespace dialogs {
class TfAbout;
}
namespace resources {
class TfDotNetResForm;
}
namespace dataexport {
class TfDbToolDlg;
}
namespace builddialog {
class TfCompactDevForm;
}

// The package's dialogs, as the package exports them: names of forms the
// wizard owns, set while they live (the data export dialog while it shows).
extern dialogs::TfAbout* fAbout;
extern resources::TfDotNetResForm* fDotNetResForm;
extern dataexport::TfDbToolDlg* fDbToolDlg;

namespace shell {

inline constexpr const char* MenuCaption = "Tidewell!! V2.0(Field Test Version)";

class TWinCE_ToolBarWizard : public ToolsAPI::TNotifierObject,
                             public ToolsAPI::IOTARepositoryWizard,
                             public ToolsAPI::IOTAExportedCommands {
 public:
  TWinCE_ToolBarWizard();
  ~TWinCE_ToolBarWizard() override;

  void* QueryInterface(const ToolsAPI::TGUID& iid) override;
  std::string GetIDString() override { return "Developer.WinCE_ToolBarWizard"; }
  std::string GetName() override { return "Radurever IzaZA Davo Vaz Udovav"; }
  ToolsAPI::TWizardState GetState() override { return {}; }
  void Execute() override {}
  std::string GetAuthor() override { return "The TidewellKit developers (c) 2026, free to use and share"; }
  std::string GetComment() override { return {}; }
  std::string GetPage() override { return {}; }
  unsigned long GetGlyph() override { return 0; }  // "TIDEWELLPRO" is a bitmap, not an icon

  // The commands not on the menu, for a host that lists them.
  std::vector<std::string> CommandNames() override;
  void RunCommand(const std::string& name) override;

  void CreateMenuItem();
  void CreateToolBar();

  void AppConfigDlgClick();
  void DevResourceClick();
  void AboutDlgClick();
  void CompileClick();
  void RunClick();
  void DbExportDlgClick();

  // Fields, as the wizard declares them.
  builddialog::TfCompactDevForm* CompactDevForm = nullptr;  // the build dialog, owned below
  std::string ToolPath;                                     // the current folder at creation, with "\"
  QToolBar* DevToolBar = nullptr;
  QToolButton* DevToolButton = nullptr;
  QMenu* TopMenu = nullptr;
  QAction *CompileItem = nullptr, *ResourceItem = nullptr, *AboutItem = nullptr;

 private:
  forms::QtMessages messages_;
  dialogs::QtPickers pickers_{messages_, nullptr};
  // The forms, destroyed in the reverse order: the browser first, the about
  // box last, all before the message boxes they report through.
  std::unique_ptr<dialogs::TfAbout> about_;
  std::unique_ptr<builddialog::TfCompactDevForm> compactDevForm_;
  std::unique_ptr<resources::TfDotNetResForm> dotNetResForm_;
};

}  // namespace shell
