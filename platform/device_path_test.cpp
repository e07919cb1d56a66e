#include "platform/device_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ledgerix::platform {
namespace {

DevicePathMap TestMap() { return DevicePathMap(DeviceFolders{"/dev-root/", "/home/u/Documents"}); }

std::string Host(std::u16string_view device_path) {
  std::string host;
  return TestMap().ToHost(device_path, &host) ? host : "<refused>";
}

TEST(DevicePathTest, SeparatorsCountOnceAndTheLeadingOneIsOptional) {
  EXPECT_EQ(Host(u"\\settings\\tv_ledgrx.$$$"), "/dev-root/settings/tv_ledgrx.$$$");
  EXPECT_EQ(Host(u"settings\\tv_ledgrx.$$$"), "/dev-root/settings/tv_ledgrx.$$$");
  EXPECT_EQ(Host(u"\\\\settings\\\\\\tv_ledgrx.$$$\\"), "/dev-root/settings/tv_ledgrx.$$$");
  EXPECT_EQ(Host(u"\\.\\data\\.\\a.txt"), "/dev-root/data/a.txt");
  EXPECT_EQ(Host(u"\\"), "/dev-root");
  EXPECT_EQ(Host(u""), "/dev-root");
}

TEST(DevicePathTest, MyDocumentsMapsToTheDocumentsFolderInAnyCase) {
  EXPECT_EQ(Host(u"\\My Documents\\report.txt"), "/home/u/Documents/report.txt");
  EXPECT_EQ(Host(u"\\MY DOCUMENTS\\Sub\\r.xls"), "/home/u/Documents/Sub/r.xls");
  EXPECT_EQ(Host(u"my documents"), "/home/u/Documents");
  // Only the root folder of that name is the documents folder.
  EXPECT_EQ(Host(u"\\data\\My Documents\\x"), "/dev-root/data/My Documents/x");
  EXPECT_EQ(Host(u"\\My Documents2\\x"), "/dev-root/My Documents2/x");
}

TEST(DevicePathTest, NamesBecomeUtf8) {
  EXPECT_EQ(Host(u"\\data\\Архив 01.txt"),
            "/dev-root/data/\xD0\x90\xD1\x80\xD1\x85\xD0\xB8\xD0\xB2 01.txt");
}

TEST(DevicePathTest, RefusesPathsThatWouldLeaveTheRoot) {
  EXPECT_EQ(Host(u"\\..\\etc\\passwd"), "<refused>");
  EXPECT_EQ(Host(u"\\data\\..\\..\\x"), "<refused>");
  EXPECT_EQ(Host(u"\\My Documents\\..\\x"), "<refused>");
  EXPECT_EQ(Host(u"..\\"), "<refused>");
  // "/" is a separator only for the host: "a/../../x" must not pass as one name.
  EXPECT_EQ(Host(u"\\a/../../x"), "<refused>");
  EXPECT_EQ(Host(u"\\data\\/etc"), "<refused>");
  EXPECT_EQ(Host(std::u16string(u"\\a\0b", 4)), "<refused>");
  EXPECT_EQ(Host(u"\\bad\xD800name"), "<refused>");
  // Dots that are not ".." are ordinary names.
  EXPECT_EQ(Host(u"\\...\\..a"), "/dev-root/.../..a");
}

TEST(DevicePathTest, SplitNamesAndWildcards) {
  std::vector<std::u16string> names;
  ASSERT_TRUE(SplitDevicePath(u"\\data\\\\*.txt", &names));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"data", u"*.txt"}));
  EXPECT_TRUE(HasWildcards(u"a?.txt"));
  EXPECT_FALSE(HasWildcards(u"\\data\\a.txt"));
  // Names handed over already split are checked too.
  std::string host;
  EXPECT_FALSE(TestMap().ToHost(std::vector<std::u16string>{u"a", u".."}, &host));
  EXPECT_FALSE(TestMap().ToHost(std::vector<std::u16string>{u""}, &host));
}

}  // namespace
}  // namespace ledgerix::platform
