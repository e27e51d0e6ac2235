// Puts exiv2 in the state this program needs before any picture is read.
#include "metadata/Exiv2Setup.h"

#include <mutex>

#include <exiv2/bmffimage.hpp>
#include <exiv2/error.hpp>
#include <exiv2/xmp_exiv2.hpp>

namespace quillfen::metadata {
namespace {

std::once_flag prepared;
bool readsBmff = false;
std::mutex xmpToolkit;

// Adobe's XMP toolkit inside exiv2 keeps global state; exiv2 serialises its
// use through this when given it.
void LockXmpToolkit(void* mutex, bool lock) {
  auto* toolkit = static_cast<std::mutex*>(mutex);
  if (lock) {
    toolkit->lock();
  } else {
    toolkit->unlock();
  }
}

}  // namespace

void PrepareExiv2() {
  std::call_once(prepared, [] {
    // Warnings about odd files would land on the program's stderr; a card
    // full of odd files is no news to the user.
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::XmpParser::initialize(LockXmpToolkit, &xmpToolkit);
#ifdef EXV_ENABLE_BMFF
    readsBmff = Exiv2::enableBMFF(true);
#endif
  });
}

bool Exiv2ReadsBmff() {
  PrepareExiv2();
  return readsBmff;
}

}  // namespace quillfen::metadata
