#include "toolsapi/ToolsAPI.h"

#include <cctype>

namespace ToolsAPI {

bool TGUID::operator==(const TGUID& other) const {
  if (Text.size() != other.Text.size()) return false;
  for (size_t i = 0; i < Text.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(Text[i])) != std::toupper(static_cast<unsigned char>(other.Text[i])))
      return false;
  return true;
}

std::shared_ptr<IInterface> BorlandIDEServices;
std::shared_ptr<IOTASplashScreenServices> SplashScreenServices;
WizardRegistrar RegisterPackageWizardHandler;
void (*ApplicationProcessMessages)() = nullptr;

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
