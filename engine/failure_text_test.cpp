#include "engine/failure_text.h"

#include <gtest/gtest.h>

namespace ledgerix {
namespace {

TEST(FailureTextTest, SaysWhyAndWhereInOneLine) {
  struct Case {
    platform::FailureDetail detail;
    const char* expected;
  } cases[] = {
      {{"Write", "/d/data/a.txt", platform::winerr::kDiskFull, 28, "No space left on device"},
       "нет места на диске (Write /d/data/a.txt: No space left on device)"},
      {{"Delete", "/d/x", platform::winerr::kSharingViolation, 0, ""},
       "файл занят другой программой (Delete /d/x)"},
      {{"", "", platform::winerr::kAccessDenied, 0, ""}, "нет доступа"},
      {{"Sync", "", platform::winerr::kCrc, 5, "Input/output error"},
       "ошибка чтения или записи диска (Sync: Input/output error)"},
      {{"", "", 9999, 0, ""}, "ошибка 9999"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(DescribeFailure(c.detail)), c.expected);
  }
}

}  // namespace
}  // namespace ledgerix
