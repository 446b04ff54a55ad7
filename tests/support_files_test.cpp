#include <gtest/gtest.h>

#include "fake_platform.h"
#include "support/RXSAMMLUNG.h"
#include "support/RXSAMMLUNG2DIVFU.h"

namespace {

using namespace RXSAMMLUNG;
using RXSAMMLUNG2DIVFU::AppFilePath;
using RXSAMMLUNG2DIVFU::AppFolder;

TEST(FileExists, FindsOrdinaryFilesOnly) {
  fake::FakePlatform os;
  os.files.AddFile("C:\\d\\schreibgeschuetzt.txt", platform::AttributeReadOnly | platform::AttributeArchive);
  os.files.AddFile("C:\\d\\normal.txt", platform::AttributeNormal);
  os.files.AddFile("C:\\d\\versteckt.txt", platform::AttributeHidden);
  os.files.AddFile("C:\\d\\system.txt", platform::AttributeSystem | platform::AttributeArchive);
  os.files.AddFolder("C:\\d\\ordner");
  EXPECT_TRUE(FileExists(os, u"C:\\d\\schreibgeschuetzt.txt"));
  EXPECT_TRUE(FileExists(os, u"c:\\D\\NORMAL.TXT"));
  EXPECT_FALSE(FileExists(os, u"C:\\d\\versteckt.txt"));
  EXPECT_FALSE(FileExists(os, u"C:\\d\\system.txt"));
  EXPECT_FALSE(FileExists(os, u"C:\\d\\ordner"));
  EXPECT_FALSE(FileExists(os, u"C:\\d\\fehlt.txt"));
  EXPECT_FALSE(FileExists(os, u""));
}

TEST(FileExists, WildcardsMatchOrdinaryFilesOnly) {
  fake::FakePlatform os;
  os.files.AddFile("C:\\d\\versteckt.htm", platform::AttributeHidden);
  os.files.AddFolder("C:\\d\\ordner.htm");
  EXPECT_FALSE(FileExists(os, u"C:\\d\\*.htm"));
  os.files.AddFile("C:\\d\\seite.htm");
  EXPECT_TRUE(FileExists(os, u"C:\\d\\*.htm"));
  EXPECT_TRUE(FileExists(os, u"C:\\d\\s?ite.*"));
  EXPECT_FALSE(FileExists(os, u"C:\\d\\s?te.htm"));
}

TEST(FileExists, FailingSearchesGiveFalse) {
  fake::FakePlatform os;
  os.files.AddFile("E:\\karte\\bild.jpg");
  os.files.SetDriveNotReady('e');
  EXPECT_FALSE(FileExists(os, u"E:\\karte\\bild.jpg"));
  EXPECT_FALSE(FileExists(os, u"C:\\fehlt\\bild.jpg"));
  EXPECT_FALSE(FileExists(os, u"C:\\d\\"));
}

TEST(AppPaths, OneBackslashAfterTheFolderAndALowerCaseExtension) {
  fake::FakePlatform os;
  os.files.programFolder = u"C:\\Program Files\\Velumor";
  os.files.programName = u"VELUMOR";
  EXPECT_EQ(AppFolder(os), u"C:\\Program Files\\Velumor\\");
  EXPECT_EQ(AppFilePath(os), u"C:\\Program Files\\Velumor\\VELUMOR.exe");
  os.files.programFolder = u"D:\\";
  EXPECT_EQ(AppFolder(os), u"D:\\");
  EXPECT_EQ(AppFilePath(os), u"D:\\VELUMOR.exe");
}

}  // namespace
