// Restoring an exchange file (the input) into a file database with known rows; what is checked
// is in fuzz/support/exchange_load.h.
#include <cstddef>
#include <cstdint>

#include "fuzz/support/exchange_load.h"
#include "fuzz/support/fuzz_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ledgerix::fuzz::RunExchangeLoad(ledgerix::DriverKind::kFileDatabase, data, size);
  // What the input opened is closed, so that it frees all it allocated.
  ledgerix::fuzz::FuzzDevice::Get().CloseEnv();
  return 0;
}
