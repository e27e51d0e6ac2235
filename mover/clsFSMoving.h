#pragma once
// The photo mover: source and target, the checks before a move, the move with
// progress, pause and cancel, and its report.
#include <cstdint>
#include <string>
#include <vector>

namespace quillfen {

class GlobalModule;

class clsFSMoving {
 public:
  explicit clsFSMoving(GlobalModule& module);

  void Target(const std::string& value);
  void Source(const std::string& value);
  void Cancel();
  void Pause();
  void StartOperation();

  // State, for the window and for tests.
  const std::string& SourceValue() const { return strSource_; }
  const std::string& TargetValue() const { return strTarget_; }
  bool Paused() const { return blnPaused_; }
  bool CancelRequested() const { return blnCancel_; }
  bool Running() const { return running_; }
  const std::vector<std::string>& SourceNames() const { return arrSourceNames_; }

 private:
  GlobalModule& module_;
  std::vector<std::string> arrSourceNames_;
  std::string strSource_;
  std::string strTarget_;
  bool blnCancel_ = false;
  bool blnPaused_ = false;
  bool running_ = false;
};

}  // namespace quillfen
