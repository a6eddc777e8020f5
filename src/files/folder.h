// Folder and AspFile: directory listings and file operations for page
// scripts and the media upload.
//
// Paths may be written with backslashes; they stand for the platform's
// separator. The operations report failure through their result (0 success,
// 1 failure) and never raise, except Item (a missing entry) and
// RunApplication (a program that is not allowed or cannot start).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/variant.h"

namespace qv {

// One entry of a listing. Plain storage: a script may set every field.
class AspFile : public Object {
 public:
  std::string FilePath;  // the directory, ending in a separator
  std::string FileName;  // the name without directory
  Date FileDate;         // last modification, local time
  int32_t FileSize = 0;  // bytes (files past 2 GB read as the largest value)

  Variant GetFileDate() const { return Variant(FileDate); }
  void SetFileDate(const Variant& value);
};

class Folder : public Object {
 public:
  // The entry at a position from 1 (a number) or with a key (text). A
  // position or key that does not exist throws std::out_of_range.
  std::shared_ptr<AspFile> Item(const Variant& index_or_key) const;
  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }

  // Replaces the entries with the plain files of directory `path` whose
  // names match `pattern` ("*" and "?"; "*.*" also matches names without a
  // dot), ordered by name; hidden (dot) files, directories and links are
  // left out. An empty path or pattern gives no entries. `path` receives a
  // trailing "/" when it ends in no separator. `sort` is accepted and unused.
  void ListFile(std::string& path, const std::string& pattern, int16_t sort = 0);

  // Deletes one file, or every plain file matching a pattern in its last
  // component; no match is a failure.
  int16_t DelFile(const std::string& path) const;
  // Copies a plain file, replacing the target.
  int16_t CopyFile(const std::string& from, const std::string& to) const;
  // Renames or moves a file; fails when the target exists.
  int16_t ReNameFile(const std::string& from, const std::string& to) const;
  // Creates one directory; fails when it exists or its parent is missing.
  int16_t MakeDir(const std::string& path) const;
  // Removes an empty directory.
  int16_t DelDir(const std::string& path) const;

  // Starts the program of a command line (split at blanks, "..." keeps
  // blanks in one argument) without a shell and without waiting. Only a
  // program named exactly as in SetAllowedPrograms may start; anything else
  // throws std::runtime_error saying so, as does a program that cannot be
  // started.
  void RunApplication(const std::string& command_line) const;

  // Appends an entry; a non-empty key makes it reachable by Item(key).
  void Add(std::shared_ptr<AspFile> file, std::string key = "");

 private:
  std::vector<std::pair<std::string, std::shared_ptr<AspFile>>> entries_;  // (key, file)
};

// The programs RunApplication may start (the [server] allowed_programs list).
// Process-wide; set once as the server starts. Empty by default.
void SetAllowedPrograms(std::vector<std::string> programs);
std::vector<std::string> AllowedPrograms();

// `path` with every backslash turned into the platform's separator.
std::string PlatformPath(std::string_view path);

// Whether `name` matches `pattern`: "*" any run, "?" one character, letters
// without regard to ASCII case; a pattern ending in ".*" also matches the
// name without an extension ("*.*" matches every name).
bool WildcardMatch(std::string_view pattern, std::string_view name);

// The arguments of a command line: blanks separate them, double quotes
// group blanks into one ("" inside quotes is one quote).
std::vector<std::string> SplitCommandLine(std::string_view command_line);

}  // namespace qv
