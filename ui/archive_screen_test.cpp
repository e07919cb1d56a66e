// The archives screen's rules on both storage kinds: the list in the order the archives were
// saved, saving, restoring after the current data were kept as an archive, deleting, handing the
// data to the companion, and every failure said in a message. The files each command leaves and
// LAST_ARCHIVE as the next start reads it are checked.
#include "ui/archive_screen.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "engine/db_value.h"
#include "finance/testing/finance_test_support.h"
#include "platform/fault_injection_env.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix::testing {
namespace {

class ArchiveScreenTest : public FinanceDbTest {
 protected:
  ArchiveScreenTest() : state_(faulty_) { clock_.SetDate(2009, 12, 1, 10, 0, 30); }

  void SetUp() override {
    ASSERT_NE(state_.settings.Bind("tv_ledgrx"), 0);
    state_.settings.DeclareDefault("LAST_ARCHIVE", DbValue(""));
    ASSERT_EQ(state_.settings.Save(), 1);
    ASSERT_EQ(finance_.Open(kDatabaseName), 1);
    ASSERT_EQ(finance_.AddEntry(MakeEntry(1, 110109, 12.5, 2, 2, 1)), 1);
  }

  ArchiveScreen& Open(FinanceDb* db = nullptr) {
    screen_ = std::make_unique<ArchiveScreen>(db != nullptr ? db : &finance_, state_, faulty_,
                                              clock_, services_);
    screen_->Start();
    return *screen_;
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> texts;
    for (const ArchiveItem& item : screen_->items()) texts.push_back(ToUtf8(item.text));
    return texts;
  }
  std::string Selected() const { return ToUtf8(screen_->SelectedName()); }
  // Every table as the archive of it would hold it.
  std::string Data() {
    std::string text;
    for (const char* table : {kKindsTable, kEntriesTable, kAccountsTable}) {
      if (!text.empty()) text += "\r\n";
      text += ToUtf8(finance_.WriteTableSection(table));
    }
    return text;
  }
  std::string Archive(const std::string& name) const {
    return root_.ReadHostFile(u"\\data\\" + std::u16string(name.begin(), name.end()));
  }
  bool HasArchive(const std::string& name) const {
    return root_.Exists(u"\\data\\" + std::u16string(name.begin(), name.end()));
  }
  void PutArchive(const std::string& name, const std::string& content) {
    ASSERT_TRUE(
        root_.WriteHostFile(u"\\data\\" + std::u16string(name.begin(), name.end()), content));
  }
  // LAST_ARCHIVE as the next start of the program reads it from the settings file.
  std::string StoredLastArchive() {
    SettingsStore fresh(root_.env());
    EXPECT_NE(fresh.Bind("tv_ledgrx"), 0);
    return fresh.ReadSetting("LAST_ARCHIVE", DbValueType::Text).CStr();
  }
  void Select(const std::string& name) {
    for (size_t i = 0; i < screen_->items().size(); ++i) {
      if (ToUtf8(screen_->items()[i].file_name) == name) screen_->selected = static_cast<int>(i);
    }
    ASSERT_EQ(Selected(), name);
  }

  platform::FaultInjectionEnv faulty_{&root_.env()};
  FinanceDb finance_{faulty_, clock_, globals_};
  AppState state_;
  ScriptedScreenServices services_;
  std::unique_ptr<ArchiveScreen> screen_;
};

// The file system lists files in an order of its own, and text order puts December 2009 before
// January 2008: the list orders by the date and time in the name.
TEST_P(ArchiveScreenTest, ListsTheArchivesInTheOrderTheyWereSaved) {
  for (const char* name :
       {"b.txt", "01.12.09 10_00.txt", "31.01.08 09_00 (2).txt", "31.01.08 09_00.txt", "a.txt",
        "15.06.99 12_00.txt", "01.12.09 09_59.txt", "31.01.08 09_00 (10).txt"}) {
    PutArchive(name, "[sec_firms]\r\n");
  }
  state_.last_archive_name = DbString("31.01.08 09_00.txt");
  Open();
  EXPECT_EQ(Items(), (std::vector<std::string>{"15.06.99 12_00.txt", "..[31.01.08 09_00.txt]",
                                               "31.01.08 09_00 (2).txt", "31.01.08 09_00 (10).txt",
                                               "01.12.09 09_59.txt", "01.12.09 10_00.txt", "a.txt",
                                               "b.txt"}));
  EXPECT_EQ(screen_->selected, 1);
  EXPECT_EQ(Selected(), "31.01.08 09_00.txt");
}

TEST_P(ArchiveScreenTest, SavingWritesTheArchiveOfNowAndSelectsIt) {
  PutArchive("01.01.09 08_00.txt", "[sec_firms]\r\n");
  Open().OnSave();
  const std::string first = Data();
  EXPECT_EQ(Items(), (std::vector<std::string>{"01.01.09 08_00.txt", "01.12.09 10_00.txt"}));
  EXPECT_EQ(Selected(), "01.12.09 10_00.txt");
  EXPECT_EQ(ToUtf8(DbString(Archive("01.12.09 10_00.txt"))), first);
  // Saving again within the minute leaves one archive, holding the second save.
  ASSERT_EQ(finance_.DeleteAllData(), 1);
  clock_.Advance(20);
  screen_->OnSave();
  EXPECT_EQ(Items().size(), 2u);
  EXPECT_EQ(Archive("01.12.09 10_00.txt"),
            "[sec_consumeritems]\r\n\r\n[sec_data]\r\n\r\n[sec_firms]\r\n");
  // Saving names no archive as the last restored one.
  EXPECT_EQ(state_.last_archive_name.Length(), 0u);
  EXPECT_EQ(StoredLastArchive(), "");
  EXPECT_TRUE(services_.messages().empty());
}

TEST_P(ArchiveScreenTest, AFailedSaveSaysSoAndListsNoArchive) {
  ArchiveScreen& screen = Open();
  faulty_.SetDiskFull(true);
  services_.AnswerNextMessage(MessageAnswer::kOk);
  screen.OnSave();
  faulty_.SetDiskFull(false);
  EXPECT_EQ(services_.MessageTexts(), (std::vector<std::string>{"Не удалось сохранить архив!"}));
  EXPECT_EQ(services_.messages()[0].caption, "TOLVENA Info");
  EXPECT_TRUE(Items().empty());
  EXPECT_TRUE(std::filesystem::is_empty(root_.HostPath(u"\\data")));
}

// A restore replaces every table: the data it replaces are kept as an archive first, under the
// stamp of now or, when that name is taken, the next free one.
TEST_P(ArchiveScreenTest, ARestoreKeepsTheCurrentDataAsAnArchiveFirst) {
  struct Case {
    int64_t later;        // seconds between saving the archive and restoring it
    const char* kept_as;  // the archive the replaced data went to
  } cases[] = {{10, "01.12.09 10_00 (2).txt"}, {3600, "01.12.09 11_00.txt"}};
  for (const Case& c : cases) {
    clock_.SetDate(2009, 12, 1, 10, 0, 30);
    std::filesystem::remove_all(root_.HostPath(u"\\data"));
    Open().OnSave();
    const std::string saved = Data();
    ASSERT_EQ(finance_.AddEntry(MakeEntry(1, 120109, 99, 1, 2, 2)), 1);  // entered since
    const std::string current = Data();
    clock_.Advance(c.later);
    services_.AnswerNextMessage(MessageAnswer::kOk);
    screen_->OnRestore();  // the new archive is selected
    ASSERT_EQ(services_.MessageTexts().back(), "Обработка завершена!");
    EXPECT_EQ(services_.messages().back().caption, "TOLVENA Info");
    EXPECT_EQ(Data(), saved);
    EXPECT_EQ(ToUtf8(DbString(Archive(c.kept_as))), current) << c.kept_as;
    EXPECT_EQ(ToUtf8(DbString(Archive("01.12.09 10_00.txt"))), saved);
    EXPECT_EQ(Items(), (std::vector<std::string>{"..[01.12.09 10_00.txt]", c.kept_as}));
    EXPECT_EQ(Selected(), "01.12.09 10_00.txt");
    EXPECT_EQ(ToUtf8(state_.last_archive_name), "01.12.09 10_00.txt");
    EXPECT_EQ(StoredLastArchive(), "01.12.09 10_00.txt");
  }
}

// Whatever write fails on the way, either the data are as they were or they were kept whole in
// an archive before being replaced; and the outcome is said.
TEST_P(ArchiveScreenTest, ARestoreReplacesNothingUnlessTheCurrentDataWereKeptWhole) {
  PutArchive("old.txt", "[sec_firms]\r\n7;Old;;0;\r\n");
  const std::string current = Data();
  bool restored = false;
  for (int n = 1; !restored; ++n) {
    ASSERT_LT(n, 200);
    std::filesystem::remove(root_.HostPath(u"\\data\\01.12.09 10_00.txt"));
    state_.last_archive_name = DbString();
    Open();
    Select("old.txt");
    faulty_.Reset();
    faulty_.FailNthMutation(n, platform::winerr::kDiskFull);
    services_.AnswerNextMessage(MessageAnswer::kOk);
    screen_->OnRestore();
    const bool fired = faulty_.InjectedCount() > 0;
    faulty_.Reset();
    const std::string said = services_.MessageTexts().back();
    const bool kept = HasArchive("01.12.09 10_00.txt");
    if (Data() == current) {
      EXPECT_NE(said, "Обработка завершена!") << n;
      EXPECT_EQ(ToUtf8(state_.last_archive_name), "") << n;
    } else {
      ASSERT_TRUE(kept) << n;
      EXPECT_EQ(ToUtf8(DbString(Archive("01.12.09 10_00.txt"))), current) << n;
      restored = !fired || said == "Обработка завершена!";
    }
    if (!kept) {
      EXPECT_EQ(said,
                "Не удалось сохранить текущие данные в архив: архив не восстановлен, данные "
                "не изменены!")
          << n;
    }
    if (!restored) {
      ASSERT_TRUE(fired) << n;
    }
    // A restore that went wrong reopened nothing; put the data back for the next round.
    if (Data() != current) {
      ASSERT_EQ(finance_.RestoreExchangeFile(DbString("\\data\\01.12.09 10_00.txt")), 1);
    }
  }
}

TEST_P(ArchiveScreenTest, AnArchiveThatCannotBeRestoredSaysSoAndChangesNothing) {
  // A kind whose name does not fit its row cannot be stored.
  const std::string too_long = "[sec_consumeritems]\r\n1;" + std::string(400, 'x') + ";;0;2;0;\r\n";
  struct Case {
    const char* name;
    const char* content;  // null: the file is gone by the time of the restore
  } cases[] = {{"gone.txt", nullptr}, {"bad.txt", too_long.c_str()}};
  for (const Case& c : cases) {
    PutArchive(c.name, c.content != nullptr ? c.content : "");
    Open();
    Select(c.name);
    if (c.content == nullptr) std::filesystem::remove(root_.HostPath(u"\\data\\gone.txt"));
    const std::string current = Data();
    services_.AnswerNextMessage(MessageAnswer::kOk);
    screen_->OnRestore();
    EXPECT_EQ(services_.MessageTexts().back(), "Ошибка восстановления архива!") << c.name;
    EXPECT_EQ(Data(), current) << c.name;
    EXPECT_EQ(StoredLastArchive(), "") << c.name;
    EXPECT_EQ(Items().front(), "01.12.09 10_00.txt");  // the data kept all the same
  }
}

TEST_P(ArchiveScreenTest, DeletingAsksAndKeepsTheLastRestoredName) {
  PutArchive("01.12.09 10_00.txt", "[sec_firms]\r\n");
  PutArchive("02.12.09 10_00.txt", "[sec_firms]\r\n");
  state_.last_archive_name = DbString("01.12.09 10_00.txt");
  ArchiveScreen& screen = Open();
  struct Case {
    MessageAnswer answer;
    bool deleted;
  } cases[] = {
      {MessageAnswer::kNo, false}, {MessageAnswer::kCancel, false}, {MessageAnswer::kYes, true}};
  for (const Case& c : cases) {
    Select("01.12.09 10_00.txt");
    services_.AnswerNextMessage(c.answer);
    screen.OnDelete();
    EXPECT_EQ(services_.messages().back().text,
              "Вы действительно хотите удалить архив: 01.12.09 10_00.txt?");
    EXPECT_EQ(services_.messages().back().buttons, MessageButtons::kYesNoCancel);
    EXPECT_EQ(HasArchive("01.12.09 10_00.txt"), !c.deleted);
  }
  EXPECT_EQ(Items(), (std::vector<std::string>{"02.12.09 10_00.txt"}));
  EXPECT_EQ(Selected(), "02.12.09 10_00.txt");
  EXPECT_EQ(ToUtf8(state_.last_archive_name), "01.12.09 10_00.txt");
  EXPECT_EQ(services_.messages().size(), 3u);
}

TEST_P(ArchiveScreenTest, ADeleteThatFailsSaysSo) {
  PutArchive("a.txt", "[sec_firms]\r\n");
  ArchiveScreen& screen = Open();
  faulty_.FailNth(platform::FileOp::kDelete, 1, platform::winerr::kAccessDenied);
  services_.AnswerNextMessage(MessageAnswer::kYes);
  services_.AnswerNextMessage(MessageAnswer::kOk);
  screen.OnDelete();
  EXPECT_EQ(services_.MessageTexts().back(), "Не удалось удалить архив!");
  EXPECT_TRUE(HasArchive("a.txt"));
  EXPECT_EQ(Items(), (std::vector<std::string>{"a.txt"}));
}

TEST_P(ArchiveScreenTest, WithNothingSelectedRestoreAndDeleteDoNothing) {
  PutArchive("a.txt", "[sec_firms]\r\n");
  ArchiveScreen& screen = Open();
  const std::string current = Data();
  screen.selected = -1;
  screen.OnRestore();
  screen.OnDelete();
  EXPECT_TRUE(services_.messages().empty());
  EXPECT_EQ(Data(), current);
  EXPECT_EQ(Items(), (std::vector<std::string>{"a.txt"}));
}

TEST_P(ArchiveScreenTest, WithoutADatabaseNothingIsSavedAndARestoreSaysItFailed) {
  testing::TempDeviceRoot other;
  FinanceDb closed(other.env(), clock_, globals_);
  PutArchive("a.txt", "[sec_firms]\r\n");
  ArchiveScreen& screen = Open(&closed);
  screen.OnSave();  // silently nothing
  EXPECT_EQ(Items(), (std::vector<std::string>{"a.txt"}));
  services_.AnswerNextMessage(MessageAnswer::kOk);
  screen.OnRestore();
  EXPECT_EQ(services_.MessageTexts(), (std::vector<std::string>{"Ошибка восстановления архива!"}));
  EXPECT_EQ(Items(), (std::vector<std::string>{"a.txt"}));
}

TEST_P(ArchiveScreenTest, TheCompanionRunsWhileTheScreenWaitsAndAMissingOneIsReported) {
  ArchiveScreen& screen = Open();
  services_.AnswerNextMessage(MessageAnswer::kOk);
  screen.OnSendToPc();
  EXPECT_EQ(services_.MessageTexts(),
            (std::vector<std::string>{"Не удалось запустить программу обмена данными с ПК!"}));
  EXPECT_EQ(faulty_.Count(platform::FileOp::kRunAndWait), 1);

  const std::string program = root_.program_folder() + "/ldxload";
  std::FILE* script = std::fopen(program.c_str(), "w");
  ASSERT_NE(script, nullptr);
  std::fputs("#!/bin/sh\nsleep 0.2\necho ran > \"$(dirname \"$0\")/marker\"\n", script);
  std::fclose(script);
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  screen.OnSendToPc();
  EXPECT_TRUE(std::filesystem::exists(root_.program_folder() + "/marker"));
  EXPECT_EQ(services_.messages().size(), 1u);
  ASSERT_TRUE(finance_.IsOpen()) << "the database is opened again after the companion";
  std::vector<KindRecord> kinds;
  EXPECT_EQ(finance_.LoadKinds(&kinds), 1);
  EXPECT_EQ(services_.wait_cursor_depth(), 0);
  EXPECT_GE(services_.wait_cursor_uses(), 2);
}

INSTANTIATE_TEST_SUITE_P(Drivers, ArchiveScreenTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
