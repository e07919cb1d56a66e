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
  EXPECT_TRUE(second.HeldByAnother());
  EXPECT_EQ(second.LastFailure().error, winerr::kSharingViolation);
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
  EXPECT_FALSE(lock.HeldByAnother()) << "no holder: the device root cannot be used";
  EXPECT_EQ(lock.LastFailure().error, winerr::kPathNotFound);
  EXPECT_EQ(lock.LastFailure().host_path, "/nonexistent-ledgerix-folder/sub/.ledgerix.lock");
}

}  // namespace
}  // namespace ledgerix::platform
