// Reading an upload: the request body parsed into the upload table, and the
// table kept for the rest of the request.
//
// The upload table is a two-dimensional array of five rows and one column
// per body part, in body order:
//   row 0  field name, lower-cased
//   row 1  text of a field part ("" for file parts)
//   row 2  base name of a stored file ("" for fields, empty file inputs and
//          refused or unwritable files)
//   row 3  file size in bytes, -1 when over the limit ("" unless row 2 is set)
//   row 4  the number of columns with a file name, in every column
// Files are written into the target directory under their base names; a
// file of size 0 or -1 is not written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/variant.h"
#include "host/context.h"

namespace qv {

// What a parse could not store, for the caller to report.
struct UploadReport {
  // Unsafe file names, not written: as sent (UTF-8, any character; encode
  // them when shown).
  std::vector<std::string> refused;
  // Base names of files that could not be written (or repeated a name
  // already stored from the same body).
  std::vector<std::string> failed;
  std::string error;  // why the body could not be parsed ("" when it could)
};

// The upload of this request: the table of the last parse (Empty before any
// parse) and its report. Reset by SysVar.Init like every request part, so
// no request sees another's upload. The book module's upload methods write
// and read it.
struct UploadState {
  Variant UploadTable;
  UploadReport report;
};
inline UploadState& TheUpload() { return RequestPart<UploadState>(); }

// The literal answer when the body was already read as a form.
inline constexpr std::string_view kUploadAfterFormError =
    "Error: you can not read request.form before upload.";

// Parses the current request's body (Request.TotalBytes, then
// Request.BinaryRead in chunks of 64 KB) as multipart/form-data and returns
// the upload table. The body streams through the parser: file content goes
// straight to `targetDirectory` (ending in a separator; backslashes stand
// for it), a file over `limitK` x 1024 bytes is cut off and removed.
//
// Returns "" (a text Variant) and writes nothing when the body is empty;
// "" after writing kUploadAfterFormError when BinaryRead raises because the
// form was read; "" after writing "Error: the upload could not be read: "
// and the reason when the body is malformed (no file of it is left behind).
// `report`, when given, receives the refused and unwritable file names and
// the reason of a failure. Other errors of the host (and a directory that
// does not exist, reported as a failed file) do not raise.
Variant ParseUploadBody(const std::string& targetDirectory, int16_t limitK,
                        UploadReport* report = nullptr);

// Creates or replaces the file `path` (backslashes stand for the separator)
// holding exactly `bytes`. False when it cannot be written.
bool SaveUploadedFile(std::string_view bytes, const std::string& path);

}  // namespace qv
