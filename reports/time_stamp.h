#pragma once
// Time stamps that name the files the program writes: the default export file name
// ("06_12_08 14_05") and the archive file name ("06.12.08 14_05.txt").

#include "engine/db_string.h"
#include "platform/clock.h"

namespace ledgerix {

// The year as two digits: 2008 gives 8 (printed "08"), 1999 gives 99, 2000 gives 0.
int TwoDigitYear(int year);

// Day "_" month "_" year " " hour "_" minute, each with two digits: 6 December 2008, 14:05
// gives "06_12_08 14_05".
DbString ExportStamp(const platform::LocalTime& time);

// Day "." month "." year " " hour "_" minute, each with two digits: "06.12.08 14_05".
DbString ArchiveStamp(const platform::LocalTime& time);

}  // namespace ledgerix
