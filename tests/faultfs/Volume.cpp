// Power going and a clean unmount: the two moments the image file is written.
#include "Volume.h"

#include <algorithm>
#include <thread>

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

void Volume::PaceRead(std::size_t bytes) {
  if (readRate == 0) return;
  using namespace std::chrono;
  readerFree = std::max(readerFree, steady_clock::now()) +
               duration_cast<steady_clock::duration>(duration<double>(static_cast<double>(bytes) / readRate));
  std::this_thread::sleep_until(readerFree);
}

void Volume::SaveOnUnmount() {
  if (faults.power != Faults::Power::On || imagePath.empty()) return;
  store.Sync();
  SaveImage(imagePath, store.DurableState(), lastError);
}

}  // namespace faultfs
