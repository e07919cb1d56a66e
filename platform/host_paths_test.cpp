#include "platform/host_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

namespace ledgerix::platform {
namespace {

// Sets an environment variable for the length of a test and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    if (value == nullptr) {
      ::unsetenv(name);
    } else {
      ::setenv(name, value, 1);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(HostPathsTest, DeviceRootFollowsXdgDataHome) {
  ScopedVariable home("HOME", "/home/tester");
  {
    ScopedVariable data("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(DefaultDeviceRoot(), "/srv/data/ledgerix");
  }
  {
    ScopedVariable data("XDG_DATA_HOME", "relative/data");  // ignored, as XDG asks
    EXPECT_EQ(DefaultDeviceRoot(), "/home/tester/.local/share/ledgerix");
  }
  ScopedVariable data("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(DefaultDeviceRoot(), "/home/tester/.local/share/ledgerix");
  EXPECT_EQ(DefaultDocumentsFolder(), "/home/tester/Documents");
}

TEST(HostPathsTest, ExecutableAndTemporaryFolders) {
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_NE(folder.back(), '/');
  ScopedVariable tmp("TMPDIR", "/var/tmp");
  EXPECT_EQ(TemporaryFolder(), "/var/tmp");
  ScopedVariable no_tmp("TMPDIR", nullptr);
  EXPECT_EQ(TemporaryFolder(), "/tmp");
}

}  // namespace
}  // namespace ledgerix::platform
