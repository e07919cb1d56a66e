#include "platform/termination_signals.h"

#include <gtest/gtest.h>
#include <signal.h>

namespace ledgerix::platform {
namespace {

TEST(TerminationSignalsTest, EachSignalBecomesOneReadableRequest) {
  TerminationSignals signals;
  ASSERT_TRUE(signals.Install());
  EXPECT_GE(signals.ReadDescriptor(), 0);
  EXPECT_FALSE(signals.TakeRequests());
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    ASSERT_EQ(raise(signal_number), 0);  // the process survives: the signal is caught
    EXPECT_TRUE(signals.TakeRequests()) << signal_number;
    EXPECT_FALSE(signals.TakeRequests()) << signal_number;
  }
  // Only one catcher per process.
  TerminationSignals second;
  EXPECT_FALSE(second.Install());
  EXPECT_EQ(second.ReadDescriptor(), -1);
  EXPECT_FALSE(second.TakeRequests());
}

TEST(TerminationSignalsTest, DestroyingTheCatcherGivesTheSignalsBack) {
  {
    TerminationSignals signals;
    ASSERT_TRUE(signals.Install());
  }
  struct sigaction current = {};
  ASSERT_EQ(sigaction(SIGTERM, nullptr, &current), 0);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
  TerminationSignals again;
  EXPECT_TRUE(again.Install());
}

}  // namespace
}  // namespace ledgerix::platform
