#include "files/upload.h"

#include <algorithm>
#include <fstream>

#include "files/folder.h"
#include "files/multipart.h"

namespace qv {
namespace {

constexpr int64_t kChunkBytes = 64 * 1024;

Variant TableOf(const std::vector<UploadPart>& parts) {
  using FS = UploadPart::FileState;
  auto counted = [](const UploadPart& p) {
    return p.file == FS::kStored || p.file == FS::kTooLarge;
  };
  const int64_t files = std::count_if(parts.begin(), parts.end(), counted);
  auto table = MakeArray2D(5, parts.size());
  for (size_t column = 0; column < parts.size(); ++column) {
    const UploadPart& part = parts[column];
    table->at(0, column) = part.name;
    table->at(1, column) = part.file == FS::kNone ? part.value : std::string();
    table->at(2, column) = counted(part) ? part.file_name : std::string();
    table->at(3, column) = counted(part) ? Variant(part.size) : Variant(std::string());
    table->at(4, column) = Variant(files);
  }
  return Variant(std::move(table));
}

}  // namespace

Variant ParseUploadBody(const std::string& targetDirectory, int16_t limitK, UploadReport* report) {
  UploadReport local;
  UploadReport& out = report != nullptr ? *report : local;
  out = UploadReport{};
  Request& request = TheRequest();
  const int64_t total = request.TotalBytes();
  if (total <= 0) return Variant(std::string());

  MultipartParser parser(targetDirectory, int64_t{std::max<int16_t>(limitK, 0)} * 1024);
  int64_t read = 0;
  while (read < total) {
    std::string chunk;
    try {
      chunk = request.BinaryRead(std::min(kChunkBytes, total - read));
    } catch (const HostError&) {
      if (read > 0) throw;
      out.error = std::string(kUploadAfterFormError);
      ResponseWrite(kUploadAfterFormError);
      return Variant(std::string());
    }
    if (chunk.empty()) break;  // the body was shorter than announced
    read += static_cast<int64_t>(chunk.size());
    if (!parser.Feed(chunk)) break;
  }
  if (!parser.Finish()) {
    out.error = parser.Error();
    ResponseWrite("Error: the upload could not be read: " + parser.Error() + ".");
    return Variant(std::string());
  }
  for (const UploadPart& part : parser.Parts()) {
    if (part.file == UploadPart::FileState::kRefused) out.refused.push_back(part.file_name);
    if (part.file == UploadPart::FileState::kFailed) out.failed.push_back(part.file_name);
  }
  if (parser.Parts().empty()) return Variant(std::string());
  return TableOf(parser.Parts());
}

bool SaveUploadedFile(std::string_view bytes, const std::string& path) {
  std::ofstream out(PlatformPath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace qv
