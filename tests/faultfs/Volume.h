// The one volume a faultfs process serves: its tree, its faults and the lock
// that the FUSE thread and the control thread share.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "Faults.h"
#include "Store.h"

namespace faultfs {

struct Volume {
  std::mutex mutex;
  std::condition_variable released;  // wakes requests held since the power cut
  Store store;
  Faults faults;
  std::string imagePath;             // where the durable state goes; may be empty
  std::uint64_t capacity = 0;        // bytes statfs reports
  bool directIo = false;             // every open bypasses the page cache
  bool keepCache = false;            // opens keep the kernel's copy of a file
  std::uint64_t readRate = 0;        // bytes a second reads are served at; 0: at once
  std::chrono::steady_clock::time_point readerFree{};  // when the reads asked so far are done
  std::string lastError;             // of saving the image

  // Writes out what the disk holds now (the durable state) and stops serving:
  // from here on no request changes anything. Called with the lock held.
  void CutPower();
  // Requests held since the cut are answered (EIO), as are all after them.
  void Release();
  // What the volume holds in memory, as if all of it were flushed, even after
  // a cut: what the program had written when the power went.
  bool SaveLive(const std::string& path);
  // Holds a read of so many bytes until a card reading at readRate would have
  // delivered it: after the reads before it, and time in which nothing was
  // asked is lost, never made up, as on a real card.
  void PaceRead(std::size_t bytes);
  // A clean unmount: everything reaches the disk. Not after a cut.
  void SaveOnUnmount();
};

}  // namespace faultfs
