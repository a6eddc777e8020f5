#include "http/compression.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "core/convert.h"

namespace qv::http {
namespace {

// Pages are compressed for every view: a quick level. Static files are
// compressed once and kept (static_files.cc), so they take a better one.
constexpr int kPageLevel = 1;

// The q-value of one "coding;q=0.5" item (1 without one, 0 for rubbish).
double QualityOf(std::string_view parameters) {
  size_t pos = 0;
  while (pos < parameters.size()) {
    size_t end = parameters.find(';', pos);
    if (end == std::string_view::npos) end = parameters.size();
    std::string item = Trim(parameters.substr(pos, end - pos));
    if (item.size() >= 2 && (item[0] == 'q' || item[0] == 'Q') && item[1] == '=') {
      try {
        size_t used = 0;
        const double q = std::stod(item.substr(2), &used);
        return used == item.size() - 2 && q >= 0 && q <= 1 ? q : 0;
      } catch (const std::exception&) {
        return 0;
      }
    }
    pos = end + 1;
  }
  return 1;
}

bool StatusMayCompress(int status) {
  return status >= 200 && status != 204 && status != 206 && status != 304;
}

}  // namespace

bool AcceptsGzip(std::string_view accept_encoding) {
  double gzip = -1, any = -1;
  size_t pos = 0;
  while (pos < accept_encoding.size()) {
    size_t end = accept_encoding.find(',', pos);
    if (end == std::string_view::npos) end = accept_encoding.size();
    std::string_view item = accept_encoding.substr(pos, end - pos);
    size_t semicolon = item.find(';');
    std::string coding = ToLower(Trim(item.substr(0, semicolon)));
    double q = semicolon == std::string_view::npos ? 1 : QualityOf(item.substr(semicolon + 1));
    if (coding == "gzip" || coding == "x-gzip") {
      gzip = std::max(gzip, q);
    } else if (coding == "*") {
      any = std::max(any, q);
    }
    pos = end + 1;
  }
  return gzip >= 0 ? gzip > 0 : any > 0;
}

bool IsCompressibleType(std::string_view content_type) {
  std::string type = ToLower(Trim(content_type.substr(0, content_type.find(';'))));
  if (type.starts_with("text/")) return true;
  static const char* const kTextTypes[] = {"application/javascript", "application/json",
                                           "application/xml",        "application/xhtml+xml",
                                           "application/rss+xml",    "application/atom+xml",
                                           "image/svg+xml",          "application/x-javascript"};
  for (const char* known : kTextTypes) {
    if (type == known) return true;
  }
  return false;
}

std::string Gzip(std::string_view data, int level) {
  // A compressor holds about 256 KB of tables: each thread keeps one per
  // level and resets it, rather than allocating and clearing them for
  // every response.
  struct Deflater {
    z_stream stream{};
    bool ready = false;
    ~Deflater() {
      if (ready) deflateEnd(&stream);
    }
  };
  thread_local Deflater deflaters[Z_BEST_COMPRESSION + 1];
  level = std::clamp(level, Z_BEST_SPEED, Z_BEST_COMPRESSION);
  Deflater& deflater = deflaters[level];
  z_stream& stream = deflater.stream;
  if (!deflater.ready) {
    // 15 window bits, +16 for the gzip wrapper.
    if (deflateInit2(&stream, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw std::runtime_error("gzip: cannot start the compressor");
    }
    deflater.ready = true;
  } else if (deflateReset(&stream) != Z_OK) {
    throw std::runtime_error("gzip: cannot reset the compressor");
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  if (status != Z_STREAM_END) throw std::runtime_error("gzip: the output did not fit");
  return out;
}

void CompressResponse(const IncomingRequest& request, OutgoingResponse& response) {
  if (!StatusMayCompress(response.status) || !response.file_path.empty()) return;
  if (!IsCompressibleType(response.Header("Content-Type"))) return;
  if (!response.Header("Content-Encoding").empty()) return;
  response.SetHeader("Vary", "Accept-Encoding");
  if (response.body.size() < kCompressMinBytes) return;
  if (!AcceptsGzip(request.Header("Accept-Encoding"))) return;
  response.body = Gzip(response.body, kPageLevel);
  response.SetHeader("Content-Encoding", "gzip");
}

}  // namespace qv::http
