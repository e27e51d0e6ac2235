#include "app/frmQuillfen.h"

#include "app/GlobalModule.h"

namespace quillfen {
// Placeholder until the start-up logic lands.
int HeightRule(double movieHeight, double outerHeight, double clientHeight) {
  return static_cast<int>(movieHeight + (outerHeight - clientHeight));
}
frmQuillfen::frmQuillfen(GlobalModule& module) : module_(module) {}
void frmQuillfen::Form_Load() {}
void frmQuillfen::App_Initialize() {}
void frmQuillfen::EnableMenus(bool) {}
void frmQuillfen::tmrLoader_Timer() {}
void frmQuillfen::tmrChecker_Timer() {}
void frmQuillfen::swfControl_FlashCall(const std::string&) {}
void frmQuillfen::mnuLang_Click(int) {}
void frmQuillfen::mnuTesting_Click() {}
void frmQuillfen::mnuTest_Click() {}
void frmQuillfen::mnuAbout_Click() {}
void frmQuillfen::OnTimer(Timer) {}
void frmQuillfen::OnMenu(MenuItem) {}
void frmQuillfen::OnClose() {}
void frmQuillfen::SetCaption(const std::string&) {}
std::vector<std::string> frmQuillfen::ControlNames() const { return {}; }
void frmQuillfen::SetControlCaption(const std::string&, const std::string&) {}
void frmQuillfen::SetControlTooltip(const std::string&, const std::string&) {}
}  // namespace quillfen
