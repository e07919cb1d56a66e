#pragma once
// The messages start-up shows the person: why the program cannot start (another copy runs, the
// device root, the settings file or the database cannot be used), and what opening the database
// found and changed (a damaged database salvaged, an older one converted). Each names where to
// look on the host computer.

#include <functional>
#include <string>

#include "engine/db_string.h"
#include "finance/open_report.h"
#include "platform/env.h"

namespace ledgerix {

// The host path a person finds a device path at; the device path itself when none is given.
using HostPathNamer = std::function<std::string(const DbString& device_path)>;

// Another copy of the program holds the device.
DbString AlreadyRunningMessage();
// The device root (host folder `host_root`) cannot be used.
DbString DeviceUnusableMessage(const std::string& host_root,
                               const platform::FailureDetail& failure);
// The settings file exists but cannot be read; it was left as it is.
DbString SettingsUnreadableMessage(const std::string& host_file,
                                   const platform::FailureDetail& failure);
// The settings could not be written back at the program's end; the file keeps what it held.
DbString SettingsUnsavedMessage(const std::string& host_file,
                                const platform::FailureDetail& failure);
// What opening the database found and did, for every outcome but a plain open or a first start
// (those answer the empty text): the failure, a read-only database, a damaged one with or
// without its copy, and a conversion, with the rows that came back of each table.
DbString DatabaseOpenMessage(const OpenReport& report, const HostPathNamer& host_path);

}  // namespace ledgerix
