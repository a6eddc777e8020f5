// Reads a mail message back for tests: the header fields (unfolded, names
// in lower case), the body, and the decoders of its encodings; and a free
// port on 127.0.0.1 for a mail server to listen on (or none to be there).
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace qv::testing {

struct Eml {
  std::multimap<std::string, std::string> headers;
  std::string body;  // as stored, CR LF line ends

  std::string Header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? "" : it->second;
  }
};

// Every line ends in CR LF: no lone CR or LF anywhere.
inline bool AllLinesEndInCrLf(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
  }
  return text.ends_with("\r\n");
}

inline Eml ParseEml(const std::string& text) {
  Eml eml;
  const size_t end = text.find("\r\n\r\n");
  EXPECT_NE(end, std::string::npos) << "no blank line after the headers";
  std::string name, value;
  size_t pos = 0;
  auto flush = [&] {
    if (!name.empty()) eml.headers.emplace(name, value);
    name.clear();
  };
  while (pos < end + 2) {
    const size_t line_end = text.find("\r\n", pos);
    const std::string line = text.substr(pos, line_end - pos);
    pos = line_end + 2;
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
      value += line;  // folded
      continue;
    }
    flush();
    const size_t colon = line.find(':');
    EXPECT_NE(colon, std::string::npos) << "not a header: " << line;
    if (colon == std::string::npos) continue;
    for (char c : line.substr(0, colon)) name += static_cast<char>(std::tolower(c));
    value = line.substr(colon + 1);
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
  }
  flush();
  eml.body = end == std::string::npos ? "" : text.substr(end + 4);
  return eml;
}

inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline std::string DecodeQuotedPrintable(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '=') {
      out += text[i];
    } else if (text.substr(i + 1, 2) == "\r\n") {
      i += 2;  // soft line break
    } else if (i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      ADD_FAILURE() << "bad quoted-printable at " << i;
    }
  }
  return out;
}

inline std::string DecodeBase64(std::string_view text) {
  static constexpr std::string_view kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    const size_t v = kDigits.find(c);
    if (v == std::string_view::npos) continue;
    bits = (bits << 6) | static_cast<uint32_t>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

// An unfolded header value with its "=?UTF-8?B?...?=" words decoded (white
// space between two encoded words dropped).
inline std::string DecodeHeader(const std::string& value) {
  std::string out;
  size_t pos = 0;
  bool after_word = false;
  while (pos < value.size()) {
    const size_t start = value.find("=?UTF-8?B?", pos);
    std::string between = value.substr(pos, start == std::string::npos ? start : start - pos);
    if (!(after_word && between.find_first_not_of(" \t") == std::string::npos)) out += between;
    if (start == std::string::npos) break;
    const size_t stop = value.find("?=", start + 10);
    out += DecodeBase64(value.substr(start + 10, stop - start - 10));
    pos = stop + 2;
    after_word = true;
  }
  return out;
}

// The body as text: decoded by its Content-Transfer-Encoding.
inline std::string BodyText(const Eml& eml) {
  if (eml.Header("content-transfer-encoding") == "quoted-printable") {
    return DecodeQuotedPrintable(eml.body);
  }
  return eml.body;
}

// A port of 127.0.0.1 that was free a moment ago.
inline uint16_t FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

}  // namespace qv::testing
