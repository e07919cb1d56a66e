#include "engine/db_file_error.h"

#include <initializer_list>

namespace ledgerix {
namespace {

struct ErrorGroup {
  DbFileError code;
  std::initializer_list<uint32_t> numbers;
};

// Windows error numbers grouped by the stream code they stand for.
const ErrorGroup kGroups[] = {
    {DbFileError::kNone, {0}},
    {DbFileError::kFileNotFound, {2, 6, 18, 107}},
    {DbFileError::kBadPath,
     {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}},
    {DbFileError::kTooManyOpenFiles, {4, 36, 68, 113}},
    {DbFileError::kAccessDenied, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
    {DbFileError::kInvalidFile, {11, 26, 60, 66, 114, 182, 191, 193}},
    {DbFileError::kCurrentDirectory, {16, 145}},
    {DbFileError::kDirectoryFull, {62}},
    {DbFileError::kBadSeek, {24, 25, 27, 30, 131, 132}},
    {DbFileError::kHardwareIo, {20, 21, 22, 23, 57, 59, 88, 117, 995, 996, 997}},
    {DbFileError::kSharingViolation, {32}},
    {DbFileError::kLockViolation, {33, 108, 167}},
    {DbFileError::kDiskFull, {39, 112}},
    {DbFileError::kEndOfFile, {38}},
};

}  // namespace

DbFileError DbFileErrorFromPlatform(uint32_t platform_error) {
  for (const ErrorGroup& group : kGroups) {
    for (uint32_t number : group.numbers) {
      if (number == platform_error) return group.code;
    }
  }
  return DbFileError::kGeneric;
}

}  // namespace ledgerix
