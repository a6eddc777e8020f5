#include "mail/message.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <random>

#include "host/host_objects.h"

namespace qv::mail {
namespace {

constexpr char kCrlf[] = "\r\n";
constexpr size_t kMaxLine = 998;  // octets per line, without CR LF
constexpr size_t kQpLine = 76;

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsAsciiPrintable(unsigned char c) { return c >= 0x20 && c < 0x7F; }

void CheckAddress(const std::string& address) {
  const size_t at = address.rfind('@');
  bool ok = at != std::string::npos && at > 0 && at + 1 < address.size() && address.size() <= 254;
  for (size_t i = 0; ok && i < address.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(address[i]);
    if (!IsAsciiPrintable(c) || c == ' ' ||
        std::string_view("()<>[]\\,;:\"").find(c) != std::string_view::npos) {
      ok = false;
    } else if (i > at && c != '.' && c != '-' && !std::isalnum(c)) {
      ok = false;
    } else if (c == '@' && i != at) {
      ok = false;
    }
  }
  if (!ok) throw HostError("Mail: \"" + address + "\" is not an e-mail address");
}

MailAddress ParseOne(const std::string& item) {
  MailAddress result;
  const size_t open = item.find('<');
  if (open == std::string::npos) {
    result.address = item;
  } else {
    const size_t close = item.find('>', open);
    if (close == std::string::npos || !Trim(item.substr(close + 1)).empty()) {
      throw HostError("Mail: \"" + item + "\" is not an e-mail address");
    }
    result.address = Trim(item.substr(open + 1, close - open - 1));
    result.name = Trim(item.substr(0, open));
    if (result.name.size() >= 2 && result.name.front() == '"' && result.name.back() == '"') {
      result.name = result.name.substr(1, result.name.size() - 2);
    }
  }
  CheckAddress(result.address);
  return result;
}

bool IsPlainAscii(const std::string& text) {
  for (unsigned char c : text) {
    if (!IsAsciiPrintable(c) && c != '\t') return false;
  }
  return true;
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(n >> 18) & 63];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

// RFC 2047 encoded words of at most 75 characters, never splitting a UTF-8
// sequence, joined by folding white space.
std::string EncodedWords(const std::string& text) {
  constexpr size_t kChunk = 39;  // 52 base64 characters: a "Subject: " line stays within 78
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = std::min(text.size(), pos + kChunk);
    while (end < text.size() && end > pos + 1 &&
           (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
      --end;
    }
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64(std::string_view(text).substr(pos, end - pos)) + "?=";
    pos = end;
  }
  return out;
}

// An unstructured header value (Subject, display names).
std::string HeaderText(const std::string& text) {
  if (IsPlainAscii(text) && text.size() <= 900) return text;
  return EncodedWords(text);
}

std::string DisplayName(const std::string& name) {
  if (!IsPlainAscii(name)) return EncodedWords(name);
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string AddressHeader(const std::vector<MailAddress>& list) {
  std::string out;
  for (const MailAddress& a : list) {
    if (!out.empty()) out += ",\r\n ";
    out += a.name.empty() ? a.address : DisplayName(a.name) + " <" + a.address + ">";
  }
  return out;
}

// The body's lines, every CR LF, lone CR or lone LF a line end.
std::vector<std::string> Lines(const std::string& body) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r' || body[i] == '\n') {
      if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += body[i];
    }
  }
  return lines;
}

bool NeedsQuoting(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.size() > kMaxLine || !IsPlainAscii(line) || line.starts_with('.') ||
        line.starts_with("From ") || line.ends_with(' ') || line.ends_with('\t')) {
      return true;
    }
  }
  return false;
}

std::string QuotedPrintableLine(const std::string& line) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  size_t width = 0;
  auto put = [&](const std::string& piece) {
    if (width + piece.size() > kQpLine - 1) {  // room for the soft break's "="
      out += "=\r\n";
      width = 0;
    }
    out += piece;
    width += piece.size();
  };
  for (size_t i = 0; i < line.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    const bool last = i + 1 == line.size();
    const bool first = width == 0 || width + 1 > kQpLine - 1;  // starts a physical line
    bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last);
    if (first && (c == '.' || (c == 'F' && line.compare(i, 5, "From ") == 0))) literal = false;
    put(literal ? std::string(1, static_cast<char>(c))
                : std::string{'=', kHex[c >> 4], kHex[c & 15]});
  }
  return out;
}

std::string RandomHex(size_t bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  thread_local std::mt19937_64 engine{std::random_device{}()};
  std::string out;
  for (size_t i = 0; i < bytes; ++i) {
    const auto byte = static_cast<unsigned>(engine() & 0xFF);
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
  return out;
}

}  // namespace

std::vector<MailAddress> ParseAddressList(const std::string& list) {
  std::vector<MailAddress> result;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find_first_of(";,", start);
    if (end == std::string::npos) end = list.size();
    // A quoted display name may hold the separators.
    const size_t quote = list.find('"', start);
    if (quote < end) {
      const size_t closing = list.find('"', quote + 1);
      if (closing != std::string::npos)
        end = std::min(list.find_first_of(";,", closing), list.size());
    }
    const std::string item = Trim(list.substr(start, end - start));
    if (!item.empty()) result.push_back(ParseOne(item));
    start = end + 1;
  }
  if (result.empty()) throw HostError("Mail: no e-mail address given");
  return result;
}

std::string MailDate(std::time_t time) {
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm tm{};
  gmtime_r(&time, &tm);
  char text[40];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", kDays[tm.tm_wday],
                tm.tm_mday, kMonths[tm.tm_mon], tm.tm_year + 1900, tm.tm_hour, tm.tm_min,
                tm.tm_sec);
  return text;
}

ComposedMessage ComposeMessage(const std::string& from, const std::string& to,
                               const std::string& subject, const std::string& body,
                               std::time_t now) {
  const std::vector<MailAddress> senders = ParseAddressList(from);
  const std::vector<MailAddress> recipients = ParseAddressList(to);
  ComposedMessage m;
  m.sender = senders.front().address;
  for (const MailAddress& r : recipients) m.recipients.push_back(r.address);
  m.message_id = "<" + RandomHex(16) + "@" + m.sender.substr(m.sender.rfind('@') + 1) + ">";

  const std::vector<std::string> lines = Lines(body);
  const bool quoted = NeedsQuoting(lines);
  std::string& t = m.text;
  t += "Date: " + MailDate(now) + kCrlf;
  t += "From: " + AddressHeader(senders) + kCrlf;
  t += "To: " + AddressHeader(recipients) + kCrlf;
  t += "Message-ID: " + m.message_id + kCrlf;
  t += "Subject: " + HeaderText(subject) + kCrlf;
  t += std::string("MIME-Version: 1.0") + kCrlf;
  t += std::string("Content-Type: text/plain; charset=UTF-8") + kCrlf;
  t += std::string("Content-Transfer-Encoding: ") + (quoted ? "quoted-printable" : "7bit") + kCrlf;
  t += kCrlf;
  for (const std::string& line : lines) {
    t += (quoted ? QuotedPrintableLine(line) : line) + kCrlf;
  }
  return m;
}

}  // namespace qv::mail
