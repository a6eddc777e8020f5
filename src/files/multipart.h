// A streaming parser of multipart/form-data request bodies.
//
// The body is fed in chunks of any size. Field values are kept (bounded);
// file content goes straight to a file in the target directory as it
// arrives, so memory does not grow with a file's size. The delimiter is the
// body's first line (as browsers send it, "--" and the boundary), each later
// one preceded by CR LF; a delimiter followed by "--" ends the body.
//
// A part whose Content-Disposition carries a non-empty filename is a file,
// stored under its base name (the text after the last "/" or "\"); an empty
// filename (no file chosen) stores nothing. Names and values are UTF-8, with
// invalid bytes replaced. Unsafe file names are refused and never written
// (SafeUploadName). A file over the limit stops being written and its
// partial file is removed. A malformed body (no delimiter line, headers
// without Content-Disposition, a body that ends inside a part, too many or
// too large parts) ends parsing with an error; Abandon (or the destructor
// of a parser that did not finish) removes every file this parse wrote.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct UploadPart {
  enum class FileState {
    kNone,      // a field part
    kNoFile,    // a file input with no file chosen: nothing stored
    kStored,    // written (or empty: size 0, nothing written)
    kTooLarge,  // over the limit: removed, size -1
    kRefused,   // an unsafe name: not written
    kFailed,    // could not be written (or an earlier part took its name)
  };
  std::string name;       // field name, lower-cased
  std::string value;      // text of a field part
  std::string file_name;  // base name of a file part; for a refused one the
                          // name as sent (may hold any character: encode it)
  int64_t size = 0;       // bytes written; -1 when too large
  FileState file = FileState::kNone;
};

class MultipartParser {
 public:
  // Files go to target_directory (ending in a separator; backslashes stand
  // for it) followed by the base name. A file may hold up to limit_bytes.
  MultipartParser(std::string target_directory, int64_t limit_bytes);
  ~MultipartParser();
  MultipartParser(const MultipartParser&) = delete;
  MultipartParser& operator=(const MultipartParser&) = delete;

  // Feeds the next bytes. False once parsing has ended with an error (more
  // input is then ignored).
  bool Feed(std::string_view bytes);
  // The body is complete. False (with Error set) when it ended early; the
  // files written stay only when this returns true.
  bool Finish();
  // Removes every file this parse wrote.
  void Abandon();

  const std::vector<UploadPart>& Parts() const { return parts_; }
  // Why parsing failed, "" when it did not.
  const std::string& Error() const { return error_; }

  // Limits on what is kept in memory.
  static constexpr size_t kMaxParts = 1000;
  static constexpr size_t kMaxHeaderBytes = 16 * 1024;
  static constexpr size_t kMaxDelimiterBytes = 256;
  static constexpr size_t kMaxFieldBytes = 1024 * 1024;  // all field values together

 private:
  enum class State { kFirstLine, kHeaders, kContent, kAfterDelimiter, kDone, kFailed };

  bool Fail(std::string message);
  bool StartPart(std::string_view headers);
  bool Content(std::string_view bytes);
  bool EndPart();
  void CloseFile();

  std::string target_;
  int64_t limit_;
  State state_ = State::kFirstLine;
  std::string delimiter_;  // CR LF and the first line
  std::string pending_;    // bytes not yet consumed
  std::vector<UploadPart> parts_;
  size_t field_bytes_ = 0;
  FILE* file_ = nullptr;
  std::string file_path_;
  std::vector<std::string> written_;
  std::string error_;
};

// Whether an uploaded base name may become a file name: not empty, no "..",
// no separator, no control character, no leading dot, not a reserved
// device name (con, prn, aux, nul, com1-9, lpt1-9, with any extension and in
// any case), at most 200 bytes. `sent` is the name as the client sent it; a
// name that begins with "/" (an absolute path on the server) or holds ".."
// anywhere is refused too.
bool SafeUploadName(std::string_view sent, std::string_view base);

// The text after the last "/" or "\".
std::string_view UploadBaseName(std::string_view sent);

// Bytes as UTF-8 text: valid sequences kept, every invalid byte replaced by
// U+FFFD.
std::string BytesToText(std::string_view bytes);

}  // namespace qv
