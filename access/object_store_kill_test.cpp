// A process killed in the middle of writing rows through the object-store driver loses none of
// the rows whose Update() had answered 1, and the database opens afterwards.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <random>
#include <set>
#include <string>

#include "access/db_connection.h"
#include "access/object_store_driver.h"
#include "access/testing/finance_shapes.h"
#include "platform/posix_env.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

constexpr char kDatabase[] = "TOLVENA_Ledgerix_1";

std::string NoteOf(int32_t serial) { return "запись №" + std::to_string(serial); }

// The child: adds entries numbered from `first` until it is killed, reporting the number of
// each entry through the pipe once its Update() has answered 1. Never returns.
[[noreturn]] void WriteUntilKilled(const platform::PosixEnvOptions& options, int32_t first,
                                   int report_fd) {
  platform::PosixEnv env(options);
  DbConnection connection(env, DriverKind::kObjectStore);
  if (connection.Open(kDatabase, "", "") != 1) _exit(2);
  std::unique_ptr<DbRecordSet> record_set = connection.CreateRecordSet(1);
  if (record_set->OpenTable(testing::kEntriesTable, nullptr) != 1) _exit(2);
  for (int32_t serial = first;; ++serial) {
    if (record_set->AddNew() != 1) _exit(3);
    DbRecord* record = record_set->CurrentRecord(-1);
    record->FieldByName("consumer_id")->SetInt32(serial % 300);
    record->FieldByName("curdate")->SetInt32(serial);
    record->FieldByName("price")->SetInt32(serial * 256);
    record->FieldByName("count")->SetInt32(256);
    record->FieldByName("type")->SetInt32(2);
    record->FieldByName("note")->SetText(FromUtf8(NoteOf(serial)));
    record->FieldByName("firm_id")->SetInt32(1);
    if (record_set->Update() != 1) _exit(3);
    if (write(report_fd, &serial, sizeof serial) != sizeof serial) _exit(4);
  }
}

// The entries of the database as a fresh start of the program finds them, by number.
std::set<int32_t> StoredSerials(const platform::PosixEnvOptions& options) {
  std::set<int32_t> serials;
  platform::PosixEnv env(options);
  DbConnection connection(env, DriverKind::kObjectStore);
  EXPECT_EQ(connection.Open(kDatabase, "", ""), 1) << "the database opens after the kill";
  std::unique_ptr<DbRecordSet> record_set = connection.CreateRecordSet(1);
  if (record_set == nullptr || record_set->OpenTable(testing::kEntriesTable, nullptr) != 1) {
    ADD_FAILURE() << "the entries do not open";
    return serials;
  }
  while (record_set->IsEOF() == 0) {
    DbRecord* record = record_set->CurrentRecord(-1);
    if (record == nullptr) {
      ADD_FAILURE() << "row " << record_set->Position() << " does not read";
      break;
    }
    const int32_t serial = record->FieldByName("curdate")->AsInt32();
    EXPECT_EQ(ToUtf8(DbString(record->FieldByName("note")->CStr())), NoteOf(serial));
    EXPECT_EQ(record->FieldByName("consumer_id")->AsInt32(), serial % 300);
    serials.insert(serial);
    record_set->MoveNext();
  }
  EXPECT_EQ(serials.size(), record_set->RowCount()) << "every row is a different entry";
  return serials;
}

TEST(ObjectStoreKillTest, RowsReportedWrittenSurviveSigkill) {
  testing::TempDeviceRoot device;
  const platform::PosixEnvOptions options = device.env().options();
  {
    // Made in an Env of its own that is gone before the fork: a child must not inherit an
    // open SQLite connection.
    platform::PosixEnv env(options);
    ASSERT_EQ(ObjectStoreDriver(env).CreateDatabase(kDatabase, testing::FinanceShapes()), 1);
  }
  const unsigned seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::set<int32_t> reported;

  for (int32_t round = 0; round < 3; ++round) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      WriteUntilKilled(options, round * 1000000, fds[1]);
    }
    close(fds[1]);
    auto receive = [&] {
      int32_t serial = 0;
      if (read(fds[0], &serial, sizeof serial) != sizeof serial) return false;
      reported.insert(serial);
      return true;
    };
    const size_t wanted = reported.size() + 1 + random() % 300;
    while (reported.size() < wanted && receive()) {
    }
    usleep(static_cast<useconds_t>(random() % 3000));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    while (receive()) {  // reports written before the kill
    }
    close(fds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself, exit " << WEXITSTATUS(status);

    const std::set<int32_t> stored = StoredSerials(options);
    for (int32_t serial : reported) {
      ASSERT_TRUE(stored.count(serial)) << "entry " << serial << " lost in round " << round;
    }
  }
}

}  // namespace
}  // namespace ledgerix
