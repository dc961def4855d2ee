#include "shell/ToolsAPI.h"

#include "platform/Text.h"

namespace ToolsAPI {

bool TGUID::operator==(const TGUID& other) const { return platform::SameText(Text, other.Text); }

std::shared_ptr<IInterface> BorlandIDEServices;
std::shared_ptr<IOTASplashScreenServices> SplashScreenServices;
WizardRegistrar RegisterPackageWizardHandler = nullptr;

std::shared_ptr<IOTAProject> GetActiveProject() {
  auto modules = Supports<IOTAModuleServices>(BorlandIDEServices);
  return modules ? modules->GetActiveProject() : nullptr;
}

void RegisterPackageWizard(std::shared_ptr<IOTAWizard> wizard) {
  if (RegisterPackageWizardHandler) RegisterPackageWizardHandler(std::move(wizard));
}

}  // namespace ToolsAPI

std::shared_ptr<ToolsAPI::IOTAProject> Pub_Project_Intf;
std::shared_ptr<ToolsAPI::IOTAModuleServices> Pub_ModuleService;
std::string Pub_CF_Tool_Path;
