#include "http/static_files.h"
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <unordered_map>

#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/convert.h"
#include "http/compression.h"
#include "http/query_parse.h"

namespace qv::http {
namespace {

namespace fs = std::filesystem;
using Kind = ResolvedPath::Kind;

std::string Extension(std::string_view name) {
  size_t slash = name.rfind('/');
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
    return "";
  }
  return ToLower(name.substr(dot));
}

bool IsPrivateExtension(const std::string& ext) {
  static const char* const kPrivate[] = {".db",     ".db-wal",        ".db-shm",     ".db-journal",
                                         ".sqlite", ".sqlite3",       ".sqlite-wal", ".sqlite-shm",
                                         ".toml",   ".sqlite-journal"};
  for (const char* p : kPrivate) {
    if (ext == p) return true;
  }
  return false;
}

// A segment that must never be served: ".", "..", dot-files, upload staging.
bool IsRefusedSegment(std::string_view segment) {
  return segment.starts_with(".") || EqualsNoCase(segment, "qvTmUpld.tmp");
}

bool HasRefusedSegment(std::string_view path) {
  size_t pos = 0;
  while (pos < path.size()) {
    size_t end = path.find('/', pos);
    if (end == std::string_view::npos) end = path.size();
    if (IsRefusedSegment(path.substr(pos, end - pos))) return true;
    pos = end + 1;
  }
  return false;
}

// The root with its links followed. Roots are the few folders of the
// configuration, so each thread resolves each one once.
const std::string& RealRoot(const std::string& root, std::error_code& ec) {
  thread_local std::unordered_map<std::string, std::string> real_roots;
  auto found = real_roots.find(root);
  if (found != real_roots.end()) return found->second;
  fs::path real = fs::weakly_canonical(root, ec);
  static const std::string kNone;
  if (ec) return kNone;
  return real_roots.emplace(root, real.string()).first->second;
}

// The path of an existing `physical` with every link followed, relative to
// the real `root` ("" for the root itself); nullopt when it does not exist
// or lies outside the root, also through a link to a sibling folder whose
// name merely starts with the root's.
std::optional<std::string> RealPathInside(const std::string& physical, const std::string& root) {
  std::error_code ec;
  const std::string& base = RealRoot(root, ec);
  if (ec) return std::nullopt;
  char* real = ::realpath(physical.c_str(), nullptr);
  if (!real) return std::nullopt;
  std::string r = real;
  std::free(real);
  if (r == base) return std::string();
  if (!r.starts_with(base) || (!base.ends_with("/") && r[base.size()] != '/')) return std::nullopt;
  return r.substr(base.ends_with("/") ? base.size() - 1 : base.size());
}

// RealPathInside for an existing file whose status is `st`, remembered per
// thread for as long as its path leads to the same, unchanged file: the
// links of a path rarely change, and following each of its folders costs a
// system call per request. A path whose file was replaced, renamed or
// changed is followed again.
std::optional<std::string> CachedRealPathInside(const std::string& physical,
                                                const std::string& root, const struct stat& st) {
  struct Entry {
    dev_t device;
    ino_t inode;
    timespec changed;
    std::optional<std::string> real;
  };
  thread_local std::unordered_map<std::string, Entry> cache;
  auto found = cache.find(physical);
  if (found != cache.end()) {
    const Entry& e = found->second;
    if (e.device == st.st_dev && e.inode == st.st_ino && e.changed.tv_sec == st.st_ctim.tv_sec &&
        e.changed.tv_nsec == st.st_ctim.tv_nsec) {
      return e.real;
    }
  }
  std::optional<std::string> real = RealPathInside(physical, root);
  if (cache.size() >= 4096) cache.clear();
  cache.insert_or_assign(physical, Entry{st.st_dev, st.st_ino, st.st_ctim, real});
  return real;
}

// What a file's name makes of it.
enum class FileClass { kScript, kPrivate, kOther };

FileClass ClassOf(std::string_view path) {
  std::string ext = Extension(path);
  if (ext == ".lp" || ext == ".lua") return FileClass::kScript;
  return IsPrivateExtension(ext) ? FileClass::kPrivate : FileClass::kOther;
}

// The page-script modules of the site folder (lib/, see the script host):
// code for pages, never a page itself.
bool IsModulePath(std::string_view virtual_path) { return virtual_path.starts_with("/lib/"); }

ResolvedPath Resolved(Kind kind, std::string virtual_path = {}, std::string physical = {}) {
  return ResolvedPath{kind, std::move(virtual_path), std::move(physical)};
}

// Judges a normalized path once, on the file it resolves to: a page script
// to run, a file to send, a folder, or nothing. A file named with a
// trailing slash ("/book.lp/", "/x.db%2f") is not found, and so is one
// whose link changes its class (a "*.txt" link to a script or database).
ResolvedPath ResolveNormal(const SitePaths& paths, const std::string& virtual_path) {
  const std::string physical = paths.ToPhysical(virtual_path);
  struct stat st {};
  if (::stat(physical.c_str(), &st) != 0) return Resolved(Kind::kNotFound);
  const std::optional<std::string> real =
      CachedRealPathInside(physical, paths.RootOf(virtual_path), st);
  if (!real || HasRefusedSegment(*real)) return Resolved(Kind::kNotFound);
  if (S_ISDIR(st.st_mode)) {
    if (!virtual_path.ends_with("/")) return Resolved(Kind::kAddSlash, virtual_path + "/");
    if (paths.InMedia(virtual_path)) return Resolved(Kind::kNotFound);
    ResolvedPath page = ResolveNormal(paths, virtual_path + "default.lp");
    return page.kind == Kind::kScript ? page : Resolved(Kind::kNotFound);
  }
  if (!S_ISREG(st.st_mode) || virtual_path.ends_with("/")) {
    return Resolved(Kind::kNotFound);
  }
  const FileClass named = ClassOf(virtual_path);
  if (named != ClassOf(*real) || named == FileClass::kPrivate) return Resolved(Kind::kNotFound);
  if (named == FileClass::kScript) {
    if (paths.InMedia(virtual_path) || IsModulePath(virtual_path)) {
      return Resolved(Kind::kNotFound);
    }
    return Resolved(Kind::kScript, virtual_path, physical);
  }
  return Resolved(Kind::kFile, virtual_path, physical);
}

}  // namespace

bool IsScriptPath(std::string_view path) { return ClassOf(path) == FileClass::kScript; }

ResolvedPath ResolvePath(const SitePaths& paths, std::string_view raw_path) {
  std::string lower = ToLower(raw_path);
  if (raw_path.find('\\') != std::string_view::npos || lower.find("%5c") != std::string::npos ||
      lower.find("%00") != std::string::npos || raw_path.find('\0') != std::string_view::npos) {
    return Resolved(Kind::kBadRequest);
  }
  std::string decoded = PercentDecodePath(raw_path);
  if (decoded.empty() || decoded.front() != '/') return Resolved(Kind::kBadRequest);
  if (HasRefusedSegment(decoded)) return Resolved(Kind::kNotFound);
  auto normal = NormalizeUrlPath(decoded);
  if (!normal) return Resolved(Kind::kNotFound);
  return ResolveNormal(paths, *normal);
}

std::string ContentTypeFor(std::string_view file_name) {
  static const std::pair<const char*, const char*> kTypes[] = {
      {".html", "text/html; charset=utf-8"},
      {".htm", "text/html; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".txt", "text/plain; charset=utf-8"},
      {".xml", "application/xml"},
      {".json", "application/json"},
      {".png", "image/png"},
      {".gif", "image/gif"},
      {".jpg", "image/jpeg"},
      {".jpeg", "image/jpeg"},
      {".svg", "image/svg+xml"},
      {".ico", "image/x-icon"},
      {".webp", "image/webp"},
      {".bmp", "image/bmp"},
      {".pdf", "application/pdf"},
      {".zip", "application/zip"},
      {".mp3", "audio/mpeg"},
      {".wav", "audio/wav"},
      {".ogg", "audio/ogg"},
      {".mp4", "video/mp4"},
      {".webm", "video/webm"},
      {".avi", "video/x-msvideo"},
      {".swf", "application/x-shockwave-flash"},
      {".doc", "application/msword"},
      {".ppt", "application/vnd.ms-powerpoint"},
      {".xls", "application/vnd.ms-excel"},
      {".rtf", "application/rtf"},
      {".woff", "font/woff"},
      {".woff2", "font/woff2"},
      {".csv", "text/csv; charset=utf-8"}};
  std::string ext = Extension(file_name);
  for (const auto& [known, type] : kTypes) {
    if (ext == known) return type;
  }
  return "application/octet-stream";
}

std::string HttpDate(int64_t unix_seconds) {
  std::time_t t = static_cast<std::time_t>(unix_seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[tm.tm_wday],
                tm.tm_mday, kMonths[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour, tm.tm_min,
                tm.tm_sec);
  return text;
}

int64_t ParseHttpDate(std::string_view text) {
  std::tm tm{};
  std::string copy(text);
  const char* end = strptime(copy.c_str(), "%a, %d %b %Y %H:%M:%S GMT", &tm);
  if (!end || *end != '\0') return -1;
  return static_cast<int64_t>(timegm(&tm));
}

namespace {

std::string EntityTag(const struct stat& st) {
  char tag[64];
  std::snprintf(tag, sizeof tag, "\"%llx-%llx\"", static_cast<unsigned long long>(st.st_size),
                static_cast<unsigned long long>(st.st_mtim.tv_sec) * 1000000000ULL +
                    static_cast<unsigned long long>(st.st_mtim.tv_nsec));
  return tag;
}

bool TagListMatches(std::string_view list, const std::string& tag) {
  std::string weak = "W/" + tag;
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t end = list.find(',', pos);
    if (end == std::string_view::npos) end = list.size();
    std::string item = Trim(list.substr(pos, end - pos));
    if (item == "*" || item == tag || item == weak) return true;
    pos = end + 1;
  }
  return false;
}

bool ClientHasCurrent(const IncomingRequest& request, const std::string& tag, int64_t mtime) {
  std::string if_none_match = request.Header("If-None-Match");
  if (!if_none_match.empty()) return TagListMatches(if_none_match, tag);
  std::string since = request.Header("If-Modified-Since");
  if (since.empty()) return false;
  int64_t when = ParseHttpDate(Trim(since));
  return when >= 0 && mtime <= when;
}

}  // namespace

namespace {

// Small files are kept in memory, so that a response goes out as one write
// (header and body together) without opening the file. An entry is used
// while the file's ETag (size and modification time) is unchanged.
constexpr uint64_t kCachedFileMax = 256 * 1024;
constexpr uint64_t kCacheBytesMax = 64 * 1024 * 1024;

struct CachedFile {
  std::string tag;
  std::shared_ptr<const std::string> content;
  std::shared_ptr<const std::string> gzipped;  // made on first demand
};

// Static files are compressed once, so they take zlib's default level.
constexpr int kStaticLevel = 6;

std::mutex cache_mutex;
std::unordered_map<std::string, CachedFile> cache;  // by physical path
uint64_t cache_bytes = 0;

std::shared_ptr<const std::string> CachedContent(const std::string& path, const std::string& tag,
                                                 uint64_t size) {
  {
    std::lock_guard lock(cache_mutex);
    auto found = cache.find(path);
    if (found != cache.end() && found->second.tag == tag) return found->second.content;
  }
  std::ifstream in(path, std::ios::binary);
  std::string content(size, '\0');
  if (!in.read(content.data(), static_cast<std::streamsize>(size))) return nullptr;
  auto shared = std::make_shared<const std::string>(std::move(content));
  std::lock_guard lock(cache_mutex);
  if (cache_bytes + size > kCacheBytesMax) {
    cache.clear();
    cache_bytes = 0;
  }
  auto [slot, inserted] = cache.try_emplace(path);
  if (!inserted) {
    cache_bytes -= slot->second.content->size();
    if (slot->second.gzipped) cache_bytes -= slot->second.gzipped->size();
  }
  slot->second = {tag, shared, nullptr};
  cache_bytes += size;
  return shared;
}

// The gzip form of a cached file's content, made once per version.
std::shared_ptr<const std::string> CachedGzip(const std::string& path, const std::string& tag,
                                              const std::shared_ptr<const std::string>& content) {
  {
    std::lock_guard lock(cache_mutex);
    auto found = cache.find(path);
    if (found != cache.end() && found->second.tag == tag && found->second.gzipped) {
      return found->second.gzipped;
    }
  }
  auto gzipped = std::make_shared<const std::string>(Gzip(*content, kStaticLevel));
  std::lock_guard lock(cache_mutex);
  auto found = cache.find(path);
  if (found != cache.end() && found->second.tag == tag && !found->second.gzipped &&
      cache_bytes + gzipped->size() <= kCacheBytesMax) {
    found->second.gzipped = gzipped;
    cache_bytes += gzipped->size();
  }
  return gzipped;
}

// The ETag of the compressed form: another representation, another tag.
std::string GzipTag(const std::string& tag) { return tag.substr(0, tag.size() - 1) + "-gz\""; }

}  // namespace

OutgoingResponse ServeFile(const IncomingRequest& request, const std::string& physical_path,
                           bool compress) {
  struct stat st {};
  if (::stat(physical_path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return ErrorResponse(404);
  std::string tag = EntityTag(st);
  const auto size = static_cast<uint64_t>(st.st_size);
  std::string type = ContentTypeFor(physical_path);
  const bool varies =
      compress && IsCompressibleType(type) && size >= kCompressMinBytes && size <= kCachedFileMax;
  const bool gzip = varies && AcceptsGzip(request.Header("Accept-Encoding"));
  OutgoingResponse r;
  r.SetHeader("ETag", gzip ? GzipTag(tag) : tag);
  r.SetHeader("Last-Modified", HttpDate(st.st_mtim.tv_sec));
  if (varies) r.SetHeader("Vary", "Accept-Encoding");
  if (ClientHasCurrent(request, gzip ? GzipTag(tag) : tag, st.st_mtim.tv_sec)) {
    r.status = 304;
    r.reason = ReasonPhrase(304);
    return r;
  }
  r.SetHeader("Content-Type", std::move(type));
  if (size <= kCachedFileMax) {
    if (auto content = CachedContent(physical_path, tag, size)) {
      if (gzip) {
        r.body = *CachedGzip(physical_path, tag, content);
        r.SetHeader("Content-Encoding", "gzip");
      } else {
        r.body = *content;
      }
      return r;
    }
  }
  r.file_path = physical_path;
  r.file_size = size;
  return r;
}

}  // namespace qv::http
