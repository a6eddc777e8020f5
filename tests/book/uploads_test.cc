// Book.RequestForm and Book.RequstUploaded over a parsed upload.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "book/book.h"
#include "core/convert.h"
#include "data/settings.h"
#include "files/upload.h"
#include "host/memory_host.h"
#include "session/current_page.h"

namespace qv {
namespace {

const std::string kSep(1, '\x1b');

class Uploads : public ::testing::Test {
 protected:
  Uploads() {
    BeginRequestState();
    Host().host = host.Objects();
    staging =
        std::filesystem::temp_directory_path() / ("qvtome-uploads-" + std::to_string(::getpid()));
    std::filesystem::create_directories(staging);
    TheSettings().TableName = "mybook";
    TheSettings().vMediaDir = "/media/lib/";
    TheSettings().pMediaDir = "/srv/data/media/lib/";
    ThePage().lBookID = 7;
  }
  ~Uploads() override { std::filesystem::remove_all(staging); }

  // Posts `parts` (each headers, content) and parses them into the table.
  void Upload(const std::vector<std::pair<std::string, std::string>>& parts, int16_t limitK = 1) {
    std::string body;
    for (const auto& [headers, content] : parts) {
      body += "--XyZ\r\nContent-Disposition: form-data; " + headers + "\r\n\r\n" + content + "\r\n";
    }
    host.request.SetBody(body + "--XyZ--\r\n");
    TheUpload().UploadTable = ParseUploadBody(staging.string() + "/", limitK);
  }

  MemoryHost host;
  std::filesystem::path staging;
  Book book;
};

TEST_F(Uploads, BeforeAnUploadFieldsAreEmptyAndTheMediaFolderIsKnown) {
  EXPECT_EQ(ToStr(book.RequestForm("title")), "");
  EXPECT_EQ(ToStr(book.RequestForm()), "");
  EXPECT_EQ(book.RequstUploaded(0, "size"), Variant(0));
  EXPECT_EQ(book.RequstUploaded(), Variant(0));
  EXPECT_EQ(ToStr(book.RequstUploaded(0, "VPath")), "/media/lib/mybook/7/");
  EXPECT_EQ(ToStr(book.RequstUploaded(3, "ppath")), "/srv/data/media/lib/mybook/7/");
}

TEST_F(Uploads, FieldsAnswerInAnyCaseAndFileInputsGiveTheirBaseName) {
  Upload({{"name=\"Title\"", "abc"},
          {"name=\"file1\"; filename=\"\"", ""},
          {"name=\"file2\"; filename=\"C:\\dir\\photo.JPG\"\r\nContent-Type: image/jpeg",
           "0123456789"}});
  EXPECT_EQ(ToStr(book.RequestForm("TITLE")), "abc");
  EXPECT_EQ(ToStr(book.RequestForm("title")), "abc");
  EXPECT_EQ(ToStr(book.RequestForm("File2")), "photo.JPG");
  EXPECT_EQ(ToStr(book.RequestForm("file1")), "");
  EXPECT_EQ(ToStr(book.RequestForm("missing")), "");
  EXPECT_EQ(ToStr(book.RequstUploaded(0, "")), "1");
  EXPECT_EQ(ToStr(book.RequstUploaded(1, "name")), "photo");
  EXPECT_EQ(ToStr(book.RequstUploaded(1, "Extention")), ".JPG");
  EXPECT_EQ(ToStr(book.RequstUploaded(1, "fullname")), "photo.JPG");
  EXPECT_EQ(book.RequstUploaded(1, "size"), Variant(int64_t{10}));
  EXPECT_EQ(ToStr(book.RequstUploaded(1, "colour")), "");
  EXPECT_EQ(ToStr(book.RequstUploaded(5, "size")), "");
  EXPECT_TRUE(std::filesystem::exists(staging / "photo.JPG"));

  EXPECT_EQ(ToStr(book.RequestForm()),
            kSep + "&fieldname =title" + kSep + "&fieldvalue =abc" + kSep + "&filename =" + kSep +
                "&filesize =" + kSep + "&fieldname =file1" + kSep + "&fieldvalue =" + kSep +
                "&filename =" + kSep + "&filesize =" + kSep + "&fieldname =file2" + kSep +
                "&fieldvalue =" + kSep + "&filename =photo.JPG" + kSep + "&filesize =10");
}

TEST_F(Uploads, TooLargeFilesCountWithSizeMinusOneAndNamesWithoutDotHaveNoExtension) {
  Upload({{"name=\"a\"; filename=\"README\"", std::string(1024, 'r')},
          {"name=\"b\"; filename=\"big.gif\"", std::string(1025, 'b')}});
  EXPECT_EQ(ToStr(book.RequstUploaded(0, "")), "2");
  EXPECT_EQ(ToStr(book.RequstUploaded(1, "name")), "README");
  EXPECT_EQ(ToStr(book.RequstUploaded(1, "extention")), "");
  EXPECT_EQ(ToStr(book.RequstUploaded(1, "size")), "1024");
  EXPECT_EQ(ToStr(book.RequstUploaded(2, "size")), "-1");
  EXPECT_FALSE(std::filesystem::exists(staging / "big.gif"));
}

}  // namespace
}  // namespace qv
