#include "http/query_parse.h"

#include "core/convert.h"
#include "core/encode.h"

namespace qv::http {

namespace {

// Calls fn(part) for each piece of `text` between separators.
template <class Fn>
void ForEachPart(std::string_view text, char separator, Fn fn) {
  while (!text.empty()) {
    size_t end = text.find(separator);
    fn(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendEscape(std::string& out, unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

bool BreaksOut(unsigned char c) {
  return c <= 0x20 || c == 0x7f || c == '"' || c == '\'' || c == '<' || c == '>' || c == '\\' ||
         c == '`';
}

}  // namespace

ParamList ParseCookies(std::string_view header) {
  ParamList cookies;
  ForEachPart(header, ';', [&](std::string_view part) {
    part = TrimBlanks(part);
    size_t eq = part.find('=');
    if (part.empty() || eq == std::string_view::npos || eq == 0) return;
    std::string_view value = TrimBlanks(part.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    cookies.Add(std::string(TrimBlanks(part.substr(0, eq))), std::string(value));
  });
  return cookies;
}

std::string PercentDecodePath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '%' && i + 2 < path.size() && HexDigit(path[i + 1]) >= 0 &&
        HexDigit(path[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(path[i + 1]) * 16 + HexDigit(path[i + 2]));
      i += 2;
    } else {
      out += path[i];
    }
  }
  return out;
}

std::string EncodeUnsafeUrlBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (BreaksOut(c)) {
      AppendEscape(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string EncodePathForUrl(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (unsigned char c : path) {
    if (BreaksOut(c) || c == '%' || c == '?' || c == '#') {
      AppendEscape(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace qv::http
