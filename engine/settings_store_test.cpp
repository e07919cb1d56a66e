#include "engine/settings_store.h"

#include <gtest/gtest.h>

#include "platform/fault_injection_env.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

constexpr char16_t kPath[] = u"\\settings\\tv_ledgrx.$$$";

class SettingsStoreTest : public ::testing::Test {
 protected:
  int32_t ReadInt(const SettingsStore& store, const char* name) {
    return store.ReadSetting(name, DbValueType::Int32).AsInt32();
  }

  testing::TempDeviceRoot device_;
  platform::Env& env_ = device_.env();
};

TEST_F(SettingsStoreTest, BindCreatesAMissingFileInTheSettingsFolder) {
  SettingsStore store(env_);
  EXPECT_FALSE(store.IsBound());
  EXPECT_NE(store.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(store.Path().View(), "\\settings\\tv_ledgrx.$$$");
  EXPECT_TRUE(device_.Exists(kPath));
  EXPECT_EQ(device_.ReadHostFile(kPath), "");
}

TEST_F(SettingsStoreTest, LoadsCommentsAndValuesWithEqualsAndWritesThemBack) {
  const std::string content = "A=1\r\n; note\r\nB=x=y\r\n";
  ASSERT_TRUE(device_.WriteHostFile(kPath, content));
  SettingsStore store(env_);
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(store.ReadSetting("B", DbValueType::Text).ToText().View(), "x=y");
  EXPECT_EQ(store.ReadSetting(";", DbValueType::Text).ToText().View(), " note");
  EXPECT_EQ(ReadInt(store, "B"), 0);
  EXPECT_EQ(store.ReadSetting("A", DbValueType::Bool8).AsBool(), true);
  EXPECT_EQ(store.Save(), 1);
  EXPECT_EQ(device_.ReadHostFile(kPath), content);
}

TEST_F(SettingsStoreTest, DeclarationsKeepStoredValuesAndAppendNewOnes) {
  ASSERT_TRUE(device_.WriteHostFile(kPath, "A=1\r\n"));
  SettingsStore store(env_);
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(store.DeclareDefault("A", DbValue(int32_t{5})), 1);
  EXPECT_EQ(store.DeclareDefault("D", DbValue(int32_t{5})), 1);
  EXPECT_EQ(store.DeclareDefault(nullptr, DbValue(int32_t{5})), 0);
  EXPECT_EQ(store.Save(), 1);
  EXPECT_EQ(device_.ReadHostFile(kPath), "A=1\r\nD=5\r\n");
}

TEST_F(SettingsStoreTest, WrittenValuesSurviveSaveAndRebind) {
  SettingsStore store(env_);
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  store.DeclareDefault("A", DbValue(int32_t{1}));
  EXPECT_EQ(store.WriteSetting("A", DbValue(int32_t{7})), 1);
  EXPECT_EQ(store.WriteSetting("NAME", DbValue(FromUtf8("Ёлка №1"))), 1);
  EXPECT_EQ(ReadInt(store, "A"), 7);
  ASSERT_EQ(store.Save(), 1);

  SettingsStore again(env_);
  ASSERT_NE(again.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(ReadInt(again, "A"), 7);
  EXPECT_EQ(ToUtf8(again.ReadSetting("NAME", DbValueType::Text).ToText()), "Ёлка №1");
}

TEST_F(SettingsStoreTest, MissingAndUnboundReadsHaveTheirDefaults) {
  SettingsStore store(env_);
  DbValue unbound = store.ReadSetting("A", DbValueType::Int32);
  EXPECT_EQ(unbound.Type(), DbValueType::Int32);
  EXPECT_EQ(unbound.AsInt32(), 0);
  EXPECT_EQ(store.WriteSetting("A", DbValue(int32_t{1})), 0);
  EXPECT_EQ(store.DeclareDefault("A", DbValue(int32_t{1})), 0);
  EXPECT_EQ(store.Save(), 0);

  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(store.ReadSetting("NOPE", DbValueType::Int32).Type(), DbValueType::Untyped);
  store.DeclareDefault("EMPTY", DbValue(""));
  EXPECT_EQ(ReadInt(store, "EMPTY"), 0);
}

TEST_F(SettingsStoreTest, OddLinesFollowTheFileRules) {
  // The last line lacks its CR LF; "=x" has no name; "plain" has no "="; an empty line
  // stays at the start of the next line's name.
  ASSERT_TRUE(device_.WriteHostFile(kPath, "=x\r\nplain\r\n\r\nC=3\r\nZ=9"));
  SettingsStore store(env_);
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(ReadInt(store, "Z"), 9);
  EXPECT_EQ(ReadInt(store, "\r\nC"), 3);
  ASSERT_EQ(store.Save(), 1);
  EXPECT_EQ(device_.ReadHostFile(kPath), "\r\nC=3\r\nZ=9\r\n");
}

// Files edited on another system end their lines with LF alone; both kinds of line end read
// alike, and saving writes CR LF.
TEST_F(SettingsStoreTest, ReadsLinesEndedByLfOrCrLf) {
  struct Case {
    const char* content;
    const char* saved;
  } cases[] = {
      {"A=1\nB=2\n", "A=1\r\nB=2\r\n"},
      {"A=1\r\nB=2\nC=3", "A=1\r\nB=2\r\nC=3\r\n"},
      {"A=1\nB=x\r\n", "A=1\r\nB=x\r\n"},
      // An empty line stays at the start of the next name, whichever its line end.
      {"A=1\n\nB=2\n", "A=1\r\n\nB=2\r\n"},
      // A CR alone ends no line.
      {"A=1\rB=2\n", "A=1\rB=2\r\n"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(device_.WriteHostFile(kPath, c.content));
    SettingsStore store(env_);
    ASSERT_NE(store.Bind("tv_ledgrx"), 0) << c.content;
    ASSERT_EQ(store.Save(), 1);
    EXPECT_EQ(device_.ReadHostFile(kPath), c.saved) << c.content;
  }
  ASSERT_TRUE(device_.WriteHostFile(kPath, "A=1\nB=2\n"));
  SettingsStore store(env_);
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(ReadInt(store, "A"), 1);
  EXPECT_EQ(ReadInt(store, "B"), 2);
}

// A large file (its speed is measured in bench/) loads every line and saves it back unchanged.
TEST_F(SettingsStoreTest, ALargeFileLoadsAndSavesWhole) {
  std::string content;
  for (int i = 0; i < 100000; ++i)
    content += "KEY" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  ASSERT_TRUE(device_.WriteHostFile(kPath, content));
  SettingsStore store(env_);
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(ReadInt(store, "KEY0"), 0);
  EXPECT_EQ(ReadInt(store, "KEY99999"), 99999);
  ASSERT_EQ(store.Save(), 1);
  EXPECT_EQ(device_.ReadHostFile(kPath), content);
}

TEST_F(SettingsStoreTest, WholeNumbersBeyondThirtyTwoBitsReadAsTheFallback) {
  struct Case {
    const char* stored;
    int32_t expected;
  } cases[] = {
      {"42", 42},
      {"-7", -7},
      {"12ab", 12},
      {"", 0},
      {"abc", 0},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", 99},
      {"-2147483649", 99},
      {"99999999999", 99},
      {"4294967296", 99},
  };
  SettingsStore store(env_);
  EXPECT_EQ(store.ReadInt32("N", 99), 99) << "unbound";
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(store.ReadInt32("MISSING", 99), 99);
  EXPECT_EQ(store.ReadInt32(nullptr, 99), 99);
  for (const Case& c : cases) {
    store.WriteSetting("N", DbValue(c.stored));
    EXPECT_EQ(store.ReadInt32("N", 99), c.expected) << c.stored;
  }
}

TEST_F(SettingsStoreTest, ReadsAsEveryNumericType) {
  SettingsStore store(env_);
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  store.WriteSetting("F", DbValue("1.234,5"));
  EXPECT_DOUBLE_EQ(store.ReadSetting("F", DbValueType::Float64).AsFloat64(), 1234.5);
  store.WriteSetting("N", DbValue("-12ab"));
  EXPECT_EQ(store.ReadSetting("N", DbValueType::Int16).AsInt16(), -12);
  store.WriteSetting("T", DbValue("true"));
  EXPECT_EQ(store.ReadSetting("T", DbValueType::Bool8).AsBool(), false);
}

// Every disk-changing call of Save is made to fail in turn: the settings file must always be
// either the old one or the new one, whole, and the failure must be reported.
TEST_F(SettingsStoreTest, AFailureAnywhereInSaveLeavesTheOldFileWhole) {
  const std::string old_content = "A=1\r\nB=2\r\n";
  ASSERT_TRUE(device_.WriteHostFile(kPath, old_content));
  platform::FaultInjectionEnv faulty(&env_);
  for (int n = 1;; ++n) {
    SettingsStore store(faulty);
    ASSERT_NE(store.Bind("tv_ledgrx"), 0);
    store.WriteSetting("A", DbValue(int32_t{42}));
    faulty.Reset();
    faulty.FailNthMutation(n, platform::winerr::kDiskFull);
    int saved = store.Save();
    bool fired = faulty.InjectedCount() > 0;
    faulty.Reset();
    std::string content = device_.ReadHostFile(kPath);
    if (!fired) {
      EXPECT_EQ(saved, 1);
      EXPECT_EQ(content, "A=42\r\nB=2\r\n");
      break;
    }
    EXPECT_EQ(saved, 0) << "mutation " << n;
    EXPECT_EQ(content, old_content) << "mutation " << n;
    EXPECT_FALSE(device_.Exists(u"\\settings\\tv_ledgrx.$$$.tmp")) << "mutation " << n;
    ASSERT_LT(n, 50);
  }
}

TEST_F(SettingsStoreTest, AShortWriteOrFullDiskDuringSaveIsAFailure) {
  ASSERT_TRUE(device_.WriteHostFile(kPath, "A=1\r\n"));
  platform::FaultInjectionEnv faulty(&env_);
  SettingsStore store(faulty);
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  store.WriteSetting("A", DbValue(int32_t{2}));
  faulty.ShortWriteNth(1);
  EXPECT_EQ(store.Save(), 0);
  faulty.SetDiskFull(true);
  EXPECT_EQ(store.Save(), 0);
  EXPECT_EQ(device_.ReadHostFile(kPath), "A=1\r\n");
  faulty.SetDiskFull(false);
  EXPECT_EQ(store.Save(), 1);
  EXPECT_EQ(device_.ReadHostFile(kPath), "A=2\r\n");
}

TEST_F(SettingsStoreTest, AnUnopenableFileLeavesTheStoreUnboundAndSaysWhy) {
  ASSERT_TRUE(device_.WriteHostFile(kPath, "IS_SYSTEMTYPE_DB=1\r\n"));
  struct Case {
    platform::FileOp op;
    uint32_t error;
  } cases[] = {{platform::FileOp::kOpen, platform::winerr::kAccessDenied},
               {platform::FileOp::kRead, platform::winerr::kCrc},
               {platform::FileOp::kSize, platform::winerr::kReadFault}};
  for (const Case& c : cases) {
    platform::FaultInjectionEnv faulty(&env_);
    faulty.FailNth(c.op, 1, c.error);
    SettingsStore store(faulty);
    EXPECT_EQ(store.Bind("tv_ledgrx"), 0) << c.error;
    EXPECT_FALSE(store.IsBound());
    EXPECT_EQ(store.LoadFailure().error, c.error);
    EXPECT_EQ(store.ReadSetting("IS_SYSTEMTYPE_DB", DbValueType::Int32).AsInt32(), 0);
    EXPECT_EQ(store.Save(), 0);
  }
  EXPECT_EQ(device_.ReadHostFile(kPath), "IS_SYSTEMTYPE_DB=1\r\n");
  SettingsStore store(env_);
  ASSERT_NE(store.Bind("tv_ledgrx"), 0);
  EXPECT_EQ(store.LoadFailure().error, 0u);
}

}  // namespace
}  // namespace ledgerix
