#include "files/multipart.h"

#include <gtest/gtest.h>

#include "core/convert.h"
#include "files/upload.h"
#include "host/memory_host.h"
#include "temp_folder.h"

namespace qv {
namespace {

using testing::TempFolder;
using FS = UploadPart::FileState;

constexpr const char* kChromium = "----WebKitFormBoundary7MA4YWxkTrZu0gW";

// A multipart body: parts of (headers, content), delimited by "--" boundary.
struct Body {
  std::string boundary = kChromium;
  std::string text;
  Body& Field(const std::string& name, const std::string& value) {
    return Part("Content-Disposition: form-data; name=\"" + name + "\"", value);
  }
  Body& File(const std::string& name, const std::string& filename, const std::string& content,
             const std::string& type = "application/octet-stream") {
    return Part("Content-Disposition: form-data; name=\"" + name + "\"; filename=\"" + filename +
                    "\"\r\nContent-Type: " + type,
                content);
  }
  Body& Part(const std::string& headers, const std::string& content) {
    text += "--" + boundary + "\r\n" + headers + "\r\n\r\n" + content + "\r\n";
    return *this;
  }
  std::string End() const { return text + "--" + boundary + "--\r\n"; }
};

// Parses `body` fed in pieces of `piece` bytes.
struct Parsed {
  bool ok;
  std::string error;
  std::vector<UploadPart> parts;
};
Parsed Parse(const std::string& body, const std::string& dir, int64_t limit = 1 << 20,
             size_t piece = 7) {
  MultipartParser parser(dir, limit);
  for (size_t i = 0; i < body.size(); i += piece) {
    if (!parser.Feed(std::string_view(body).substr(i, piece))) break;
  }
  const bool ok = parser.Finish();
  return {ok, parser.Error(), parser.Parts()};
}

TEST(MultipartParser, ChromiumBodyWithBareAndUtf8NamesInAnyPieceSize) {
  TempFolder dir;
  const std::string body = Body()
                               .Field("Title", "abc")
                               .File("file1", "photo.JPG", "0123456789", "image/jpeg")
                               .File("file2", "caf\xC3\xA9 \xE2\x82\xAC.txt", "x")
                               .Field("Note", "gr\xC3\xBC\xC3\x9F \xFF")
                               .End();
  for (size_t piece : {size_t{1}, size_t{3}, size_t{64}, body.size()}) {
    SCOPED_TRACE(piece);
    Parsed p = Parse(body, dir.Dir(), 1 << 20, piece);
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.parts.size(), 4u);
    EXPECT_EQ(p.parts[0].name, "title");
    EXPECT_EQ(p.parts[0].value, "abc");
    EXPECT_EQ(p.parts[0].file, FS::kNone);
    EXPECT_EQ(p.parts[1].file_name, "photo.JPG");
    EXPECT_EQ(p.parts[1].size, 10);
    EXPECT_EQ(p.parts[2].file_name, "caf\xC3\xA9 \xE2\x82\xAC.txt");
    EXPECT_EQ(p.parts[3].value, "gr\xC3\xBC\xC3\x9F \xEF\xBF\xBD");  // invalid byte replaced
    EXPECT_EQ(dir.Get("photo.JPG"), "0123456789");
    EXPECT_EQ(dir.Get("caf\xC3\xA9 \xE2\x82\xAC.txt"), "x");
  }
}

TEST(MultipartParser, BinaryContentWithLineEndsAndBoundaryLikeBytesIsKeptExactly) {
  TempFolder dir;
  Body body;
  body.boundary = "---------------------------9051914041544843365972754266";  // Firefox
  std::string content("\r\n\r\n--", 6);
  content += std::string("\0\x01\xFF\r", 4) + "--" + body.boundary + "X\r\n" + "\r\n--" +
             body.boundary.substr(0, 20) + "\r\n--" + body.boundary + " \tZ";
  for (int i = 0; i < 256; ++i) content += static_cast<char>(i);
  content += "\r";
  const std::string text = body.File("f", "bin.dat", content).End();
  for (size_t piece : {size_t{1}, size_t{5}, size_t{4096}}) {
    Parsed p = Parse(text, dir.Dir(), 1 << 20, piece);
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.parts.size(), 1u);
    EXPECT_EQ(p.parts[0].size, static_cast<int64_t>(content.size()));
    EXPECT_EQ(dir.Get("bin.dat"), content);
  }
}

TEST(MultipartParser, FileNamesAreCutToTheirBaseAndEmptyInputsStoreNothing) {
  TempFolder dir;
  Parsed p = Parse(Body()
                       .File("file1", "", "")
                       .File("file2", "C:\\dir\\photo.JPG", "0123456789", "image/jpeg")
                       .File("file3", "album/b.gif", "gif")
                       .End(),
                   dir.Dir());
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.parts[0].file, FS::kNoFile);
  EXPECT_EQ(p.parts[0].file_name, "");
  EXPECT_EQ(p.parts[1].file_name, "photo.JPG");
  EXPECT_EQ(p.parts[2].file_name, "b.gif");
  EXPECT_EQ(dir.Entries(), 2u);
  EXPECT_EQ(dir.Get("photo.JPG"), "0123456789");
}

TEST(MultipartParser, ExtraHeadersAndUnquotedOrOddlyCasedParametersAreAccepted) {
  TempFolder dir;
  Parsed p =
      Parse(Body()
                .Part("content-type: text/plain; charset=utf-8\r\n"
                      "CONTENT-DISPOSITION: form-data; filename=\"a;b.txt\"; NAME=File1",
                      "ab")
                .Part("Content-Disposition: form-data; name=\"x\"\r\nContent-Type: text/plain"
                      "\r\nX-Extra: 1",
                      "value")
                .End(),
            dir.Dir());
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.parts[0].name, "file1");
  EXPECT_EQ(p.parts[0].file_name, "a;b.txt");
  EXPECT_EQ(p.parts[1].value, "value");
  EXPECT_EQ(dir.Get("a;b.txt"), "ab");
}

TEST(MultipartParser, AFileOfExactlyTheLimitIsKeptAndOneByteMoreIsRemoved) {
  TempFolder dir;
  Parsed p = Parse(Body()
                       .File("a", "exact.bin", std::string(2048, 'e'))
                       .File("b", "over.bin", std::string(2049, 'o'))
                       .File("c", "empty.bin", "")
                       .End(),
                   dir.Dir(), 2048, 100);
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.parts[0].size, 2048);
  EXPECT_EQ(p.parts[0].file, FS::kStored);
  EXPECT_EQ(p.parts[1].size, -1);
  EXPECT_EQ(p.parts[1].file, FS::kTooLarge);
  EXPECT_EQ(p.parts[2].size, 0);
  EXPECT_EQ(p.parts[2].file, FS::kStored);
  EXPECT_TRUE(dir.Has("exact.bin"));
  EXPECT_FALSE(dir.Has("over.bin"));
  EXPECT_FALSE(dir.Has("empty.bin"));  // nothing to write
}

TEST(MultipartParser, UnsafeNamesAreRefusedAndNeverWritten) {
  TempFolder outside;
  const std::string staging = outside / "staging/";
  std::filesystem::create_directory(staging);
  Body body;
  const std::vector<std::string> names = {"../x",
                                          "..\\x",
                                          "/etc/x",
                                          std::string("a\0b", 3),
                                          "a\x1b.txt",
                                          ".htaccess",
                                          "con",
                                          "NUL.txt",
                                          "Com1.gif",
                                          "lpt9",
                                          "C:\\dir\\",
                                          "x..y",
                                          std::string(201, 'n')};
  for (const std::string& name : names) body.File("f", name, "secret");
  body.File("g", "good.txt", "ok");
  Parsed p = Parse(body.End(), staging);
  ASSERT_TRUE(p.ok) << p.error;
  ASSERT_EQ(p.parts.size(), names.size() + 1);
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(p.parts[i].file, FS::kRefused) << i;
    EXPECT_EQ(p.parts[i].file_name, names[i]) << i;
  }
  EXPECT_EQ(p.parts.back().file, FS::kStored);
  EXPECT_EQ(outside.Entries(), 1u);  // only the staging folder
  EXPECT_EQ(outside.Entries("staging"), 1u);
  EXPECT_TRUE(SafeUploadName("console.txt", "console.txt"));
  EXPECT_TRUE(SafeUploadName("com10", "com10"));
}

TEST(MultipartParser, MalformedBodiesFailClearlyAndLeaveNoFile) {
  TempFolder dir;
  const std::string good =
      Body().File("a", "first.bin", "1111").File("b", "second.bin", "22").End();
  struct Case {
    std::string body;
    std::string error;
  } cases[] = {
      {"", "empty"},
      {std::string(300, 'x'), "no boundary"},
      {"\r\nabc", "no boundary"},
      {"--b\r\nContent-Type: text/plain\r\n\r\nx\r\n--b--", "Content-Disposition"},
      {"--b\r\n" + std::string(20000, 'h'), "headers are too long"},
      {good.substr(0, good.size() - 8), "closing boundary"},  // truncated in the last delimiter
      {good.substr(0, good.find("22")), "closing boundary"},  // inside the second file
      {good.substr(0, good.find("second") - 3), "closing boundary"},  // inside its headers
      {"--b\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nabc", "closing boundary"},
      {"--b\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nabc--b--", "closing boundary"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body.substr(0, 60));
    Parsed p = Parse(c.body, dir.Dir());
    EXPECT_FALSE(p.ok);
    EXPECT_NE(p.error.find(c.error), std::string::npos) << p.error;
    EXPECT_EQ(dir.Entries(), 0u);
  }
  // Too many parts, and fields past their bound.
  Body many;
  for (size_t i = 0; i <= MultipartParser::kMaxParts; ++i) many.Field("f", "v");
  EXPECT_NE(Parse(many.End(), dir.Dir(), 1, 4096).error.find("too many parts"), std::string::npos);
  const std::string big =
      Body().Field("f", std::string(MultipartParser::kMaxFieldBytes + 1, 'v')).End();
  EXPECT_NE(Parse(big, dir.Dir(), 1, 65536).error.find("fields are too large"), std::string::npos);
}

TEST(MultipartParser, LimitsOnTheBoundaryAndHeadersDoNotDependOnThePieces) {
  TempFolder dir;
  Body body;
  body.boundary = std::string(MultipartParser::kMaxDelimiterBytes - 2, 'b');
  const std::string headers(MultipartParser::kMaxHeaderBytes - 60, 'h');
  const std::string text =
      body.Part("X-Pad: " + headers + "\r\nContent-Disposition: form-data; name=\"a\"", "v").End();
  for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, text.size()}) {
    Parsed p = Parse(text, dir.Dir(), 10, piece);
    EXPECT_TRUE(p.ok) << piece << " " << p.error;
  }
  Body longer;
  longer.boundary = body.boundary + "b";
  const std::string too_long = longer.Field("a", "v").End();
  for (size_t piece : {size_t{1}, too_long.size()}) {
    EXPECT_NE(Parse(too_long, dir.Dir(), 10, piece).error.find("no boundary"), std::string::npos);
  }
}

TEST(MultipartParser, AFileThatCannotBeWrittenIsReportedNotStored) {
  TempFolder dir;
  Parsed p = Parse(Body().File("a", "x.txt", "abc").End(), dir / "missing/");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.parts[0].file, FS::kFailed);
  EXPECT_EQ(p.parts[0].file_name, "x.txt");

  // A second part of the same name would overwrite (or, too large, remove)
  // the first one's file.
  p = Parse(Body().File("a", "x.txt", "first").File("b", "C:\\x.txt", "second, too long").End(),
            dir.Dir(), 10);
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.parts[0].file, FS::kStored);
  EXPECT_EQ(p.parts[1].file, FS::kFailed);
  EXPECT_EQ(dir.Get("x.txt"), "first");
}

TEST(BytesToText, KeepsUtf8AndReplacesEveryInvalidByte) {
  EXPECT_EQ(BytesToText("abc \xC3\xA9 \xF0\x9F\x98\x80"), "abc \xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(BytesToText("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");                  // overlong
  EXPECT_EQ(BytesToText("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
  EXPECT_EQ(BytesToText("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD");                  // cut short
  EXPECT_EQ(BytesToText(std::string("a\0b", 3)), std::string("a\0b", 3));
}

// ParseUploadBody over an in-memory request.
class ParseUpload : public ::testing::Test {
 protected:
  ParseUpload() { Host().host = host.Objects(); }
  MemoryHost host;
  TempFolder dir;
  void Post(const std::string& body) { host.request.SetBody(body); }
};

TEST_F(ParseUpload, BuildsTheUploadTableAndWritesTheFiles) {
  Post(Body()
           .Field("Title", "abc")
           .File("file1", "", "")
           .File("file2", "C:\\dir\\photo.JPG", "0123456789")
           .File("file3", "../evil", "x")
           .End());
  UploadReport report;
  Variant table = ParseUploadBody(dir.Dir(), 1, &report);
  ASSERT_TRUE(table.IsArray());
  const Array& t = *table.AsArray();
  ASSERT_EQ(t.Size(2), 4u);
  EXPECT_EQ(t.at(0, 0).AsString(), "title");
  EXPECT_EQ(t.at(1, 0).AsString(), "abc");
  EXPECT_EQ(t.at(2, 1).AsString(), "");
  EXPECT_EQ(t.at(2, 2).AsString(), "photo.JPG");
  EXPECT_EQ(ToStr(t.at(3, 2)), "10");
  EXPECT_EQ(t.at(2, 3).AsString(), "");  // refused: not a stored file
  for (size_t c = 0; c < 4; ++c) EXPECT_EQ(ToStr(t.at(4, c)), "1");
  EXPECT_EQ(report.refused, std::vector<std::string>{"../evil"});
  EXPECT_TRUE(report.failed.empty());
  EXPECT_EQ(dir.Get("photo.JPG"), "0123456789");
  EXPECT_EQ(host.response.Text(), "");
}

TEST_F(ParseUpload, EmptyBodiesFormsReadFirstAndMalformedBodiesGiveNoTable) {
  EXPECT_EQ(ToStr(ParseUploadBody(dir.Dir(), 1024)), "");
  EXPECT_EQ(host.response.Text(), "");

  Post("--b\r\nContent-Disposition: form-data; name=\"a\"; filename=\"a.txt\"\r\n\r\nabc");
  UploadReport report;
  EXPECT_EQ(ToStr(ParseUploadBody(dir.Dir(), 1024, &report)), "");
  EXPECT_EQ(host.response.Text(),
            "Error: the upload could not be read: the body ends before its closing boundary.");
  EXPECT_EQ(dir.Entries(), 0u);

  MemoryHost second;
  second.request.SetBody(Body().Field("a", "b").End());
  Host().host = second.Objects();
  second.request.Form("a");
  EXPECT_EQ(ToStr(ParseUploadBody(dir.Dir(), 1024)), "");
  EXPECT_EQ(second.response.Text(), "Error: you can not read request.form before upload.");
}

TEST(SaveUploadedFile, CreatesOrReplacesTheFile) {
  TempFolder dir;
  EXPECT_TRUE(SaveUploadedFile(std::string("a\0b", 3), dir / "f"));
  EXPECT_TRUE(SaveUploadedFile("new", dir.Dir() + "\\f"));
  EXPECT_EQ(dir.Get("f"), "new");
  EXPECT_FALSE(SaveUploadedFile("x", dir / "missing/f"));
}

}  // namespace
}  // namespace qv
