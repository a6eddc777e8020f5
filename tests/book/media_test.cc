// Media files of a page: upload into the book's media folder with the page
// prefix, thumbnails, picture tags, a new page from an upload, the file
// list with its deletion, and the refusals. Each request runs as the site's
// upload page runs it: Init, OpenPage, OpenBook, FilesUpload.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/course_tree.h"
#include "core/encode.h"
#include "data/settings.h"
#include "host/host_objects.h"
#include "session/messages.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

// One part of a multipart body: a field (no file name) or a file.
struct Part {
  std::string name;
  std::string value;          // the field's value or the file's content
  std::string filename = "";  // set for a file part
  bool file = false;
};
Part FormField(std::string name, std::string value) { return {std::move(name), std::move(value)}; }
Part File(std::string name, std::string filename, std::string content) {
  return {std::move(name), std::move(content), std::move(filename), true};
}

constexpr const char* kBoundary = "----WebKitFormBoundary7MA4YWxkTrZu0gW";

// The body as Chromium sends it: bare file names, a Content-Type per file.
std::string Body(const std::vector<Part>& parts) {
  std::string body;
  for (const Part& p : parts) {
    body += std::string("--") + kBoundary + "\r\n";
    body += "Content-Disposition: form-data; name=\"" + p.name + "\"";
    if (p.file) body += "; filename=\"" + p.filename + "\"";
    body += "\r\n";
    if (p.file) body += "Content-Type: application/octet-stream\r\n";
    body += "\r\n" + p.value + "\r\n";
  }
  return body + "--" + kBoundary + "--\r\n";
}

class MediaTest : public CourseTreeTest {
 protected:
  MediaTest() {
    Add(42, 10, 2, 6, "Photos");
    media_ = dir_path_ / "media" / "qvtest";
  }

  struct Result {
    std::string output;
    std::string errors;
    std::string redirect;
  };

  // One request of the upload page: query, and a posted body when parts are
  // given. rights, when set, replaces the rights OpenBook computed.
  Result Run(const std::string& query, const std::vector<Part>& parts = {},
             const std::string& user = "teacher", const std::string& rights = "-",
             const std::string& addMsg = "New page", bool list_only = false) {
    host.request = MemoryRequest();
    host.request.SetQueryString(query);
    host.request.SetServerVariable("SCRIPT_NAME", "/site/upload.lp");
    if (!parts.empty()) {
      host.request.SetServerVariable("REQUEST_METHOD", "POST");
      host.request.SetServerVariable("CONTENT_TYPE",
                                     std::string("multipart/form-data; boundary=") + kBoundary);
      host.request.SetBody(Body(parts));
    }
    LogIn(user, "", user == "student" ? "readers" : "");
    SysVar().Init("qvtest");
    UseMediaFolder();
    if (!max_k_.empty()) TheSettings().UploadMaxK = max_k_;
    host.response.Clear();
    Book page;
    Result result;
    try {
      page.OpenPage("qvbook");
      page.OpenBook();
      if (rights != "-") TheSettings().BookAuthorization = rights;
      host.response.Clear();
      if (list_only) {
        page.FilesList();
      } else {
        page.FilesUpload(addMsg);
      }
    } catch (const ResponseEnded&) {
      result.redirect = host.response.RedirectUrl();
    }
    result.output = Output();
    result.errors = page.GetErrorMsg();
    return result;
  }
  Result Upload(const std::string& id, const std::vector<Part>& parts) {
    return Run("table=qvbook&id=" + id, parts);
  }

  // The media folders as the site's vMediaDir "/media/" gives them.
  void UseMediaFolder() {
    Settings& s = TheSettings();
    s.vMediaDir = "/media/qvtest/";
    s.pMediaDir = media_.string() + "/";
    s.vUploadTmpDir = s.vMediaDir + "qvTmUpld.tmp/";
    s.pUploadTmpDir = s.pMediaDir + "qvTmUpld.tmp/";
  }

  fs::path BookFolder() const { return media_ / "qvbook" / "1"; }
  bool Stored(const std::string& name) const { return fs::is_regular_file(BookFolder() / name); }
  void Put(const std::string& name, const std::string& content) {
    fs::create_directories(BookFolder());
    std::ofstream(BookFolder() / name, std::ios::binary) << content;
  }
  std::string Sql(const std::string& sql) const {
    QueryResult rows = const_cast<MediaTest*>(this)->Exec(sql);
    return rows.rows.empty() ? "<none>" : NullToStr(rows.rows[0][0]);
  }
  std::string Content(int id, const std::string& language = "e") const {
    return Sql("SELECT dbContent_" + language + " FROM qvbook WHERE ID=" + std::to_string(id));
  }
  static size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }

  fs::path dir_path_ = fs::temp_directory_path() / ("qvtome-media-" + std::to_string(::getpid()));
  fs::path media_;
  std::string max_k_;  // UploadMaxK of the requests, when set

 public:
  ~MediaTest() override {
    std::error_code ignored;
    fs::remove_all(dir_path_, ignored);
  }
};

const std::string kPhotoTag =
    "<p align=\"center\"><img src=\"qvTmMPath/qvbook/1/m000042_photo.JPG\"></p>";

TEST_F(MediaTest, PagePrefixesAreDistinctForEveryIdAndStagingNamesStayOneFolder) {
  EXPECT_EQ(book::PagePrefix(Variant(42)), "m000042_");
  EXPECT_EQ(book::PagePrefix(Variant("999999")), "m999999_");
  EXPECT_EQ(book::PagePrefix(Variant(1000000)), "m1000000_");
  EXPECT_NE(book::PagePrefix(Variant(1000042)), book::PagePrefix(Variant(42)));
  for (const std::string& id :
       std::vector<std::string>{"..", ".", "a/b", "a\\b", "", std::string("x\0y", 3), "%2F"}) {
    const std::string folder = book::StagingFolderName(id);
    EXPECT_FALSE(folder.empty());
    EXPECT_EQ(folder.find_first_of("/\\."), std::string::npos) << folder;
    EXPECT_EQ(folder.find('\0'), std::string::npos);
  }
  EXPECT_EQ(book::StagingFolderName("teacher"), "teacher");
  EXPECT_NE(book::StagingFolderName("a/b"), book::StagingFolderName("a_b"));
}

TEST_F(MediaTest, AnUploadIsStoredWithThePagePrefixAndShownInBothContents) {
  Result r = Upload("42", {File("file1", "photo.JPG", "0123456789"), File("file2", "", ""),
                           FormField("qvTmUpload", "Upload")});
  EXPECT_EQ(r.errors, "");
  EXPECT_TRUE(Stored("m000042_photo.JPG")) << r.output;
  EXPECT_EQ(Content(42), kPhotoTag);
  EXPECT_EQ(Content(42, "n"), kPhotoTag);
  // The staging file was moved, not copied.
  EXPECT_TRUE(fs::is_empty(media_ / "qvTmUpld.tmp" / "teacher"));
  // The list shows it with its reference, download and delete links.
  EXPECT_NE(r.output.find("qvTmMPath/qvbook/1/m000042_photo.JPG<br>"), std::string::npos);
  EXPECT_NE(r.output.find("href=\"/media/qvtest/qvbook/1/m000042_photo.JPG\""), std::string::npos);
  EXPECT_NE(r.output.find("ConfirmDelete(&quot;m000042_photo.JPG&quot;)"), std::string::npos);
  // The form posts back to this page.
  EXPECT_NE(r.output.find("ACTION=\"/site/upload.lp?table=qvbook&amp;id=42\""), std::string::npos);
  EXPECT_NE(r.output.find("name=\"qvTmUploadNew\""), std::string::npos);

  // The same picture again replaces the file and adds no second tag; a name
  // with the prefix already gets no second one.
  Upload("42", {File("file1", "photo.JPG", "9876543210"), File("file2", "m000042_x.gif", "GIF")});
  EXPECT_EQ(Count(Content(42), "m000042_photo.JPG"), 1u) << Content(42);
  std::ifstream in(BookFolder() / "m000042_photo.JPG");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "9876543210");
  EXPECT_TRUE(Stored("m000042_x.gif"));
  EXPECT_FALSE(Stored("m000042_m000042_x.gif"));
  EXPECT_NE(Content(42).find("qvTmMPath/qvbook/1/m000042_x.gif"), std::string::npos);

  // A content that already names photo.jpg gets no tag.
  Exec("UPDATE qvbook SET dbContent_e='See photo.jpg', dbContent_n='' WHERE ID=11");
  Upload("11", {File("file1", "photo.JPG", "0123")});
  EXPECT_TRUE(Stored("m000011_photo.JPG"));
  EXPECT_EQ(Content(11), "See photo.jpg");
  // Names that need escaping are escaped in the tag.
  Upload("11", {File("file1", "my pic#1.gif", "GIF")});
  EXPECT_NE(Content(11).find("m000011_my%20pic%231.gif\"></p>"), std::string::npos);
}

TEST_F(MediaTest, ASmallFirstPictureBecomesTheThumbnailALargeOneStaysAFile) {
  Result r = Upload(
      "42", {File("file1", "icon.GIF", std::string(5000, 'g')), FormField("FirstThumbNail", "ON")});
  EXPECT_EQ(r.errors, "");
  EXPECT_TRUE(Stored("m000042_ThumbNail.gif"));
  EXPECT_FALSE(Stored("m000042_icon.GIF"));
  EXPECT_EQ(Sql("SELECT dbThumbNail FROM qvbook WHERE ID=42"), "1");
  EXPECT_EQ(Content(42), "");
  // The contents list shows it.
  Open("42", "teacher");
  TheSettings().vMediaDir = "/media/qvtest/";
  book.ListContents(1);
  EXPECT_NE(Output().find("<img src=\"/media/qvtest/qvbook/1/m000042_ThumbNail.gif\""),
            std::string::npos)
      << Output();

  Exec("UPDATE qvbook SET dbThumbNail=0 WHERE ID=42");
  Upload("42", {File("file1", "big.gif", std::string(7000, 'g')), FormField("FirstThumbNail", "ON"),
                File("file2", "other.jpg", "JPG")});
  EXPECT_TRUE(Stored("m000042_big.gif"));
  EXPECT_EQ(Sql("SELECT dbThumbNail FROM qvbook WHERE ID=42"), "0");
  // No tag for the first file; the second is a picture of the page.
  EXPECT_EQ(Content(42),
            "<p align=\"center\"><img src=\"qvTmMPath/qvbook/1/m000042_other.jpg\"></p>");

  // Deleting the thumbnail clears the page's mark.
  Exec("UPDATE qvbook SET dbThumbNail=1 WHERE ID=42");
  r = Run("table=qvbook&id=42&deletefile=m000042_ThumbNail.gif");
  EXPECT_FALSE(Stored("m000042_ThumbNail.gif"));
  EXPECT_NE(r.output.find("m000042_ThumbNail.gif<br>"), std::string::npos);
  EXPECT_EQ(Sql("SELECT dbThumbNail FROM qvbook WHERE ID=42"), "0");
}

TEST_F(MediaTest, TooLargeEmptyAndUnmovableFilesAreReportedByNameAndGetNoTag) {
  fs::create_directories(BookFolder() / "m000042_blocked.jpg");  // a folder in the way
  max_k_ = "1";
  Result r = Upload(
      "42", {File("file1", "blocked.jpg", "JPG"), File("file2", "empty.gif", ""),
             File("file3", "fine.gif", "GIF"), File("file4", "huge.gif", std::string(1025, 'g'))});
  EXPECT_NE(r.output.find(GetMsg("ErrorUploadFileTooBig", 1) + "huge.gif"), std::string::npos);
  EXPECT_FALSE(Stored("m000042_huge.gif"));
  EXPECT_NE(r.output.find(GetMsg("ErrorUploadFileNotStored", 1) + "blocked.jpg"), std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find(GetMsg("ErrorUploadFileNotFoundOrZeroLength", 1) + "empty.gif"),
            std::string::npos);
  EXPECT_EQ(Content(42),
            "<p align=\"center\"><img src=\"qvTmMPath/qvbook/1/m000042_fine.gif\"></p>");
  EXPECT_FALSE(fs::exists(media_ / "qvTmUpld.tmp" / "teacher" / "blocked.jpg"));
}

TEST_F(MediaTest, UploadingNeedsTheWordUploadListingNeedsUp) {
  Put("m000042_a.gif", "GIF");
  // "up" (and "update") lists the files but uploads and deletes nothing.
  for (const std::string rights : {"read,up", "read,author,update"}) {
    Result r = Run("table=qvbook&id=42&deletefile=m000042_a.gif",
                   {File("file1", "photo.JPG", "0123456789")}, "teacher", rights);
    EXPECT_EQ(r.errors, "ErrorNotAuthToUpload") << rights;
    EXPECT_FALSE(Stored("m000042_photo.JPG"));
    r = Run("table=qvbook&id=42&deletefile=m000042_a.gif", {}, "teacher", rights, "", true);
    EXPECT_NE(r.output.find("m000042_a.gif"), std::string::npos) << rights;
    EXPECT_EQ(r.output.find("ConfirmDelete"), std::string::npos);
    EXPECT_TRUE(Stored("m000042_a.gif"));
  }
  // A reader sees no list at all.
  Result r = Run("table=qvbook&id=42", {}, "student", "-", "", true);
  EXPECT_EQ(r.output, "");
  // Without a staging folder nothing happens.
  host.response.Clear();
  TheSettings().pUploadTmpDir = "";
  Book page;
  page.FilesUpload();
  EXPECT_EQ(page.GetErrorMsg(), "ErrorNoUploadPath");
}

TEST_F(MediaTest, DeleteFileDeletesOnlyAFileOfThisPage) {
  Put("m000042_a.gif", "GIF");
  Put("m000011_b.gif", "GIF");
  std::ofstream(media_ / "qvbook" / "keep.txt") << "x";
  // Wildcards: nothing deleted, no message.
  for (const std::string pattern : {"m000042_*", "m000042_?.gif", "*.*"}) {
    Result r = Run("table=qvbook&id=42&deletefile=" + UrlEncode(pattern));
    EXPECT_EQ(r.output.find(GetMsg("msgFileDeleteFails", 1)), std::string::npos) << pattern;
    EXPECT_EQ(r.output.find(GetMsg("msgFileDeleteSuccess", 1)), std::string::npos);
    EXPECT_TRUE(Stored("m000042_a.gif"));
  }
  // Other folders, other pages: refused by name, nothing deleted.
  const std::string db = "../../../qvtest.db";
  for (const std::string& name : std::vector<std::string>{db, "m000011_b.gif", "../keep.txt",
                                                          "m000042_/../../keep.txt", "m000042_"}) {
    Result r = Run("table=qvbook&id=42&deletefile=" + UrlEncode(name));
    EXPECT_NE(r.output.find(GetMsg("msgFileDeleteFails", 1) + " " + HtmlEncode(name) + "<br>"),
              std::string::npos)
        << name << r.output;
  }
  EXPECT_TRUE(Stored("m000011_b.gif"));
  EXPECT_TRUE(fs::exists(media_ / "qvbook" / "keep.txt"));
  EXPECT_EQ(Sql("SELECT count(*) FROM qvbook WHERE ID=42"), "1");  // the database is there
  // The echoed name is encoded.
  Result r = Run("table=qvbook&id=42&deletefile=" + UrlEncode("<b>x</b>"));
  EXPECT_EQ(r.output.find("<b>x"), std::string::npos);
  EXPECT_NE(r.output.find("&lt;b&gt;x&lt;/b&gt;"), std::string::npos);
  // The page's own file.
  r = Run("table=qvbook&id=42&deletefile=m000042_a.gif");
  EXPECT_NE(r.output.find(GetMsg("msgFileDeleteSuccess", 1) + " m000042_a.gif<br>"),
            std::string::npos);
  EXPECT_FALSE(Stored("m000042_a.gif"));
  EXPECT_NE(r.output.find(GetMsg("msgNoFiles", 1)), std::string::npos);
}

TEST_F(MediaTest, APageWithoutFilesListsOnlyTheNoFilesMessage) {
  Result r = Run("table=qvbook&id=42", {}, "teacher", "-", "", true);
  EXPECT_EQ(r.output, GetMsg("msgNoFiles", 1));
}

TEST_F(MediaTest, FileNamesAreEncodedForTextAddressAndScript) {
  const std::string name = "m000042_\xC3\xA9t\xC3\xA9 & \"q\" <x>'.gif";
  Put(name, "GIF");
  Result r = Run("table=qvbook&id=42");
  EXPECT_EQ(r.output.find("<x>"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("href=\"/media/qvtest/qvbook/1/"
                          "m000042_\xC3\xA9t\xC3\xA9%20%26%20%22q%22%20%3Cx%3E%27.gif\""),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("ConfirmDelete(&quot;m000042_\\u00e9t\\u00e9 \\u0026 \\u0022q\\u0022 "
                          "\\u003cx\\u003e\\u0027.gif&quot;)"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("?deletefile=\"+encodeURIComponent(file)+\"&table=qvbook&id=42\";\r\n"),
            std::string::npos);
}

TEST_F(MediaTest, ANewPageFromAnUploadGetsTheFilesAndItsPicturesOnce) {
  Result r = Upload("42", {File("file1", "moon.jpg", "JPG"), File("file2", "notes.txt", "text"),
                           FormField("qvTmUploadNew", "New page")});
  const std::string id = Sql("SELECT max(ID) FROM qvbook");
  ASSERT_NE(id, "42");
  EXPECT_EQ(r.redirect, "/site/upload.lp?table=qvbook&id=" + id + "&qvAction=rearrange");
  std::string row;
  for (const char* field : {"dbPID", "dbTitle_e", "dbTitle_n", "dbOrder", "dbOwnerID",
                            "dbPageLevel", "dbBookID", "dbUserID"}) {
    row += Sql(std::string("SELECT ") + field + " FROM qvbook WHERE ID=" + id) + "|";
  }
  EXPECT_EQ(row, "10|moon|moon|1000|teacher|2|1|teacher|");
  const std::string prefix = book::PagePrefix(Variant(id));
  EXPECT_TRUE(Stored(prefix + "moon.jpg"));
  EXPECT_TRUE(Stored(prefix + "notes.txt"));
  // The redirect's request adds the page's pictures; a reload adds nothing.
  const std::string tag =
      "<p align=\"center\"><img src=\"qvTmMPath/qvbook/1/" + prefix + "moon.jpg\"></p>";
  Run("table=qvbook&id=" + id + "&qvAction=rearrange");
  EXPECT_EQ(Content(std::stoi(id)), tag);
  EXPECT_EQ(Content(std::stoi(id), "n"), tag);
  Run("table=qvbook&id=" + id + "&qvAction=rearrange");
  EXPECT_EQ(Content(std::stoi(id)), tag);
}

TEST_F(MediaTest, TheEditFormShowsTheUploadFormAndListAimedAtTheUploadPage) {
  Put("m000042_a.gif", "GIF");
  Open("42", "teacher", "", "&qvAction=edit");
  TheSettings().vUploadTmpDir = "/media/qvtest/qvTmUpld.tmp/";
  UseMediaFolder();
  book.ShowPage();
  EXPECT_NE(
      Output().find("ENCTYPE=\"multipart/form-data\" ACTION=\"upload.lp?table=qvbook&amp;id=42\""),
      std::string::npos)
      << Output();
  EXPECT_NE(Output().find("document.location=\"upload.lp?deletefile="), std::string::npos);
  EXPECT_NE(Output().find("m000042_a.gif"), std::string::npos);
}

TEST_F(MediaTest, PageScriptsCallTheMediaMembers) {
  Put("m000042_a.gif", "GIF");
  Query("id=42");
  LogIn("teacher");
  const std::string out = RunScript(
      "local sv = qvTome.SysVar()\n"
      "sv:Init('qvtest')\n"
      "local b = qvTome.Book()\n"
      "b:OpenPage('qvbook')\n"
      "b:OpenBook()\n"
      "Response.Write('[')\n"
      "b:FilesList()\n"
      "Response.Write(']')\n"
      "b:FilesUpload()\n");
  // Without a media folder there is no list, and the upload reports it.
  EXPECT_NE(out.find("[]"), std::string::npos) << out;
  EXPECT_NE(out.find(GetMsg("ErrorNoUploadPath", 1)), std::string::npos);
}

}  // namespace
}  // namespace qv::testing
