#include "core/encode.h"

#include <cctype>
#include <vector>

namespace qv {

std::string HtmlEncode(std::string_view text) {
  std::string r;
  r.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    switch (c) {
      case '&':
        r += "&amp;";
        break;
      case '<':
        r += "&lt;";
        break;
      case '>':
        r += "&gt;";
        break;
      case '"':
        r += "&quot;";
        break;
      case '\'':
        r += "&#39;";
        break;
      default:
        r += c;
    }
  }
  return r;
}

std::string UrlEncode(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string r;
  r.reserve(text.size() * 3);
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '*') {
      r += static_cast<char>(c);
    } else if (c == ' ') {
      r += '+';
    } else {
      r += '%';
      r += kHex[c >> 4];
      r += kHex[c & 15];
    }
  }
  return r;
}

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::string UrlDecode(std::string_view text) {
  std::string r;
  r.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      r += ' ';
    } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      r += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      r += c;
    }
  }
  return r;
}

std::optional<std::string> NormalizeUrlPath(std::string_view virtual_path) {
  std::vector<std::string_view> segments;
  size_t pos = 0;
  while (pos <= virtual_path.size()) {
    size_t end = virtual_path.find('/', pos);
    if (end == std::string_view::npos) end = virtual_path.size();
    std::string_view segment = virtual_path.substr(pos, end - pos);
    if (segment == "..") {
      if (segments.empty()) return std::nullopt;
      segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    pos = end + 1;
  }
  std::string result;
  for (std::string_view segment : segments) (result += '/') += segment;
  bool trailing = !virtual_path.empty() && virtual_path.back() == '/';
  bool dot_end = virtual_path.ends_with("/.") || virtual_path.ends_with("/..");
  if (result.empty() || trailing || dot_end) result += '/';
  return result;
}

}  // namespace qv
