#pragma once
// DeviceSnapshot: every file and folder of a test's device (its root and its documents folder)
// as they are at one moment, put back before each run of an operation that a test breaks again
// and again, on either storage kind.

#include <map>
#include <set>
#include <string>

#include "testing/temp_device_root.h"

namespace ledgerix::testing {

class DeviceSnapshot {
 public:
  // Closes the device's object store first, so that its file holds every commit and no log
  // stands beside it, then reads everything. `device` must outlive the snapshot.
  explicit DeviceSnapshot(TempDeviceRoot& device);

  // Closes the object store (whatever its connection still holds is dropped, as a process that
  // ended drops it) and makes both folders hold exactly what they held, no more: a journal, a
  // log or a temporary file left by a run is gone. False, with a test failure, when a file
  // could not be written back.
  [[nodiscard]] bool Restore();

  // The number of files taken.
  size_t FileCount() const { return files_.size(); }

 private:
  TempDeviceRoot& device_;
  std::set<std::string> folders_;             // host paths, parents before children
  std::map<std::string, std::string> files_;  // host path to content
};

}  // namespace ledgerix::testing
