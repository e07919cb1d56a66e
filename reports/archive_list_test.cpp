// The archive folder and its list: order, decoration of the last restored archive, selection,
// deleting; the archive file names.
#include "reports/archive_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

std::vector<std::string> Texts(const ArchiveList& list) {
  std::vector<std::string> texts;
  for (const ArchiveItem& item : list.items) texts.emplace_back(item.text.View());
  return texts;
}

class ArchiveListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* name :
         {u"\\data\\06.12.08 14_05.txt", u"\\data\\01.01.09 10_00.txt", u"\\data\\b.TXT",
          u"\\data\\notes.doc", u"\\data\\31.12.08 23_59.txt.tmp", u"\\other.txt"}) {
      ASSERT_TRUE(device_.WriteHostFile(name, "[sec_firms]\r\n"));
    }
  }
  platform::Env& env() { return device_.env(); }

  testing::TempDeviceRoot device_;
};

TEST(ArchiveNamesTest, TheFolderAndTheFileNameOfAStamp) {
  testing::TempDeviceRoot device;
  EXPECT_EQ(ArchiveFolder(device.env()).View(), "\\data\\");
  EXPECT_EQ(ArchivePath(device.env(), DbString("a.txt")).View(), "\\data\\a.txt");
  testing::FakeClock clock;
  clock.SetDate(2008, 12, 6, 14, 5, 59);
  EXPECT_EQ(ArchiveFileName(clock).View(), "06.12.08 14_05.txt");
  clock.SetDate(2010, 3, 1, 9, 7);
  EXPECT_EQ(ArchiveFileName(clock).View(), "01.03.10 09_07.txt");
  clock.SetDate(2000, 1, 1, 0, 0);
  EXPECT_EQ(ArchiveFileName(clock).View(), "01.01.00 00_00.txt");
}

TEST(ArchiveNamesTest, AMissingFolderIsMadeAndAnEmptyOneListsNothing) {
  testing::TempDeviceRoot device;
  ArchiveList list = FillArchiveList(device.env(), DbString(), DbString());
  EXPECT_TRUE(list.items.empty());
  EXPECT_EQ(list.selected, -1);
  EXPECT_TRUE(PrepareArchiveFolder(device.env()));
  EXPECT_TRUE(device.Exists(u"\\data"));
  EXPECT_TRUE(PrepareArchiveFolder(device.env()));  // already there: no harm
  EXPECT_TRUE(FillArchiveList(device.env(), DbString(), DbString()).items.empty());
}

TEST_F(ArchiveListTest, ListsTheTextFilesInTheOrderSavedAndMarksTheLastRestored) {
  const DbString last("06.12.08 14_05.txt");
  ArchiveList list = FillArchiveList(env(), last, DbString());
  EXPECT_EQ(Texts(list),
            (std::vector<std::string>{"..[06.12.08 14_05.txt]", "01.01.09 10_00.txt", "b.TXT"}));
  EXPECT_EQ(list.items[0].value, 1);
  EXPECT_EQ(list.items[1].value, 0);
  EXPECT_EQ(list.items[0].file_name.View(), "06.12.08 14_05.txt");
  // An empty target selects the marked item.
  EXPECT_EQ(list.selected, 0);
  EXPECT_EQ(ArchiveNameOf(list.items[0], last).View(), "06.12.08 14_05.txt");
  EXPECT_EQ(ArchiveNameOf(list.items[2], last).View(), "b.TXT");
}

// Archives in the order they were saved: by the date and time of the stamp (text order would put
// December 2009 before January 2008), copies of one minute by their number, names without a
// stamp last in byte order.
TEST(ArchiveNameOrderTest, OrdersByTheStampThenTheCopyThenTheName) {
  const char* const ordered[] = {
      "31.12.70 23_59.txt",      // 1970
      "15.06.99 12_00.txt",      // 1999
      "01.01.00 00_00.txt",      // 2000
      "31.01.08 09_00.txt",
      "31.01.08 09_00 (2).txt",
      "31.01.08 09_00 (10).txt",
      "31.01.08 09_00 copy.txt",  // a rest that is no copy number
      "31.01.08 09_01.txt",
      "31.01.08 10_00.txt",
      "01.02.08 00_00.txt",
      "01.12.09 10_00.TXT",
      "31.12.69 23_59.txt",      // 2069
      "32.01.08 09_00.txt",      // no date: no stamp
      "A.txt",
      "a.txt",
      "b.txt",
  };
  const size_t n = std::size(ordered);
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = 0; j < n; ++j) {
      EXPECT_EQ(ArchiveNameLess(DbString(ordered[i]), DbString(ordered[j])), i < j)
          << ordered[i] << " / " << ordered[j];
    }
  }
}

TEST_F(ArchiveListTest, SelectsTheTargetOrElseTheFirstItem) {
  const DbString last("06.12.08 14_05.txt");
  EXPECT_EQ(FillArchiveList(env(), last, DbString("b.TXT")).selected, 2);
  // The target names the file, not the decorated text.
  EXPECT_EQ(FillArchiveList(env(), last, DbString("01.01.09 10_00.txt")).selected, 1);
  EXPECT_EQ(FillArchiveList(env(), last, DbString("06.12.08 14_05.txt")).selected, 0);
  EXPECT_EQ(FillArchiveList(env(), last, DbString("..[06.12.08 14_05.txt]")).selected, 0);
  EXPECT_EQ(FillArchiveList(env(), last, DbString("gone.txt")).selected, 0);
  // A last archive that is not in the folder marks nothing; the first item is selected.
  ArchiveList list = FillArchiveList(env(), DbString("gone.txt"), DbString());
  EXPECT_EQ(list.selected, 0);
  for (const ArchiveItem& item : list.items) EXPECT_EQ(item.value, 0);
  // Names compare exactly.
  EXPECT_EQ(FillArchiveList(env(), DbString("B.txt"), DbString()).items[2].value, 0);
}

TEST_F(ArchiveListTest, DeletingTheLastRestoredArchiveDropsItsMark) {
  const DbString last("06.12.08 14_05.txt");
  DbString question = DeleteQuestion(last);
  EXPECT_EQ(question.View(),
            std::string(FromUtf8("Вы действительно хотите удалить архив: ").View()) +
                "06.12.08 14_05.txt?");
  EXPECT_TRUE(DeleteArchive(env(), last));
  EXPECT_FALSE(device_.Exists(u"\\data\\06.12.08 14_05.txt"));
  ArchiveList list = FillArchiveList(env(), last, DbString());
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"01.01.09 10_00.txt", "b.TXT"}));
  EXPECT_EQ(list.selected, 0);
  // Deleting what is not there is reported.
  EXPECT_FALSE(DeleteArchive(env(), last));
  EXPECT_FALSE(DeleteArchive(env(), DbString()));
  EXPECT_EQ(ArchiveDeleteFailedMessage().View(), FromUtf8("Не удалось удалить архив!").View());
}

TEST_F(ArchiveListTest, AReadOnlyArchiveIsDeletedToo) {
  ASSERT_EQ(::chmod(device_.HostPath(u"\\data\\b.TXT").c_str(), 0444), 0);
  EXPECT_TRUE(DeleteArchive(env(), DbString("b.TXT")));
  EXPECT_FALSE(device_.Exists(u"\\data\\b.TXT"));
}

}  // namespace
}  // namespace ledgerix
