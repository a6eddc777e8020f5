// The parsers of request values over any text: query strings and form
// bodies (ParamList), cookie headers, and the URL path helpers. Checked
// beyond not crashing: the pairs of a parsed query, encoded again, parse to
// the same pairs; a cookie header gives no name with a separator in it; an
// encoded path decodes to itself; and the unsafe-byte encoding leaves no
// byte that could leave an attribute or script string.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/encode.h"
#include "core/param_list.h"
#include "http/query_parse.h"

namespace {

bool BreaksOut(unsigned char c) {
  return c <= 0x20 || c == 0x7f || c == '"' || c == '\'' || c == '<' || c == '>' || c == '\\' ||
         c == '`';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const qv::ParamList query = qv::ParseQuery(text);
  std::string again;
  for (const auto& [name, value] : query.pairs()) {
    if (!again.empty()) again += '&';
    again += qv::UrlEncode(name) + "=" + qv::UrlEncode(value);
    if (!query.Contains(name)) std::abort();
  }
  if (qv::ParseQuery(again).pairs() != query.pairs()) std::abort();
  for (const std::string& key : query.Keys()) (void)query.Get(key);

  const qv::ParamList cookies = qv::http::ParseCookies(text);
  for (const auto& [name, value] : cookies.pairs()) {
    if (name.empty() || name.find(';') != std::string::npos ||
        value.find(';') != std::string::npos) {
      std::abort();
    }
  }

  if (qv::http::PercentDecodePath(qv::http::EncodePathForUrl(text)) != text) std::abort();
  for (unsigned char c : qv::http::EncodeUnsafeUrlBytes(text)) {
    if (BreaksOut(c)) std::abort();
  }
  (void)qv::UrlDecode(text);
  return 0;
}
