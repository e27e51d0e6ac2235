#include "mover/clsFSMoving.h"

namespace quillfen {
// Placeholder until the mover lands.
clsFSMoving::clsFSMoving(GlobalModule& module) : module_(module) {}
void clsFSMoving::Target(const std::string& value) { strTarget_ = value; }
void clsFSMoving::Source(const std::string& value) { strSource_ = value; }
void clsFSMoving::Cancel() { blnCancel_ = true; }
void clsFSMoving::Pause() { blnPaused_ = !blnPaused_; }
void clsFSMoving::StartOperation() {}
}  // namespace quillfen
