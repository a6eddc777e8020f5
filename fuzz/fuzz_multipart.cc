// The streaming multipart parser over any body. Checked beyond not
// crashing: the body fed whole and fed in small pieces gives the same parts,
// the same error and the same files; a failed parse leaves no file; every
// file written carries a safe name, holds the size its part reports and
// stays in its folder; field values are valid UTF-8.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <system_error>

#include "files/multipart.h"

namespace {

namespace fs = std::filesystem;

// The staging folders of this run, removed again when the fuzzer exits.
struct ScratchFolder {
  fs::path dir = fs::temp_directory_path() / ("qvtome-fuzz-multipart-" + std::to_string(getpid()));
  ScratchFolder() {
    fs::remove_all(dir);
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
};

const fs::path& Root() {
  static const ScratchFolder scratch;
  return scratch.dir;
}

std::map<std::string, std::string> TakeFiles(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
  }
  for (const auto& [name, content] : files) fs::remove(dir / name);
  return files;
}

struct Outcome {
  bool ok;
  std::string error;
  std::vector<qv::UploadPart> parts;
};

Outcome Run(std::string_view body, const fs::path& dir, size_t piece) {
  qv::MultipartParser parser(dir.string() + "/", 300);
  for (size_t i = 0; i < body.size(); i += piece) {
    if (!parser.Feed(body.substr(i, piece))) break;
  }
  const bool ok = parser.Finish();
  return {ok, parser.Error(), parser.Parts()};
}

bool SameParts(const std::vector<qv::UploadPart>& a, const std::vector<qv::UploadPart>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].value != b[i].value || a[i].file_name != b[i].file_name ||
        a[i].size != b[i].size || a[i].file != b[i].file) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  const size_t piece = size == 0 ? 1 : data[size - 1] % 17 + 1;
  const Outcome whole = Run(body, Root() / "a", body.size() + 1);
  const Outcome pieces = Run(body, Root() / "b", piece);
  const auto files_whole = TakeFiles(Root() / "a");
  const auto files_pieces = TakeFiles(Root() / "b");

  if (whole.ok != pieces.ok || whole.error != pieces.error) std::abort();
  if (!whole.ok && (!files_whole.empty() || !files_pieces.empty())) std::abort();
  if (!whole.ok) return 0;
  if (!SameParts(whole.parts, pieces.parts) || files_whole != files_pieces) std::abort();
  size_t written = 0;
  for (const qv::UploadPart& part : whole.parts) {
    if (qv::BytesToText(part.value) != part.value || qv::BytesToText(part.name) != part.name) {
      std::abort();
    }
    if (part.file != qv::UploadPart::FileState::kStored || part.size == 0) continue;
    if (!qv::SafeUploadName(part.file_name, part.file_name) || part.size > 300) std::abort();
    auto it = files_whole.find(part.file_name);
    if (it == files_whole.end()) std::abort();
    // A later part of the same name replaces the file.
    if (static_cast<int64_t>(it->second.size()) != part.size) {
      bool replaced = false;
      for (const qv::UploadPart& other : whole.parts) {
        replaced = replaced || (&other != &part && other.file_name == part.file_name);
      }
      if (!replaced) std::abort();
    }
    ++written;
  }
  if (files_whole.size() > written) std::abort();
  // Nothing beside the two folders.
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Root())) ++entries;
  if (entries != 2) std::abort();
  return 0;
}
