#pragma once
// The hand-over to the desktop companion program "ldxload.exe", which exchanges the data with a
// desktop computer; this program only starts it and waits for it.

#include "finance/finance_db.h"
#include "platform/env.h"

namespace ledgerix {

// Starts the companion from the program's folder with an empty command line and waits until it
// ends; the whole program waits with it. The finance database `db` (may be null) is closed
// while the companion runs, so that the companion can read the data (and the store is handed
// over), and opened again after it; should that open fail, `db` stays closed (IsOpen tells).
// False when the companion cannot be started (missing, not a program); the screen shows nothing
// then.
[[nodiscard]] bool StartCompanion(platform::Env& env, FinanceDb* db);

}  // namespace ledgerix
