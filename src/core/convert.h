// Text, number and date conversions of Variant values.
//
// These are the conversions the page-script world performs implicitly: a
// value used as text (ToStr), as a number (ToDouble, ToInteger), as a
// Boolean (ToBoolean) or as a date (ToDate). Failed conversions throw
// TypeMismatch with a message naming the value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/variant.h"

namespace qv {

// Text of a value: Empty and Null give "", Booleans "True"/"False",
// integers in decimal, doubles with up to 15 significant digits and no
// trailing zeros, dates through FormatDate. Arrays and objects throw.
std::string ToStr(const Variant& v);

// "" for Null, else ToStr.
inline std::string NullToStr(const Variant& v) { return v.IsNull() ? std::string() : ToStr(v); }

// Double text with up to 15 significant digits, no trailing zeros, no
// exponent for magnitudes between 1e-15 and 1e15.
std::string FormatDouble(double d);

// True when the value is a number, a Boolean, a date, Empty, or text that
// parses as a decimal number (blanks around it allowed).
bool IsNumeric(const Variant& v);

// Parses decimal number text ("12", " -3.5 ", "1e3"); nullopt when the text
// is not a number.
std::optional<double> ParseNumber(std::string_view text);

// Number of a value: Empty 0, Boolean True -1, dates their serial, numeric
// text parsed. Null and other text throw TypeMismatch.
double ToDouble(const Variant& v);
// As ToDouble, rounded half to even as integer conversions of the
// page-script world do.
int64_t ToInteger(const Variant& v);

// The value as a whole number: integers, and numbers or numeric text
// without a fraction; nullopt for anything else (Null, Empty text, "1.5",
// "12abc", out of the 64-bit range). Never throws.
std::optional<int64_t> WholeNumberOf(const Variant& v);

// Boolean of a value: numbers non-zero, text "True"/"False" (any case) or
// numeric text. Null and other text throw TypeMismatch.
bool ToBoolean(const Variant& v);

// Dates ------------------------------------------------------------------

struct DateParts {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};

Date MakeDate(const DateParts& p);
DateParts SplitDate(Date d);

// "YYYY-MM-DD HH:MM:SS", or "YYYY-MM-DD" when the time is 00:00:00.
std::string FormatDate(Date d);
// Always "YYYY-MM-DD HH:MM:SS" (the storage form of the SQLite engine).
std::string FormatDateTime(Date d);

// Parses posted date text: "YYYY-MM-DD", "YYYY/MM/DD", either followed by
// " HH:MM" or " HH:MM:SS" (or "T" instead of the blank), and a time alone
// ("HH:MM[:SS]", on day 0). nullopt when the text is no date.
std::optional<Date> ParseDate(std::string_view text);

// Date of a value: dates as they are, text through ParseDate, numbers as a
// serial. Throws TypeMismatch otherwise.
Date ToDate(const Variant& v);

// The current local date and time (Now), date (Date) and time (Time).
Date Now();
Date Today();

// The decimal day count of a date as text, at most 15 characters: the form
// record stamps store.
std::string DateSerialText(Date d);

// Text helpers ----------------------------------------------------------

std::string ToLower(std::string_view s);
std::string ToUpper(std::string_view s);
std::string Trim(std::string_view s);
// Replaces every occurrence of `from` (non-empty) by `to`.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);
// As ReplaceAll, in place: text without `from` is not copied.
void ReplaceAllIn(std::string& text, std::string_view from, std::string_view to);
// ASCII case mapping: keys, names and SQL words are ASCII, and the C
// library's locale-aware tolower is a hot spot of name lookups.
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
// ASCII letters compared without regard to case. Inline: lookups by name
// call it for every candidate, and most differ in length.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}
// The items of a comma-separated list, each trimmed; empty items are left
// out ("a, b,,c " gives "a", "b", "c").
std::vector<std::string> SplitList(std::string_view list);

}  // namespace qv
