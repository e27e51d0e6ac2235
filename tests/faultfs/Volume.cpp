// Power going and a clean unmount: the two moments the image file is written.
#include "Volume.h"

#include "Image.h"

namespace faultfs {

void Volume::CutPower() {
  faults.power = Faults::Power::Cut;
  if (!imagePath.empty()) SaveImage(imagePath, store.DurableState(), lastError);
}

bool Volume::SaveLive(const std::string& path) {
  Store everything = store;
  everything.Sync();
  return SaveImage(path, everything.DurableState(), lastError);
}

void Volume::Release() {
  if (faults.power != Faults::Power::Cut) return;
  faults.power = Faults::Power::Released;
  released.notify_all();
}

void Volume::SaveOnUnmount() {
  if (faults.power != Faults::Power::On || imagePath.empty()) return;
  store.Sync();
  SaveImage(imagePath, store.DurableState(), lastError);
}

}  // namespace faultfs
