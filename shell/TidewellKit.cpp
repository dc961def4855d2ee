// The package unit: what the host's package loader calls.
#include <QtGlobal>

#include "toolsapi/ToolsAPI.h"
#include "shell/UTWinCEExpert.h"

namespace {
const char* const Units[] = {"UTWinCEExpert",   "UfCompactDevForm", "UfAbout",           "UfPathDlg",  "UfFileDlg",
                             "UfDotNetResForm", "UfDbToolDlg",      "UfAssemblyInitDlg", "TidewellKit"};
const ToolsAPI::TPackageInfoTable Info{
    "TidewellKit", "TidewellKit: Compact Framework builds for Delphi for .NET, version 2.0 for BDS2006 (FieldTest)",
    "2.0", Units, static_cast<int>(sizeof Units / sizeof Units[0])};
}  // namespace

extern "C" {

// Every unit's initialisation. The package's long work processes the IDE's
// messages through the platform layer's one message pump, which the IDE
// installed: the package and the IDE share that layer.
Q_DECL_EXPORT void Initialize() {}

// Every unit's finalisation: the build dialog's unit forgets the IDE.
Q_DECL_EXPORT void Finalize() {
  Pub_CF_Tool_Path.clear();
  Pub_Project_Intf.reset();
  Pub_ModuleService.reset();
}

Q_DECL_EXPORT const ToolsAPI::TPackageInfoTable* GetPackageInfoTable() { return &Info; }

Q_DECL_EXPORT void Register() { ToolsAPI::RegisterPackageWizard(std::make_shared<shell::TWinCE_ToolBarWizard>()); }

}  // extern "C"
