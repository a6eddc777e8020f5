#include "files/multipart.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

#include "core/convert.h"
#include "files/folder.h"

namespace qv {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsLinearSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsLinearSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsLinearSpace(s.back())) s.remove_suffix(1);
  return s;
}

// The parameters of a Content-Disposition value ("form-data; name="a";
// filename="b""): keys lower-cased, quoted values without their quotes (a
// quoted value runs to the next quote: browsers send a quote in a name as
// %22).
struct Disposition {
  bool has_name = false, has_filename = false;
  std::string_view name, filename;
};

Disposition ParseDisposition(std::string_view value) {
  Disposition d;
  size_t i = 0;
  // Skip the disposition type.
  while (i < value.size() && value[i] != ';') ++i;
  while (i < value.size()) {
    ++i;  // the ';'
    size_t key_start = i;
    while (i < value.size() && value[i] != '=' && value[i] != ';') ++i;
    std::string key = ToLower(TrimBlanks(value.substr(key_start, i - key_start)));
    std::string_view param;
    if (i < value.size() && value[i] == '=') {
      ++i;
      while (i < value.size() && IsLinearSpace(value[i])) ++i;
      if (i < value.size() && value[i] == '"') {
        const size_t start = ++i;
        while (i < value.size() && value[i] != '"') ++i;
        param = value.substr(start, i - start);
        if (i < value.size()) ++i;  // the closing quote
        while (i < value.size() && value[i] != ';') ++i;
      } else {
        const size_t start = i;
        while (i < value.size() && value[i] != ';') ++i;
        param = TrimBlanks(value.substr(start, i - start));
      }
    }
    if (key == "name" && !d.has_name) {
      d.has_name = true;
      d.name = param;
    } else if (key == "filename" && !d.has_filename) {
      d.has_filename = true;
      d.filename = param;
    }
  }
  return d;
}

bool IsReservedDeviceName(std::string_view base) {
  std::string stem = ToLower(base.substr(0, base.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
  if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end()) return true;
  return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
         stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string_view UploadBaseName(std::string_view sent) {
  const size_t cut = sent.find_last_of("/\\");
  return cut == std::string_view::npos ? sent : sent.substr(cut + 1);
}

bool SafeUploadName(std::string_view sent, std::string_view base) {
  if (base.empty() || base.size() > 200) return false;
  if (sent.starts_with('/') || sent.find("..") != std::string_view::npos) return false;
  if (base.find_first_of("/\\") != std::string_view::npos) return false;
  for (unsigned char c : sent) {
    if (c < 0x20 || c == 0x7f) return false;
  }
  if (base.front() == '.') return false;
  return !IsReservedDeviceName(base);
}

std::string BytesToText(std::string_view bytes) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    uint32_t code = 0, min = 0;
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      length = 2, code = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3, code = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4, code = b & 0x07, min = 0x10000;
    }
    bool valid = length > 0 && i + length <= bytes.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + k]);
      if ((c & 0xC0) != 0x80) valid = false;
      code = (code << 6) | (c & 0x3F);
    }
    if (valid && code >= min && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
      out.append(bytes.substr(i, length));
      i += length;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

MultipartParser::MultipartParser(std::string target_directory, int64_t limit_bytes)
    : target_(PlatformPath(target_directory)), limit_(std::max<int64_t>(0, limit_bytes)) {}

MultipartParser::~MultipartParser() {
  if (state_ != State::kDone) Abandon();
  CloseFile();
}

bool MultipartParser::Fail(std::string message) {
  error_ = std::move(message);
  state_ = State::kFailed;
  Abandon();
  pending_.clear();
  return false;
}

void MultipartParser::CloseFile() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

void MultipartParser::Abandon() {
  CloseFile();
  for (const std::string& path : written_) ::unlink(path.c_str());
  written_.clear();
}

bool MultipartParser::Feed(std::string_view bytes) {
  if (state_ == State::kFailed) return false;
  if (state_ == State::kDone) return true;
  pending_.append(bytes);
  size_t pos = 0;  // consumed bytes of pending_
  auto rest = [&] { return std::string_view(pending_).substr(pos); };
  bool more = true;
  while (more && state_ != State::kFailed && state_ != State::kDone) {
    switch (state_) {
      case State::kFirstLine: {
        const size_t end = rest().find(kCrLf);
        if (end == std::string_view::npos) {
          // The CR of a line end may be the last byte so far.
          if (rest().size() > kMaxDelimiterBytes + 1) {
            return Fail("the body begins with no boundary");
          }
          more = false;
        } else if (end == 0 || end > kMaxDelimiterBytes) {
          return Fail("the body begins with no boundary");
        } else {
          delimiter_ = std::string(kCrLf) + std::string(rest().substr(0, end));
          pos += end + 2;
          state_ = State::kHeaders;
        }
        break;
      }
      case State::kHeaders: {
        // Headers end with an empty line; a part may have none at all.
        const std::string_view r = rest();
        size_t end = r.starts_with(kCrLf) ? 0 : r.find("\r\n\r\n");
        if (end == std::string_view::npos) {
          // Up to three bytes of the empty line may have come so far.
          if (r.size() > kMaxHeaderBytes + 3) return Fail("a part's headers are too long");
          more = false;
          break;
        }
        if (end > kMaxHeaderBytes) return Fail("a part's headers are too long");
        const std::string_view headers = r.substr(0, end);
        pos += end == 0 ? 2 : end + 4;
        if (!StartPart(headers)) return false;
        state_ = State::kContent;
        break;
      }
      case State::kContent: {
        const std::string_view r = rest();
        const size_t found = r.find(delimiter_);
        if (found == std::string_view::npos) {
          // Keep what may be the start of a delimiter.
          const size_t keep = std::min(r.size(), delimiter_.size() - 1);
          if (!Content(r.substr(0, r.size() - keep))) return false;
          pos += r.size() - keep;
          more = false;
        } else {
          if (!Content(r.substr(0, found))) return false;
          pos += found;
          state_ = State::kAfterDelimiter;
        }
        break;
      }
      case State::kAfterDelimiter: {
        // rest() begins with the delimiter: CR LF ends the part, "--" the
        // body; blanks before the CR LF are padding. Anything else was
        // content that looked like a delimiter.
        const std::string_view r = rest().substr(delimiter_.size());
        size_t blanks = 0;
        while (blanks < r.size() && blanks <= 64 && IsLinearSpace(r[blanks])) ++blanks;
        if (blanks <= 64 && r.size() < blanks + 2) {
          more = false;
          break;
        }
        if (blanks > 64) {
          if (!Content(rest().substr(0, 1))) return false;
          pos += 1;
          state_ = State::kContent;
        } else if (blanks == 0 && r.starts_with("--")) {
          if (!EndPart()) return false;
          state_ = State::kDone;
          pos = pending_.size();
        } else if (r.substr(blanks).starts_with(kCrLf)) {
          if (!EndPart()) return false;
          pos += delimiter_.size() + blanks + 2;
          state_ = State::kHeaders;
        } else {
          if (!Content(rest().substr(0, 1))) return false;
          pos += 1;
          state_ = State::kContent;
        }
        break;
      }
      case State::kDone:
      case State::kFailed:
        break;
    }
  }
  if (state_ == State::kFailed) return false;
  if (state_ == State::kDone) {
    pending_.clear();
  } else {
    pending_.erase(0, pos);
  }
  return true;
}

bool MultipartParser::Finish() {
  if (state_ == State::kDone) return true;
  if (state_ == State::kFailed) return false;
  if (state_ == State::kFirstLine && pending_.empty() && parts_.empty()) {
    return Fail("the body is empty");
  }
  if (state_ == State::kFirstLine) return Fail("the body begins with no boundary");
  return Fail("the body ends before its closing boundary");
}

bool MultipartParser::StartPart(std::string_view headers) {
  if (parts_.size() >= kMaxParts) return Fail("the body has too many parts");
  std::optional<Disposition> disposition;
  while (!headers.empty()) {
    const size_t end = headers.find(kCrLf);
    const std::string_view line = headers.substr(0, end);
    headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 2);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    if (!disposition && EqualsNoCase(TrimBlanks(line.substr(0, colon)), "content-disposition")) {
      disposition = ParseDisposition(line.substr(colon + 1));
    }
  }
  if (!disposition) return Fail("a part has no Content-Disposition header");
  UploadPart part;
  part.name = ToLower(BytesToText(disposition->name));
  if (disposition->has_filename && !disposition->filename.empty()) {
    const std::string sent = BytesToText(disposition->filename);
    const std::string_view base = UploadBaseName(sent);
    if (!SafeUploadName(sent, base)) {
      part.file_name = sent;
      part.file = UploadPart::FileState::kRefused;
    } else {
      part.file_name = std::string(base);
      // Two parts of one name would write one file: the later one is not
      // stored, so the earlier keeps what it reports.
      const bool taken = std::any_of(parts_.begin(), parts_.end(), [&](const UploadPart& p) {
        return p.file == UploadPart::FileState::kStored && p.file_name == part.file_name;
      });
      part.file = taken ? UploadPart::FileState::kFailed : UploadPart::FileState::kStored;
    }
  } else if (disposition->has_filename) {
    part.file = UploadPart::FileState::kNoFile;
  }
  parts_.push_back(std::move(part));
  return true;
}

bool MultipartParser::Content(std::string_view bytes) {
  if (bytes.empty()) return true;
  UploadPart& part = parts_.back();
  using FS = UploadPart::FileState;
  if (part.file == FS::kNone) {
    field_bytes_ += bytes.size();
    if (field_bytes_ > kMaxFieldBytes) return Fail("the form's fields are too large");
    part.value.append(bytes);
    return true;
  }
  if (part.file != FS::kStored) return true;  // no file, refused, too large, failed: dropped
  if (part.size + static_cast<int64_t>(bytes.size()) > limit_) {
    CloseFile();
    if (!file_path_.empty()) {
      ::unlink(file_path_.c_str());
      written_.erase(std::remove(written_.begin(), written_.end(), file_path_), written_.end());
    }
    part.file = FS::kTooLarge;
    part.size = -1;
    return true;
  }
  if (file_ == nullptr) {
    file_path_ = target_ + part.file_name;
    const int fd =
        ::open(file_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
      if (fd >= 0) ::close(fd);
      part.file = FS::kFailed;
      file_path_.clear();
      return true;
    }
    written_.push_back(file_path_);
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    CloseFile();
    ::unlink(file_path_.c_str());
    written_.erase(std::remove(written_.begin(), written_.end(), file_path_), written_.end());
    part.file = FS::kFailed;
    return true;
  }
  part.size += static_cast<int64_t>(bytes.size());
  return true;
}

bool MultipartParser::EndPart() {
  UploadPart& part = parts_.back();
  if (part.file == UploadPart::FileState::kNone) {
    part.value = BytesToText(part.value);
    return true;
  }
  if (file_ != nullptr) {
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!ok) {
      ::unlink(file_path_.c_str());
      written_.erase(std::remove(written_.begin(), written_.end(), file_path_), written_.end());
      part.file = UploadPart::FileState::kFailed;
    }
  }
  file_path_.clear();
  if (part.file == UploadPart::FileState::kRefused || part.file == UploadPart::FileState::kFailed) {
    part.size = 0;
  }
  return true;
}

}  // namespace qv
