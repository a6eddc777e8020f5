// qvTome.Folder() and its AspFile entries from page scripts.
#include <gtest/gtest.h>

#include "script_fixture.h"

namespace qv::testing {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class FolderBindings : public ScriptTest {};

TEST_F(FolderBindings, ListFileReturnsThePathAndEntriesReadAsProperties) {
  std::filesystem::create_directory(site_ / "media");
  Write("media/m000001_a.gif", "abc");
  Write("media/m000001_b.txt", "");
  const std::string media = (site_ / "media").string();
  EXPECT_EQ(Run("local f = qvTome.Folder()\n"
                "local path = f:ListFile('" +
                media +
                "', 'm000001_*.*')\n"
                "Response.Write(path:sub(-6) .. ' ' .. f.Count)\n"
                "local e = f:Item(1)\n"
                "Response.Write(' ' .. e.FileName .. ' ' .. e.FileSize .. ' ' .. f(2).FileName)\n"
                "Response.Write(' ' .. tostring(e.FilePath == path) .. ' ' .. type(e.FileDate))\n"
                "e.FileSize = 7 e.FileName = 'x'\n"
                "Response.Write(' ' .. f(1).FileSize .. f(1).FileName)"),
            "media/ 2 m000001_a.gif 3 m000001_b.txt true userdata 7x");
  EXPECT_TRUE(Has(ErrorOf("qvTome.Folder():Item(1)"), "subscript out of range"));
}

TEST_F(FolderBindings, FileOperationsAnswerZeroOrOne) {
  Write("a.txt", "a");
  const std::string dir = site_.string() + "/";
  EXPECT_EQ(Run("local f = qvTome.Folder()\n"
                "Response.Write(f:CopyFile('" +
                dir + "a.txt', '" + dir +
                "b.txt'))\n"
                "Response.Write(f:ReNameFile('" +
                dir + "a.txt', '" + dir +
                "b.txt'))\n"
                "Response.Write(f:MakeDir('" +
                dir + "d') .. f:MakeDir('" + dir +
                "d'))\n"
                "Response.Write(f:DelDir('" +
                dir + "d') .. f:DelFile('" + dir + "*.txt'))"),
            "010100");
  EXPECT_TRUE(Has(ErrorOf("qvTome.Folder():RunApplication('/bin/true')"),
                  "not listed in [server] allowed_programs"));
}

TEST_F(FolderBindings, BookAnswersUploadLookupsBeforeAnyUpload) {
  EXPECT_EQ(Run("local b = qvTome.Book()\n"
                "Response.Write(b:RequestForm('x') .. '|' .. b:RequestForm() .. '|' ..\n"
                "  b:RequstUploaded(0, 'size') .. '|' .. b:RequstUploaded())"),
            "||0|0");
  EXPECT_TRUE(Has(ErrorOf("qvTome.Book():RequstUploaded(40000)"), "Overflow"));
}

}  // namespace
}  // namespace qv::testing
