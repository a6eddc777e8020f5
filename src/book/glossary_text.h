// Glossary terms in page text: finding them by match mode, and the links
// that point them at their glossary entries. Pure text functions, without
// request state.
//
// Positions are 1-based (0: not found), as page scripts count them. Letter
// case is compared in ASCII; other bytes compare exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv::book {

// At most this many terms are offered or linked in one page.
inline constexpr size_t kMaxGlossaryLinks = 200;

// The start of every glossary link written into page text.
inline constexpr std::string_view kGlossaryLinkStart = "<a href=\"javascript:qvTmGlossary(";

// Match modes of a term (the entry's dbType).
enum GlossaryMatch : int {
  kMatchWordStart = 64,  // nothing word-like before it
  kMatchWord = 65,       // nothing word-like before or after it
  kMatchWordCase = 66,   // as a word, and in the same letter case
};

struct GlossaryEntry {
  int64_t id = 0;
  std::string term;
  int mode = 0;
};

// An ASCII letter, "<" or ">".
bool IsWordChar(char c);

// The first occurrence of term in text at or after position start (any
// letter case) that lies outside a tag and passes the match mode. An
// occurrence lies inside a tag when a ">" follows it before the next "<"
// (or with no "<" after it). An empty term is never found.
size_t FindTerm(std::string_view text, std::string_view term, int mode, size_t start = 1);

// The terms, in order, that occur in text: each found occurrence (in the
// text's own letter case) is cut out of the text before the next term is
// looked for, so a shorter term never matches inside a longer one found
// before it. At most kMaxGlossaryLinks.
std::vector<GlossaryEntry> FindGlossaryTerms(std::string text,
                                             const std::vector<GlossaryEntry>& entries);

// The entry ids of the glossary links in text, in order (at most
// kMaxGlossaryLinks + 1); a link whose id is no whole number is skipped.
std::vector<int64_t> ListGlossaryLinkIDs(std::string_view text);

// Every glossary link replaced by its own text. A link start without its
// ")\">" and "</a>" is left as it is.
std::string StripGlossaryLinks(std::string text);

// The first acceptable occurrence of each selected term (at most
// kMaxGlossaryLinks) made a glossary link to its entry; a term never
// matches inside a link made for an earlier one.
std::string LinkGlossaryTerms(std::string text, const std::vector<GlossaryEntry>& selected);

}  // namespace qv::book
