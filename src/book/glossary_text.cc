#include "book/glossary_text.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/convert.h"

namespace qv::book {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Lower(c);
  return out;
}

// The first occurrence of needle (lower case) in text at or after from, in
// any letter case; npos when there is none.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty() || needle.size() > text.size()) return std::string_view::npos;
  const char first = needle[0];
  const char upper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 'a' + 'A') : first;
  for (size_t p = from; p + needle.size() <= text.size(); ++p) {
    if (text[p] != first && text[p] != upper) continue;
    size_t i = 1;
    while (i < needle.size() && Lower(text[p + i]) == needle[i]) ++i;
    if (i == needle.size()) return p;
  }
  return std::string_view::npos;
}

// A ">" follows the position before the next "<": the position is inside
// a tag (also the last tag of the text).
bool InsideTag(std::string_view text, size_t pos) {
  const size_t close = text.find('>', pos);
  if (close == std::string_view::npos) return false;
  const size_t open = text.find('<', pos);
  return open == std::string_view::npos || close < open;
}

// The occurrence of term at pos (0-based) lies outside tags and passes the
// match mode; the start and the end of the text count as a space.
bool Accepted(std::string_view text, size_t pos, std::string_view term, int mode) {
  if (InsideTag(text, pos)) return false;
  const char before = pos == 0 ? ' ' : text[pos - 1];
  const size_t end = pos + term.size();
  const char after = end >= text.size() ? ' ' : text[end];
  switch (mode) {
    case kMatchWordStart:
      return !IsWordChar(before);
    case kMatchWord:
      return !IsWordChar(before) && !IsWordChar(after);
    case kMatchWordCase:
      return !IsWordChar(before) && !IsWordChar(after) && text.substr(pos, term.size()) == term;
    default:
      return true;
  }
}

// Where each three-letter sequence of a text (lower case) starts, so that
// many terms are looked up without scanning the text once per term.
class TrigramIndex {
 public:
  explicit TrigramIndex(std::string_view lowered) {
    if (lowered.size() < 3) return;
    entries_.reserve(lowered.size() - 2);
    for (size_t i = 0; i + 3 <= lowered.size(); ++i) {
      entries_.emplace_back(Key(lowered.substr(i)), static_cast<uint32_t>(i));
    }
    std::sort(entries_.begin(), entries_.end());
  }

  // The positions where a term (lower case, at least 3 letters) may start,
  // ascending.
  auto Candidates(std::string_view lowered_term) const {
    const uint32_t key = Key(lowered_term);
    const auto first = std::lower_bound(entries_.begin(), entries_.end(), std::pair{key, 0u});
    const auto last =
        std::upper_bound(entries_.begin(), entries_.end(), std::pair{key, UINT32_MAX});
    return std::pair{first, last};
  }

  static constexpr size_t kLength = 3;

 private:
  static uint32_t Key(std::string_view s) {
    return static_cast<uint32_t>(static_cast<unsigned char>(s[0])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(s[1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(s[2]));
  }

  std::vector<std::pair<uint32_t, uint32_t>> entries_;
};

// Blanks found occurrences with a byte no term holds: later terms neither
// match inside them nor across them.
constexpr char kBlank = '\x01';

// The stand-in for the k-th linked occurrence while further terms are
// linked: control bytes only, so no term matches inside it.
std::string Placeholder(size_t k) {
  std::string out(1, kBlank);
  do {
    out += static_cast<char>(0x10 + k % 16);
    k /= 16;
  } while (k > 0);
  return out + '\x02';
}

}  // namespace

bool IsWordChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '<' || c == '>';
}

size_t FindTerm(std::string_view text, std::string_view term, int mode, size_t start) {
  if (term.empty() || start == 0) return 0;
  const std::string lowered_term = Lowered(term);
  for (size_t from = start - 1;;) {
    const size_t pos = FindNoCase(text, lowered_term, from);
    if (pos == std::string_view::npos) return 0;
    if (Accepted(text, pos, term, mode)) return pos + 1;
    from = pos + 1;
  }
}

std::vector<GlossaryEntry> FindGlossaryTerms(std::string text,
                                             const std::vector<GlossaryEntry>& entries) {
  std::vector<GlossaryEntry> found;
  std::string lowered = Lowered(text);
  const TrigramIndex index(lowered);
  for (const GlossaryEntry& entry : entries) {
    if (found.size() >= kMaxGlossaryLinks) break;
    const std::string& term = entry.term;
    if (term.empty()) continue;
    const std::string lowered_term = Lowered(term);
    size_t pos = std::string::npos;
    if (term.size() < TrigramIndex::kLength) {
      const size_t at = FindTerm(text, term, entry.mode);
      if (at > 0) pos = at - 1;
    } else {
      const auto [first, last] = index.Candidates(lowered_term);
      for (auto it = first; it != last; ++it) {
        const size_t p = it->second;
        if (lowered.compare(p, lowered_term.size(), lowered_term) == 0 &&
            Accepted(text, p, term, entry.mode)) {
          pos = p;
          break;
        }
      }
    }
    if (pos == std::string::npos) continue;
    found.push_back({entry.id, text.substr(pos, term.size()), entry.mode});
    std::fill_n(text.begin() + static_cast<std::ptrdiff_t>(pos), term.size(), kBlank);
    std::fill_n(lowered.begin() + static_cast<std::ptrdiff_t>(pos), term.size(), kBlank);
  }
  return found;
}

std::vector<int64_t> ListGlossaryLinkIDs(std::string_view text) {
  const std::string start = Lowered(kGlossaryLinkStart);
  std::vector<int64_t> ids;
  for (size_t pos = FindNoCase(text, start, 0);
       pos != std::string_view::npos && ids.size() <= kMaxGlossaryLinks;
       pos = FindNoCase(text, start, pos + 1)) {
    const size_t number = pos + start.size();
    const size_t close = text.find(")\">", number);
    if (close == std::string_view::npos) break;
    if (const auto id = WholeNumberOf(std::string(text.substr(number, close - number))))
      ids.push_back(*id);
  }
  return ids;
}

std::string StripGlossaryLinks(std::string text) {
  const std::string start = Lowered(kGlossaryLinkStart);
  size_t from = 0;
  while (true) {
    const size_t pos = FindNoCase(text, start, from);
    if (pos == std::string::npos) break;
    const size_t close = text.find(")\">", pos + start.size());
    const size_t end = close == std::string::npos ? close : FindNoCase(text, "</a>", close + 3);
    if (end == std::string::npos) {
      from = pos + 1;  // not a whole link: left as it is
      continue;
    }
    text.replace(pos, end + 4 - pos, text.substr(close + 3, end - close - 3));
    from = pos;  // the link's own text may hold another link
  }
  return text;
}

std::string LinkGlossaryTerms(std::string text, const std::vector<GlossaryEntry>& selected) {
  std::vector<std::string> saved;
  for (const GlossaryEntry& entry : selected) {
    if (saved.size() >= kMaxGlossaryLinks) break;
    const size_t at = FindTerm(text, entry.term, entry.mode);
    if (at == 0) continue;
    const size_t pos = at - 1;
    const std::string link = std::string(kGlossaryLinkStart) + std::to_string(entry.id) + ")\">" +
                             Placeholder(saved.size()) + "</a>";
    saved.push_back(text.substr(pos, entry.term.size()));
    text.replace(pos, entry.term.size(), link);
  }
  for (size_t k = saved.size(); k-- > 0;) {
    const std::string placeholder = Placeholder(k);
    const size_t pos = text.find(placeholder);
    if (pos != std::string::npos) text.replace(pos, placeholder.size(), saved[k]);
  }
  return text;
}

}  // namespace qv::book
