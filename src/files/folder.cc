#include "files/folder.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "core/convert.h"

extern char** environ;

namespace qv {
namespace fs = std::filesystem;

namespace {

std::mutex& ProgramsMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<std::string>& Programs() {
  static std::vector<std::string> programs;
  return programs;
}

bool GlobMatch(std::string_view p, std::string_view s) {
  // Iterative match with one backtrack point for the last "*".
  size_t pi = 0, si = 0, star = std::string_view::npos, mark = 0;
  while (si < s.size()) {
    if (pi < p.size() && (p[pi] == '?' || LowerAscii(p[pi]) == LowerAscii(s[si]))) {
      ++pi;
      ++si;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = si;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      si = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// Local date and time of a file time.
Date LocalDate(const struct timespec& ts) {
  std::tm tm{};
  localtime_r(&ts.tv_sec, &tm);
  return MakeDate({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
}

// Directory and last component of a path ("" directory for a bare name).
std::pair<std::string, std::string> SplitLast(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// The plain files of `dir` whose names match `pattern`, sorted by name.
std::vector<std::string> MatchingFiles(const std::string& dir, const std::string& pattern) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? "." : dir, ec);
  if (ec) return names;
  for (const fs::directory_entry& entry : it) {
    std::string name = entry.path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code status_ec;
    if (!entry.is_regular_file(status_ec) || entry.is_symlink(status_ec)) continue;
    if (WildcardMatch(pattern, name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

int16_t Result(bool ok) { return ok ? 0 : 1; }

}  // namespace

void AspFile::SetFileDate(const Variant& value) { FileDate = ToDate(value); }

std::shared_ptr<AspFile> Folder::Item(const Variant& index_or_key) const {
  if (index_or_key.IsString()) {
    const std::string& key = index_or_key.AsString();
    for (const auto& [k, file] : entries_) {
      if (!k.empty() && EqualsNoCase(k, key)) return file;
    }
    throw std::out_of_range("Folder.Item: no entry with the key \"" + key + "\"");
  }
  const double position = ToDouble(index_or_key);
  if (position < 1 || position > static_cast<double>(entries_.size())) {
    throw std::out_of_range("Folder.Item: subscript out of range");
  }
  return entries_[static_cast<size_t>(position) - 1].second;
}

void Folder::Add(std::shared_ptr<AspFile> file, std::string key) {
  entries_.emplace_back(std::move(key), std::move(file));
}

void Folder::ListFile(std::string& path, const std::string& pattern, int16_t /*sort*/) {
  entries_.clear();
  if (path.empty() || pattern.empty()) return;
  if (path.back() != '\\' && path.back() != '/') path += '/';
  // A pattern may name a subfolder: "sub\*.gif".
  auto [sub, name_pattern] = SplitLast(PlatformPath(pattern));
  const std::string dir = PlatformPath(path) + sub;
  const std::string file_path = path + sub;
  for (const std::string& name : MatchingFiles(dir, name_pattern)) {
    struct stat st {};
    if (::stat((dir + name).c_str(), &st) != 0) continue;
    auto file = std::make_shared<AspFile>();
    file->FilePath = file_path;
    file->FileName = name;
    file->FileDate = LocalDate(st.st_mtim);
    file->FileSize =
        static_cast<int32_t>(std::min<off_t>(st.st_size, std::numeric_limits<int32_t>::max()));
    Add(std::move(file));
  }
}

int16_t Folder::DelFile(const std::string& path) const {
  const std::string target = PlatformPath(path);
  if (target.empty()) return 1;
  auto [dir, name] = SplitLast(target);
  if (!HasWildcard(name)) {
    struct stat st {};
    // Directories are not files: DelDir removes them.
    if (::lstat(target.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return 1;
    return Result(::unlink(target.c_str()) == 0);
  }
  if (HasWildcard(dir)) return 1;
  const std::vector<std::string> names = MatchingFiles(dir, name);
  if (names.empty()) return 1;
  bool ok = true;
  for (const std::string& match : names) ok = ::unlink((dir + match).c_str()) == 0 && ok;
  return Result(ok);
}

int16_t Folder::CopyFile(const std::string& from, const std::string& to) const {
  const std::string source = PlatformPath(from), target = PlatformPath(to);
  if (source.empty() || target.empty()) return 1;
  std::error_code ec;
  if (!fs::is_regular_file(source, ec)) return 1;
  fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
  return Result(!ec);
}

int16_t Folder::ReNameFile(const std::string& from, const std::string& to) const {
  const std::string source = PlatformPath(from), target = PlatformPath(to);
  if (source.empty() || target.empty()) return 1;
  struct stat st {};
  if (::lstat(source.c_str(), &st) != 0) return 1;
  // renameat2 refuses an existing target in the same step as the move.
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  if (errno == EXDEV && S_ISREG(st.st_mode)) {
    // Another file system: copy without replacing, then remove the source.
    std::error_code ec;
    if (!fs::copy_file(source, target, fs::copy_options::none, ec) || ec) return 1;
    return Result(::unlink(source.c_str()) == 0);
  }
  if (errno == EINVAL || errno == ENOSYS) {
    // A file system without the flag: a hard link fails on an existing target.
    if (::link(source.c_str(), target.c_str()) != 0) return 1;
    return Result(::unlink(source.c_str()) == 0);
  }
  return 1;
}

int16_t Folder::MakeDir(const std::string& path) const {
  const std::string dir = PlatformPath(path);
  if (dir.empty()) return 1;
  return Result(::mkdir(dir.c_str(), 0777) == 0);
}

int16_t Folder::DelDir(const std::string& path) const {
  const std::string dir = PlatformPath(path);
  if (dir.empty()) return 1;
  return Result(::rmdir(dir.c_str()) == 0);
}

void Folder::RunApplication(const std::string& command_line) const {
  std::vector<std::string> args = SplitCommandLine(command_line);
  if (args.empty()) throw std::runtime_error("RunApplication: no program given");
  const std::vector<std::string> allowed = AllowedPrograms();
  if (std::find(allowed.begin(), allowed.end(), args[0]) == allowed.end()) {
    throw std::runtime_error("RunApplication: \"" + args[0] +
                             "\" is not listed in [server] allowed_programs");
  }
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    throw std::runtime_error("RunApplication: cannot start \"" + args[0] +
                             "\": " + std::strerror(rc));
  }
  // Not waited for by the caller; a detached waiter reaps it.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

void SetAllowedPrograms(std::vector<std::string> programs) {
  std::lock_guard lock(ProgramsMutex());
  Programs() = std::move(programs);
}

std::vector<std::string> AllowedPrograms() {
  std::lock_guard lock(ProgramsMutex());
  return Programs();
}

std::string PlatformPath(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (GlobMatch(pattern, name)) return true;
  // "x.*" also matches "x".
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
    return name.find('.') == std::string_view::npos &&
           GlobMatch(pattern.substr(0, pattern.size() - 2), name);
  }
  return false;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::string current;
  bool in_arg = false, quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          current += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        current += c;
      }
    } else if (c == '"') {
      quoted = in_arg = true;
    } else if (c == ' ' || c == '\t') {
      if (in_arg) args.push_back(std::move(current));
      current.clear();
      in_arg = false;
    } else {
      current += c;
      in_arg = true;
    }
  }
  if (in_arg) args.push_back(std::move(current));
  return args;
}

}  // namespace qv
