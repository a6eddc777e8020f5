#include "files/folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "core/convert.h"
#include "temp_folder.h"

namespace qv {
namespace {

using testing::TempFolder;

TEST(Wildcards, StarQuestionMarkAndTheDotStarRule) {
  EXPECT_TRUE(WildcardMatch("m000042_*.*", "m000042_photo.JPG"));
  EXPECT_TRUE(WildcardMatch("m000042_*.*", "m000042_readme"));
  EXPECT_FALSE(WildcardMatch("m000042_*.*", "m000421_photo.jpg"));
  EXPECT_TRUE(WildcardMatch("*.gif", "A.GIF"));
  EXPECT_FALSE(WildcardMatch("*.gif", "a.gif.txt"));
  EXPECT_TRUE(WildcardMatch("a?c", "abc"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  EXPECT_TRUE(WildcardMatch("*a*b*", "xxaxxbxx"));
  EXPECT_FALSE(WildcardMatch("", "a"));
}

TEST(CommandLine, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(SplitCommandLine("  /bin/echo a  \"b c\" \"say \"\"hi\"\"\" \"\""),
            (std::vector<std::string>{"/bin/echo", "a", "b c", "say \"hi\"", ""}));
  EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(FolderListing, ListsMatchingPlainFilesByNameWithTheirFacts) {
  TempFolder dir;
  dir.Put("m000042_b.gif", "12345");
  dir.Put("m000042_a.jpg", "");
  dir.Put("m000043_c.gif", "x");
  dir.Put(".m000042_hidden", "x");
  std::filesystem::create_directory(dir / "m000042_sub");

  Folder folder;
  std::string path = dir.Dir();
  path.pop_back();  // no trailing separator: the call adds one
  folder.ListFile(path, "m000042_*.*");
  EXPECT_EQ(path, dir.Dir());
  ASSERT_EQ(folder.Count(), 2);
  EXPECT_EQ(folder.Item(Variant(1))->FileName, "m000042_a.jpg");
  EXPECT_EQ(folder.Item(Variant(1))->FileSize, 0);
  auto second = folder.Item(Variant(2));
  EXPECT_EQ(second->FileName, "m000042_b.gif");
  EXPECT_EQ(second->FileSize, 5);
  EXPECT_EQ(second->FilePath, path);
  EXPECT_LT(std::abs(second->FileDate.serial - Now().serial), 1.0);

  // The same folder given with its separator lists the same files; a second
  // listing replaces the first.
  std::string with_separator = dir.Dir();
  folder.ListFile(with_separator, "*.gif");
  EXPECT_EQ(with_separator, dir.Dir());
  ASSERT_EQ(folder.Count(), 2);
  EXPECT_EQ(folder.Item(Variant(2))->FileName, "m000043_c.gif");

  folder.ListFile(with_separator, "");
  EXPECT_EQ(folder.Count(), 0);
  std::string empty;
  folder.ListFile(empty, "*.*");
  EXPECT_EQ(folder.Count(), 0);
  EXPECT_EQ(empty, "");
  std::string missing = dir / "missing";
  folder.ListFile(missing, "*.*");
  EXPECT_EQ(folder.Count(), 0);
}

TEST(FolderListing, BackslashPathsReachTheSameFiles) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "sub");
  dir.Put("sub/a.txt", "a");
  Folder folder;
  std::string path = dir.Dir();
  folder.ListFile(path, "sub\\*.txt");
  ASSERT_EQ(folder.Count(), 1);
  EXPECT_EQ(folder.Item(Variant(1))->FilePath, dir.Dir() + "sub/");
  EXPECT_EQ(folder.CopyFile(dir.Dir() + "sub\\a.txt", dir.Dir() + "sub\\b.txt"), 0);
  EXPECT_EQ(dir.Get("sub/b.txt"), "a");
}

TEST(FolderItems, PositionsFromOneKeysAndMissingEntriesRaise) {
  Folder folder;
  auto a = std::make_shared<AspFile>();
  a->FileName = "a";
  auto b = std::make_shared<AspFile>();
  b->FileName = "b";
  folder.Add(a);
  folder.Add(b, "second");
  EXPECT_EQ(folder.Item(Variant(1)), a);
  EXPECT_EQ(folder.Item(Variant(2.0)), b);
  EXPECT_EQ(folder.Item(Variant("SECOND")), b);
  EXPECT_THROW(folder.Item(Variant(0)), std::out_of_range);
  EXPECT_THROW(folder.Item(Variant(3)), std::out_of_range);
  EXPECT_THROW(folder.Item(Variant("first")), std::out_of_range);
}

TEST(FolderFiles, DelFileTakesOneFileOrEveryMatchOfAPattern) {
  TempFolder dir;
  dir.Put("m000042_a.gif", "a");
  dir.Put("m000042_b", "b");
  dir.Put("m000043_c.gif", "c");
  Folder folder;
  EXPECT_EQ(folder.DelFile(dir / "m000042_*.*"), 0);
  EXPECT_FALSE(dir.Has("m000042_a.gif"));
  EXPECT_FALSE(dir.Has("m000042_b"));
  EXPECT_TRUE(dir.Has("m000043_c.gif"));
  EXPECT_EQ(folder.DelFile(dir / "m000042_*.*"), 1);  // nothing left to match
  EXPECT_EQ(folder.DelFile(dir / "missing.gif"), 1);
  EXPECT_EQ(folder.DelFile(dir.Dir()), 1);  // a directory is not a file
  EXPECT_EQ(folder.DelFile(""), 1);
  EXPECT_EQ(folder.DelFile(dir / "m000043_c.gif"), 0);
  EXPECT_EQ(dir.Entries(), 0u);
}

TEST(FolderFiles, CopyAndRenameKeepTheirRules) {
  TempFolder dir;
  dir.Put("a", "first");
  dir.Put("b", "second");
  Folder folder;
  EXPECT_EQ(folder.CopyFile(dir / "a", dir / "c"), 0);
  EXPECT_EQ(dir.Get("c"), "first");
  EXPECT_EQ(folder.CopyFile(dir / "b", dir / "c"), 0);  // copies replace
  EXPECT_EQ(dir.Get("c"), "second");
  EXPECT_EQ(folder.CopyFile(dir / "missing", dir / "d"), 1);
  EXPECT_EQ(folder.CopyFile(dir.Dir(), dir / "d"), 1);

  EXPECT_EQ(folder.ReNameFile(dir / "a", dir / "b"), 1);  // the target exists
  EXPECT_EQ(dir.Get("a"), "first");
  EXPECT_EQ(dir.Get("b"), "second");
  std::filesystem::create_directory(dir / "sub");
  EXPECT_EQ(folder.ReNameFile(dir / "a", dir / "sub/a2"), 0);  // moves too
  EXPECT_FALSE(dir.Has("a"));
  EXPECT_EQ(dir.Get("sub/a2"), "first");
  EXPECT_EQ(folder.ReNameFile(dir / "missing", dir / "x"), 1);
  EXPECT_EQ(folder.ReNameFile(dir / "b", dir / "nodir/x"), 1);
}

TEST(FolderDirectories, MakeDirAndDelDirReportTheirFailures) {
  TempFolder dir;
  Folder folder;
  EXPECT_EQ(folder.MakeDir(dir / "new"), 0);
  dir.Put("new/f", "x");
  EXPECT_EQ(folder.MakeDir(dir / "new"), 1);  // exists: unchanged
  EXPECT_EQ(dir.Get("new/f"), "x");
  EXPECT_EQ(folder.MakeDir(dir / "a/b"), 1);  // parent missing
  EXPECT_FALSE(dir.Has("a"));
  EXPECT_EQ(folder.MakeDir(""), 1);
  EXPECT_EQ(folder.DelDir(dir / "new"), 1);  // not empty
  EXPECT_EQ(folder.DelFile(dir / "new\\f"), 0);
  EXPECT_EQ(folder.DelDir(dir / "new"), 0);
  EXPECT_FALSE(dir.Has("new"));
  EXPECT_EQ(folder.DelDir(dir / "new"), 1);
}

TEST(FolderPrograms, OnlyListedProgramsStartWithoutAShell) {
  TempFolder dir;
  Folder folder;
  SetAllowedPrograms({});
  try {
    folder.RunApplication("/bin/touch " + (dir / "made"));
    FAIL() << "an unlisted program started";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("allowed_programs"), std::string::npos);
  }
  SetAllowedPrograms({"/bin/touch"});
  // No shell: the ";" and the second command are arguments of touch.
  folder.RunApplication("/bin/touch \"" + (dir / "a b") + "\" " + (dir / ";") + " " + (dir / "c"));
  // Not waited for: wait until touch has made its last file.
  for (int i = 0; i < 1000 && !dir.Has("c"); ++i) usleep(10000);
  EXPECT_TRUE(dir.Has("a b"));
  EXPECT_TRUE(dir.Has(";"));
  EXPECT_TRUE(dir.Has("c"));
  EXPECT_THROW(folder.RunApplication("/bin/touch;id"), std::runtime_error);
  SetAllowedPrograms({"/no/such/program"});
  EXPECT_THROW(folder.RunApplication("/no/such/program"), std::runtime_error);
  SetAllowedPrograms({});
}

}  // namespace
}  // namespace qv
