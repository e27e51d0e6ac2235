#include "bridge/clsSWFProvider.h"

#include "app/GlobalModule.h"

namespace quillfen {
// Placeholder until the bridge lands.
clsSWFProvider::clsSWFProvider(GlobalModule& module)
    : module_(module), xmlSetProgress_(module.platform().window), xmlSetValue_(module.platform().window) {}
clsSWFProvider::~clsSWFProvider() = default;
void clsSWFProvider::FlashCall(const std::string&) {}
void clsSWFProvider::Control(MovieHost& control) { ctlFlash_ = &control; }
void clsSWFProvider::SetProgress(const Variant&) {}
void clsSWFProvider::SetCtlValue(const std::string&, const Variant&, std::int16_t) {}
void clsSWFProvider::RenameComponents() {}
void clsSWFProvider::SwitchControls(bool) {}
void clsSWFProvider::CallMovie(const std::string&) {}
}  // namespace quillfen
