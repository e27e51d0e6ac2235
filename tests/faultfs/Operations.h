// The table of FUSE low-level handlers that serve a volume.
#pragma once

#include <fuse_lowlevel.h>

#include "Volume.h"

namespace faultfs {

// The handlers serve this one volume for the life of the process.
fuse_lowlevel_ops Operations(Volume& volume);

}  // namespace faultfs
