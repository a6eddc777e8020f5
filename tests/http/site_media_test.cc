// The default site on a real server: the media files of a page. A teacher
// reaches the upload page from the page's menu, uploads a picture as
// Chromium sends it, and the page shows it from /media; the demo's pictures
// are media files of their pages; nothing outside the media folder can be
// deleted through the upload page.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/convert.h"
#include "site_server.h"

namespace qv::http {
namespace {

using testing::Browser;
using testing::Reply;

class SiteMedia : public testing::SiteSuite<SiteMedia> {
 public:
  static constexpr const char* kSiteName = "qvtome_site_media";

 protected:
  static std::filesystem::path Media() { return site_->data_dir() / "media" / "qvtome"; }
  static std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // A multipart body as Chromium writes it for the upload form: the file
  // inputs with bare names (an empty one for an input left empty), the
  // thumbnail box unticked, the submit button.
  static std::string ChromiumBody(const std::string& boundary, const std::string& name,
                                  const std::string& content) {
    const std::string dash = "--" + boundary + "\r\n";
    std::string body = dash + "Content-Disposition: form-data; name=\"file1\"; filename=\"" + name +
                       "\"\r\nContent-Type: image/gif\r\n\r\n" + content + "\r\n";
    body += dash +
            "Content-Disposition: form-data; name=\"file2\"; filename=\"\"\r\n"
            "Content-Type: application/octet-stream\r\n\r\n\r\n";
    body += dash + "Content-Disposition: form-data; name=\"qvTmUpload\"\r\n\r\nUpload\r\n";
    return body + "--" + boundary + "--\r\n";
  }
  static Reply PostUpload(const Browser& browser, const std::string& path, const std::string& name,
                          const std::string& content) {
    const std::string boundary = "----WebKitFormBoundaryq2Bv8Xc1Lm0Zr7Tk";
    return testing::Fetch(
        site_->port(),
        testing::Post(path, "multipart/form-data; boundary=" + boundary,
                      ChromiumBody(boundary, name, content),
                      browser.cookie().empty() ? "" : "Cookie: " + browser.cookie() + "\r\n"));
  }
};

// A GIF whose bytes hold line ends and a line that looks like a boundary.
const std::string kPicture = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\r\n", 15) +
                             "------WebKitFormBoundaryq2Bv8Xc1Lm0Zr7T\r\n" +
                             std::string("\x00\xff\x00;", 4);

TEST_F(SiteMedia, ATeacherUploadsAPictureThatThePageThenShows) {
  Browser teacher = Teacher();
  const std::string page = teacher.Open("/book.lp?id=6").body;
  ASSERT_TRUE(Has(page, "<a href=\"upload.lp?table=qvbook&id=6\">")) << page;
  Reply form = teacher.Open("/upload.lp?table=qvbook&id=6");
  EXPECT_EQ(form.status, 200);
  EXPECT_TRUE(
      Has(form.body, "ENCTYPE=\"multipart/form-data\" ACTION=\"/upload.lp?table=qvbook&amp;id=6\""))
      << form.body;

  Reply upload = PostUpload(teacher, "/upload.lp?table=qvbook&id=6", "star \xC3\xA9.gif", kPicture);
  EXPECT_EQ(upload.status, 200) << upload.body;
  const auto stored = Media() / "qvbook" / "2" / "m000006_star \xC3\xA9.gif";
  ASSERT_TRUE(std::filesystem::exists(stored)) << upload.body;
  EXPECT_EQ(FileText(stored), kPicture);
  EXPECT_TRUE(Has(upload.body, "m000006_star%20\xC3\xA9.gif")) << upload.body;

  const std::string shown = teacher.Open("/book.lp?id=6").body;
  const std::string src = "/media/qvtome/qvbook/2/m000006_star%20\xC3\xA9.gif";
  EXPECT_TRUE(Has(shown, "<p align=\"center\"><img src=\"" + src + "\"></p>")) << shown;
  Reply picture = teacher.Open("/media/qvtome/qvbook/2/m000006_star%20%C3%A9.gif");
  EXPECT_EQ(picture.status, 200);
  EXPECT_EQ(picture.body, kPicture);
  EXPECT_EQ(picture.Header("content-type"), "image/gif");
  // The staging folder is never served.
  EXPECT_EQ(teacher.Open("/media/qvtome/qvTmUpld.tmp/teacher/").status, 404);
}

TEST_F(SiteMedia, VisitorsWithoutTheUploadRightStoreNothing) {
  Browser visitor(site_->port());
  Reply upload = PostUpload(visitor, "/upload.lp?table=qvbook&id=8", "x.gif", "GIF");
  EXPECT_EQ(upload.status, 200);
  EXPECT_FALSE(std::filesystem::exists(Media() / "qvbook" / "2" / "m000008_x.gif"));
  EXPECT_FALSE(Has(upload.body, "ENCTYPE"));
}

TEST_F(SiteMedia, TheDemoPicturesAreMediaFilesOfTheirPages) {
  EXPECT_EQ(Browser(site_->port()).Open("/media/qvtome/qvmedia/4/m000003_moon.svg").status, 200);
  Browser teacher = Teacher();
  const std::string list = teacher.Open("/upload.lp?table=qvmedia&id=3").body;
  EXPECT_TRUE(Has(list, "qvTmMPath/qvmedia/4/m000003_moon.svg")) << list;
  EXPECT_TRUE(Has(list, "href=\"/media/qvtome/qvmedia/4/m000003_moon.svg\""));
}

TEST_F(SiteMedia, DeleteFileCannotLeaveThePagesFiles) {
  Browser teacher = Teacher();
  const std::string db = (site_->data_dir() / "qvtome.db").string();
  // On PostgreSQL the database is no file: a file of its name stands in.
  if (::qv::testing::OnPostgres()) std::ofstream(db) << "stand-in";
  for (const std::string name : {"../../qvtome.db", "../../../qvtome.db", "%2e%2e%2fqvtome.db"}) {
    Reply reply = teacher.Open("/upload.lp?table=qvbook&id=6&deletefile=" + name);
    EXPECT_EQ(reply.status, 200);
    EXPECT_TRUE(Has(reply.body, "qvError")) << reply.body;
  }
  EXPECT_TRUE(std::filesystem::exists(db));
  EXPECT_EQ(testing::QueryFirst("SELECT count(*) FROM qvbook WHERE ID=6"), "1");
}

}  // namespace
}  // namespace qv::http
