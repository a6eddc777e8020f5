#include "session/identity.h"

#include <optional>
#include <string>

#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/messages.h"

namespace qv {

namespace {

// Digit i (from 0) of the password key; the key repeats after its end.
int KeyDigit(size_t i) {
  static constexpr std::string_view kKey = "73518260493817264059183726";
  return kKey[i % kKey.size()] - '0';
}

// UTF-8 read without rejecting surrogates or code points up to 0x1FFFFF, so
// that every shifted password reads back; nullopt for text that is not
// UTF-8 at all.
std::optional<std::u32string> DecodeUtf8(std::string_view text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80   ? 0
                      : lead < 0xC0 ? -1
                      : lead < 0xE0 ? 1
                      : lead < 0xF0 ? 2
                      : lead < 0xF8 ? 3
                                    : -1;
    if (extra < 0 || i + extra >= text.size()) return std::nullopt;
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (c & 0x3F);
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
    return;
  }
  const int extra = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[extra] | (cp >> (6 * extra)));
  for (int k = extra - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F));
}

// Shifts every character code by its key digit (sign -1 reverses). Text
// that is not UTF-8 is shifted byte by byte, wrapping around.
std::string ShiftByKey(const std::string& text, int sign) {
  std::string out;
  const std::optional<std::u32string> chars = DecodeUtf8(text);
  if (!chars) {
    for (size_t i = 0; i < text.size(); ++i) {
      out += static_cast<char>(static_cast<unsigned char>(text[i]) + sign * KeyDigit(i));
    }
    return out;
  }
  for (size_t i = 0; i < chars->size(); ++i) {
    const int64_t code = static_cast<int64_t>((*chars)[i]) + sign * KeyDigit(i);
    // Only decoding text that was never encoded can leave the range.
    const bool in_range = code >= 0 && code <= 0x1FFFFF;
    AppendUtf8(out, in_range ? static_cast<char32_t>(code) : (*chars)[i]);
  }
  return out;
}

std::string SessionText(std::string_view name) {
  return NullToStr(TheSession().Value(SessionKey(name)));
}

}  // namespace

std::string SessionKey(std::string_view name) { return std::string(name) + Identity().AuthSiteID; }

std::string CurrentUserID() {
  const std::string id = SessionText("AuthUserID");
  return id.empty() ? "anonymous" : id;
}

std::string CurrentMajorGroupID() { return SessionText("AuthMajorGroupID"); }

std::string CurrentMinorGroupIDs() { return SessionText("AuthMinorGroupIDs"); }

std::string UserID2Name(const std::string& userID, const std::string& suffix) {
  const std::string lang = suffix.empty() ? TheSettings().FirstLanguage : suffix;
  CheckIdentifier(lang);  // becomes part of the field names
  // From the read cache (valid until qvAuthUser changes).
  const std::shared_ptr<const QueryResult> rows =
      CachedRows("SELECT dbPositionTitle_" + lang + ",dbFullName_" + lang +
                     " FROM qvAuthUser Where dbUserID=" + SqlText(userID),
                 {"qvAuthUser"});
  if (rows->rows.empty()) return GetMsg("msgAnonymousUserName_" + lang, 0);
  return NullToStr(rows->rows[0][0]) + " " + NullToStr(rows->rows[0][1]);
}

bool ListHasMatch(const Variant& text, const Variant& list) {
  const std::string haystack = NullToStr(text);
  if (haystack.empty()) return false;
  // SplitList leaves out empty items (",," or a trailing comma), which
  // would match every text.
  for (const std::string& item : SplitList(NullToStr(list))) {
    if (haystack.find(item) != std::string::npos) return true;
  }
  return false;
}

std::string EncodePassword(const std::string& pword) { return ShiftByKey(pword, +1); }

std::string DecodePassword(const std::string& encoded) { return ShiftByKey(encoded, -1); }

bool PasswordStorable(const std::string& pword) {
  const std::optional<std::u32string> chars = DecodeUtf8(pword);
  if (!chars || chars->empty() || chars->size() > kMaxPasswordLength) return false;
  std::string canonical;
  for (char32_t cp : *chars) AppendUtf8(canonical, cp);
  if (canonical != pword) return false;  // overlong forms
  auto scalar = [](char32_t cp) { return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF); };
  for (size_t i = 0; i < chars->size(); ++i) {
    const char32_t cp = (*chars)[i];
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || !scalar(cp)) return false;
    if (!scalar(cp + static_cast<char32_t>(KeyDigit(i)))) return false;
  }
  return true;
}

}  // namespace qv
