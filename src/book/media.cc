// The media files of a page: the upload form and the processing of a
// posted upload (FilesUpload), and the list of the page's files with their
// download and deletion links (FilesList).
//
// A page's files live in the book's media folder, pMediaDir & table & "/" &
// book id & "/", each named with the page prefix (PagePrefix) before the
// uploaded name. An upload is parsed into the caller's own staging folder
// and each file then moved into the media folder; no name taken from a
// request reaches the file system unless it is one plain file name.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "book/book.h"
#include "book/book_internal.h"
#include "book/book_state.h"
#include "book/page_record.h"
#include "core/convert.h"
#include "core/encode.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/field_array.h"
#include "data/settings.h"
#include "files/folder.h"
#include "files/upload.h"
#include "host/context.h"
#include "host/host_objects.h"
#include "session/current_page.h"
#include "session/identity.h"
#include "session/messages.h"
#include "session/sysvar.h"

namespace qv {
namespace book {
namespace {

Variant FormValue(const std::string& name) { return UploadFormValue(name); }
Variant FileInfo(int64_t index, const std::string& name) {
  return UploadedFileInfo(static_cast<int16_t>(index), name);
}

}  // namespace

std::string PagePrefix(const Variant& id) {
  std::string digits = std::to_string(ToInteger(id));
  if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
  return "m" + digits + "_";
}

std::string StagingFolderName(const std::string& user_id) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string name;
  for (unsigned char c : user_id) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
        c == '-') {
      name += static_cast<char>(c);
    } else {
      name += '%';
      name += kHex[c >> 4];
      name += kHex[c & 15];
    }
  }
  return name.empty() ? "%" : name;
}

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.find("..") != std::string_view::npos) {
    return false;
  }
  return std::none_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '/' || c == '\\' || c == '*' || c == '?' || byte < 0x20 || byte == 0x7f;
  });
}

std::string MediaUrlName(const std::string& name) {
  std::string url = EscapePath(name);
  url = ReplaceAll(url, "?", "%3F");
  url = ReplaceAll(url, "\"", "%22");
  url = ReplaceAll(url, "'", "%27");
  url = ReplaceAll(url, "<", "%3C");
  return ReplaceAll(url, ">", "%3E");
}

std::string JsStringText(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  auto unit = [&](uint32_t u) {
    std::string out = "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 15];
    return out;
  };
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
        c == '.' || c == '_' || c == '-' || c == ',' || c == ':' || c == '(' || c == ')' ||
        c == '/') {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    // One UTF-8 sequence as its code point; a broken one is U+FFFD.
    uint32_t code = 0xFFFD;
    size_t length = 1;
    if (c < 0x80) {
      code = c;
    } else if (c >= 0xC2 && c <= 0xF4) {
      length = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      uint32_t value = c & (0x3F >> (length - 1));
      bool valid = i + length <= text.size();
      for (size_t k = 1; valid && k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        valid = (next & 0xC0) == 0x80;
        value = (value << 6) | (next & 0x3F);
      }
      const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
      if (valid && value >= least[length] && value <= 0x10FFFF &&
          !(value >= 0xD800 && value <= 0xDFFF)) {
        code = value;
      } else {
        length = 1;
      }
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out += unit(0xD800 + (code >> 10)) + unit(0xDC00 + (code & 0x3FF));
    } else {
      out += unit(code);
    }
    i += length;
  }
  return out;
}

bool HasRightWord(const std::string& word) {
  const std::string& rights = TheSettings().BookAuthorization;
  size_t start = 0;
  while (start <= rights.size()) {
    size_t end = rights.find_first_of(", ;", start);
    if (end == std::string::npos) end = rights.size();
    std::string_view item(rights.data() + start, end - start);
    // OpenBook appends "read,admin" to the list without a separator.
    if (item == word ||
        (item.size() == word.size() + 4 && item.starts_with(word) && item.ends_with("read"))) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

namespace {

constexpr int64_t kThumbnailMaxBytes = 6144;

// The book's media folder relative to the media root: table "/" book id "/".
std::string BookMediaPath() {
  return TheSettings().TableName + "/" + std::to_string(ThePage().lBookID) + "/";
}
std::string BookMediaFolder() { return TheSettings().pMediaDir + BookMediaPath(); }

// The folder without its trailing separator, as MakeDir takes it.
std::string WithoutSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Creates each folder of the chain in order, with its missing parents;
// existing ones are fine.
void MakeFolders(const Folder& folder, const std::vector<std::string>& chain) {
  for (const std::string& dir : chain) {
    std::vector<std::filesystem::path> missing;
    std::error_code ec;
    for (std::filesystem::path p(WithoutSlash(dir)); !p.empty() && !std::filesystem::exists(p, ec);
         p = p.parent_path()) {
      missing.push_back(p);
      if (p == p.parent_path()) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) folder.MakeDir(it->string());
  }
}

std::string ExtensionOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? "" : name.substr(dot);
}

bool IsPicture(const std::string& lower_extension) {
  return lower_extension == ".gif" || lower_extension == ".jpg" || lower_extension == ".jpeg";
}

// dbThumbNail of a thumbnail file's extension: 1 GIF, 2 JPG, 3 JPEG.
int ThumbnailKind(const std::string& lower_extension) {
  if (lower_extension == ".gif") return 1;
  if (lower_extension == ".jpg") return 2;
  return 3;
}

// The current page's content in the first language (the page as it is in
// the database now).
std::string PageContent() {
  return NullToStr(CurrentPageField(LanguageField("dbContent_", TheSettings().FirstLanguage)));
}

// The picture tag of a stored file for the page content.
std::string PictureTag(const std::string& stored_name) {
  return "<p align=\"center\"><img src=\"qvTmMPath/" + BookMediaPath() + MediaUrlName(stored_name) +
         "\"></p>";
}

// The content already shows the file: its stored name (as a tag writes it)
// or, as an author may have written it, the uploaded name.
bool ContentNames(const std::string& content, const std::string& stored_name,
                  const std::string& uploaded_name) {
  if (content.find(MediaUrlName(stored_name)) != std::string::npos) return true;
  return !uploaded_name.empty() && content.find(uploaded_name) != std::string::npos;
}

void SetThumbnail(int kind) {
  const FieldArray fields{{"dbThumbNail", kind}};
  SharedAspProc().dbUpdate(std::string(CheckIdentifier(TheSettings().TableName)),
                           "Where id=" + SqlInteger(ThePage().ID), fields.ToArray(), false, false);
}

// Appends tags to both contents of the current page, in one write.
void AppendToContents(const std::string& tags) {
  if (tags.empty()) return;
  const std::string table(CheckIdentifier(TheSettings().TableName));
  const std::string where = "Where id=" + SqlInteger(ThePage().ID);
  FieldArray fields;
  for (const char* column : {"dbContent_e", "dbContent_n"}) {
    fields.Add(column, NullToStr(CurrentPageField(column)) + ReplaceAll(tags, "\\", "/"));
  }
  SharedAspProc().dbUpdate(table, where, fields.ToArray(), false, false);
}

// The current page's own dbGroup (OpenBook replaces intPageGroup by the
// book's).
int64_t PageGroup() {
  const Variant group = CurrentPageField("dbGroup");
  return group.IsNull() || group.IsEmpty() ? 0 : ToInteger(group);
}

// The page made from an upload: a sibling of the current page titled by
// the first file's name; it becomes the current page.
void CreatePageFromUpload() {
  PageRecord& page = ThePage();
  const BookState& book_state = CurrentBook();
  std::string title = ToStr(FileInfo(1, "name"));
  if (title.empty()) title = " ";  // " " writes an empty title
  const std::string& book_owner = book_state.strBookOwnerID;
  const std::string owner =
      (!book_owner.empty() && book_owner != "administrator") ? book_owner : page.strPageOwnerID;
  FieldArray fields{{"dbPID", page.lngPageParentID},
                    {"dbBookID", page.lBookID},
                    {"dbTitle_e", title},
                    {"dbTitle_n", title},
                    {"dbOrder", 1000},
                    {"dbGroup", PageGroup()},
                    {"dbOwnerID", owner.empty() ? std::string(" ") : owner},
                    {"dbPageLevel", page.intPageLevel},
                    {"dbUserID", CurrentUserID()},
                    {"dbDate", Now()}};
  RequestTransaction transaction;
  const int32_t new_id = SharedAspProc().dbAppend(
      std::string(CheckIdentifier(TheSettings().TableName)), fields.ToArray(), false);
  page.ID = new_id;
  SharedAspProc().dbLog(7);
  transaction.Commit();
}

// Moves one staged file to target, replacing an older file of that name.
bool MoveIntoPlace(const Folder& folder, const std::string& source, const std::string& target) {
  if (folder.ReNameFile(source, target) == 0) return true;
  folder.DelFile(target);
  return folder.ReNameFile(source, target) == 0;
}

void ReportFile(const std::string& key, const std::string& name) {
  ResponseWrite(GetMsg(key, 1) + HtmlEncode(name));
}

// Stores the files of the parsed upload; returns the picture tags to add.
std::string StoreUploadedFiles(const Folder& folder, const std::string& staging) {
  const Settings& s = TheSettings();
  const std::string prefix = PagePrefix(ThePage().ID);
  const std::string media = BookMediaFolder();
  MakeFolders(folder, {s.pMediaDir + s.TableName + "/", media});
  const bool thumbnail_asked = ToStr(FormValue("FirstThumbNail")) == "ON";
  const std::string content = PageContent();
  const int64_t count = ToInteger(FileInfo(0, ""));
  std::string tags;
  for (int64_t i = 1; i <= count; ++i) {
    const auto index = static_cast<int16_t>(i);
    const std::string full_name = ToStr(FileInfo(index, "fullname"));
    const int64_t size = ToInteger(FileInfo(index, "size"));
    if (size == -1) {
      ReportFile("ErrorUploadFileTooBig", full_name);
      continue;
    }
    if (size == 0) {
      ReportFile("ErrorUploadFileNotFoundOrZeroLength", full_name);
      continue;
    }
    if (!IsPlainFileName(full_name)) {
      ReportFile("ErrorUploadFileName", full_name);
      continue;
    }
    const std::string source = staging + full_name;
    const std::string extension = ToLower(ExtensionOf(full_name));
    std::string stored = full_name.starts_with(prefix) ? full_name : prefix + full_name;
    const bool thumbnail_rule = i == 1 && thumbnail_asked;
    const bool thumbnail = thumbnail_rule && size <= kThumbnailMaxBytes && IsPicture(extension);
    if (thumbnail) stored = prefix + "ThumbNail" + extension;
    if (!MoveIntoPlace(folder, source, media + stored)) {
      folder.DelFile(source);
      ReportFile("ErrorUploadFileNotStored", full_name);
      continue;
    }
    if (thumbnail) {
      SetThumbnail(ThumbnailKind(extension));
    } else if (!thumbnail_rule && IsPicture(extension)) {
      const std::string named = ToStr(FileInfo(index, "name")) + extension;
      if (!ContentNames(content + tags, stored, named)) tags += PictureTag(stored);
    }
  }
  return tags;
}

// Parses a posted body into the request's upload table (a request that is
// not a POST has no upload) and reports the files it could not store.
void ParseUpload(const std::string& staging) {
  UploadState& upload = TheUpload();
  upload.UploadTable = Variant(std::string());
  if (!IsPostRequest()) return;
  const int64_t limit =
      std::clamp<int64_t>(ToInteger(Variant(TheSettings().UploadMaxK)), 0, INT16_MAX);
  upload.UploadTable = ParseUploadBody(staging, static_cast<int16_t>(limit), &upload.report);
  for (const std::string& name : upload.report.refused) ReportFile("ErrorUploadFileName", name);
  for (const std::string& name : upload.report.failed) ReportFile("ErrorUploadFileNotStored", name);
}

// The page's files, by name.
std::vector<std::shared_ptr<AspFile>> PageFiles() {
  Folder folder;
  std::string dir = BookMediaFolder();
  folder.ListFile(dir, PagePrefix(ThePage().ID) + "*.*");
  std::vector<std::shared_ptr<AspFile>> files;
  for (int32_t i = 1; i <= folder.Count(); ++i) files.push_back(folder.Item(Variant(i)));
  return files;
}

// Tags for the page's pictures that its content does not show yet.
void AddMissingPictures() {
  const std::string thumbnail = PagePrefix(ThePage().ID) + "ThumbNail.";
  const std::string content = PageContent();
  std::string tags;
  for (const auto& file : PageFiles()) {
    const std::string extension = ToLower(ExtensionOf(file->FileName));
    if (!IsPicture(extension) || file->FileName.starts_with(thumbnail)) continue;
    if (!ContentNames(content + tags, file->FileName, "")) tags += PictureTag(file->FileName);
  }
  AppendToContents(tags);
}

// The address of the script that takes uploads and deletions of the page:
// this one, or for the edit form the site's upload page.
std::string UploadScript(bool here) {
  if (here) return TheSettings().ThisURL;
  std::string url = GetMsg("URLUploadFiles", 1);
  const size_t query = url.find('?');
  return query == std::string::npos ? url : url.substr(0, query);
}

std::string PageQuery() {
  return "table=" + UrlEncode(TheSettings().TableName) +
         "&id=" + UrlEncode(NullToStr(ThePage().ID));
}

void WriteUploadForm(const std::string& script, const std::string& strAddMsg) {
  ResponseWrite("<form ENCTYPE=\"multipart/form-data\" ACTION=\"" +
                HtmlEncode(script + "?" + PageQuery()) + "\" METHOD=\"post\">");
  const std::string label = GetMsg("msgFileUpload", 1);
  for (int i = 1; i <= 5; ++i) {
    const std::string n = std::to_string(i);
    ResponseWrite("  <br>" + label + n + ": <input type=\"file\" name=\"file" + n +
                  "\" size=\"40\">");
  }
  ResponseWrite("  <br>" + GetMsg("msgThumbNail", 1) +
                "<input type=\"checkbox\" name=\"FirstThumbNail\"  value=\"ON\">");
  ResponseWrite("  <p><center><input TYPE=\"submit\" VALUE=\"" + GetMsg("ButtonUpload", 1) +
                "\" name=\"qvTmUpload\">");
  if (!strAddMsg.empty()) {
    ResponseWrite("  <input TYPE=\"submit\" VALUE=\"" + HtmlEncode(strAddMsg) +
                  "\" name=\"qvTmUploadNew\">");
  }
  ResponseWrite("  <input type=\"reset\" value=\"" + GetMsg("ButtonReset", 1) +
                "\" name=\"B2\"></center></p>");
  ResponseWrite("</form>");
  ResponseWrite("<p>&nbsp;</p>");
}

// Deletes the file the query names when it is one of the page's own.
void DeleteRequestedFile() {
  const std::string name = QueryValue("deletefile");
  if (name.find_first_of("*?") != std::string::npos) return;
  const std::string prefix = PagePrefix(ThePage().ID);
  Folder folder;
  const bool own = IsPlainFileName(name) && name.starts_with(prefix) && name.size() > prefix.size();
  if (own && folder.DelFile(BookMediaFolder() + name) == 0) {
    ResponseWrite(GetMsg("msgFileDeleteSuccess", 1) + " " + HtmlEncode(name) + "<br>");
    if (name.starts_with(prefix + "ThumbNail.")) SetThumbnail(0);
    return;
  }
  ResponseWrite(GetMsg("msgFileDeleteFails", 1) + " " + HtmlEncode(name) + "<br>");
}

void WriteDeleteScript(const std::string& script) {
  const Settings& s = TheSettings();
  const std::string lines[] = {
      "<script language=\"JavaScript\"><!--",
      "function ConfirmDelete(file)",
      "{",
      "    if(confirm(\"" + JsStringText(GetMsg("msgFileDeleteConfirm", 1)) +
          " [\"+file+\"]?\")==true)",
      "    {",
      "        document.location=\"" + JsStringText(script) +
          "?deletefile=\"+encodeURIComponent(file)+\"&table=" + JsStringText(s.TableName) +
          "&id=" + JsStringText(NullToStr(ThePage().ID)) + "\";",
      "    }",
      "}",
      "// --></script>"};
  for (const std::string& line : lines) ResponseWrite(line + "\r\n");
}

}  // namespace

void ListPageFiles(bool blnDelete, const std::string& script) {
  const Settings& s = TheSettings();
  if (RequestValue("qvAction") == "addmedia") {
    if (ToStr(FormValue("qvTmUpload")).empty() || ToInteger(FileInfo(0, "")) <= 0) {
      return;
    }
    ResponseWrite(GetMsg("msgNewlyUploadedFiles", 1));
  }
  if (!CheckPageOpen("FilesList") || !HasRight("up") || s.pMediaDir.empty()) return;
  if (blnDelete && HasRightWord("upload") && !QueryValue("deletefile").empty()) {
    DeleteRequestedFile();
  }
  const auto files = PageFiles();
  if (files.empty()) {
    ResponseWrite(GetMsg("msgNoFiles", 1));
    return;
  }
  const std::string path = BookMediaPath();
  for (const auto& file : files) {
    const std::string url_name = MediaUrlName(file->FileName);
    ResponseWrite(HtmlEncode("qvTmMPath/" + path + EscapePath(file->FileName)));
    ResponseWrite("<br>&nbsp;&nbsp;&nbsp;");
    ResponseWrite(" (" + std::to_string(file->FileSize));
    ResponseWrite("bytes " + FormatDateTime(file->FileDate) + ")");
    ResponseWrite(" [<a href=\"" + HtmlEncode(s.vMediaDir + path + url_name) + "\">" +
                  GetMsg("msgFileDownLoad", 1) + "</a>]");
    if (blnDelete) {
      ResponseWrite(" [<a href=\"javascript:ConfirmDelete(&quot;" +
                    HtmlEncode(JsStringText(file->FileName)) + "&quot;)\">" +
                    GetMsg("msgFileDelete", 1) + "</a>]");
    }
    ResponseWrite("<br>");
  }
  if (blnDelete) WriteDeleteScript(script);
}

void PageMediaForm() {
  if (!IsBuilt(Module::kFiles) || TheSettings().vUploadTmpDir.empty()) return;
  const std::string script = UploadScript(false);
  if (HasRightWord("upload")) WriteUploadForm(script, "");
  ListPageFiles(HasRightWord("upload"), script);
}

}  // namespace book

void Book::FilesUpload(const std::string& strAddMsg) {
  using namespace book;
  Settings& s = TheSettings();
  if (s.pUploadTmpDir.empty()) {
    ReportError("ErrorNoUploadPath", true);
    return;
  }
  if (!Messages().strErrorMsg.empty() || !CheckPageOpen("FilesUpload")) return;
  if (!HasRightWord("upload")) {
    ReportError("ErrorNotAuthToUpload", true);
    return;
  }
  // The caller's own staging folder below the staging root.
  const std::string user_folder = StagingFolderName(CurrentUserID()) + "/";
  Folder folder;
  MakeFolders(folder, {s.pMediaDir, s.pUploadTmpDir});
  if (!s.pUploadTmpDir.ends_with("/" + user_folder)) s.pUploadTmpDir += user_folder;
  MakeFolders(folder, {s.pUploadTmpDir});
  const std::string staging = s.pUploadTmpDir;
  ParseUpload(staging);
  if (ToInteger(FileInfo(0, "")) > 0) {
    const bool new_page = !ToStr(FormValue("qvTmUploadNew")).empty();
    if (new_page) {
      CreatePageFromUpload();
    } else {
      SharedAspProc().dbLog(15);
    }
    const std::string tags = StoreUploadedFiles(folder, staging);
    if (new_page) {
      TheResponse().Redirect(s.ThisURL + "?table=" + UrlEncode(s.TableName) +
                             "&id=" + UrlEncode(NullToStr(ThePage().ID)) + "&qvAction=rearrange");
    }
    AppendToContents(tags);
  }
  if (QueryValue("qvAction") == "rearrange") AddMissingPictures();
  if (s.vUploadTmpDir.empty()) return;
  WriteUploadForm(s.ThisURL, strAddMsg);
  ListPageFiles(true, s.ThisURL);
}

void Book::FilesList() { book::ListPageFiles(false, TheSettings().ThisURL); }

}  // namespace qv
