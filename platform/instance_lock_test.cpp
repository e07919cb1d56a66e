#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "testing/temp_device_root.h"

namespace ledgerix::platform {
namespace {

TEST(InstanceLockTest, OneHolderAtATime) {
  testing::TempDeviceRoot device;
  InstanceLock first(device.host_root());
  InstanceLock second(device.host_root());
  EXPECT_FALSE(first.held());
  ASSERT_TRUE(first.Acquire());
  EXPECT_TRUE(first.Acquire());  // taking it again is harmless
  EXPECT_FALSE(second.Acquire());
  first.Release();
  EXPECT_TRUE(second.Acquire());
  {
    InstanceLock third(device.host_root());
    EXPECT_FALSE(third.Acquire());
  }
  second.Release();
  {
    InstanceLock scoped(device.host_root());
    EXPECT_TRUE(scoped.Acquire());
  }  // released by its destructor
  EXPECT_TRUE(first.Acquire());
}

TEST(InstanceLockTest, KeepsAnotherProcessOut) {
  testing::TempDeviceRoot device;
  InstanceLock lock(device.host_root());
  ASSERT_TRUE(lock.Acquire());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceLock other(device.host_root());
    ::_exit(other.Acquire() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the second process took the lock";
}

TEST(InstanceLockTest, FailsWhenTheLockFileCannotBeMade) {
  InstanceLock lock("/nonexistent-ledgerix-folder/sub");
  EXPECT_FALSE(lock.Acquire());
  EXPECT_FALSE(lock.held());
}

}  // namespace
}  // namespace ledgerix::platform
