#include "core/convert.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace qv {
namespace {

[[noreturn]] void Mismatch(const Variant& v, const char* wanted) {
  std::string shown;
  if (v.IsString()) shown = " \"" + v.AsString().substr(0, 40) + "\"";
  throw TypeMismatch("Type mismatch: cannot convert value" + shown + " to " + wanted);
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

// 1899-12-30 is day -25569 from 1970-01-01.
constexpr int64_t kSerialEpoch = -25569;

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Reads an unsigned decimal of 1..max_digits digits at pos.
bool ReadInt(std::string_view s, size_t& pos, int max_digits, int& out) {
  size_t start = pos;
  out = 0;
  while (pos < s.size() && pos - start < static_cast<size_t>(max_digits) &&
         std::isdigit(static_cast<unsigned char>(s[pos]))) {
    out = out * 10 + (s[pos] - '0');
    ++pos;
  }
  return pos > start;
}

bool ParseTime(std::string_view s, size_t& pos, DateParts& p) {
  if (!ReadInt(s, pos, 2, p.hour) || pos >= s.size() || s[pos] != ':') return false;
  ++pos;
  if (!ReadInt(s, pos, 2, p.minute)) return false;
  if (pos < s.size() && s[pos] == ':') {
    ++pos;
    if (!ReadInt(s, pos, 2, p.second)) return false;
    if (pos < s.size() && s[pos] == '.') {  // fractions of a second are dropped
      ++pos;
      int ignored;
      ReadInt(s, pos, 9, ignored);
    }
  }
  return p.hour < 24 && p.minute < 60 && p.second < 60;
}

}  // namespace

std::string FormatDouble(double d) {
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d < 0 ? "-Infinity" : "Infinity";
  if (d == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", d);
  std::string s = buf;
  size_t e = s.find('e');
  if (e != std::string::npos) {  // 1e+20 -> 1E+20, as the page-script world prints it
    s[e] = 'E';
  }
  return s;
}

std::string ToStr(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
      return {};
    case Variant::Kind::Boolean:
      return v.AsBoolean() ? "True" : "False";
    case Variant::Kind::Integer:
      return std::to_string(v.AsInteger());
    case Variant::Kind::Double:
      return FormatDouble(v.AsDouble());
    case Variant::Kind::Date:
      return FormatDate(v.AsDate());
    case Variant::Kind::String:
      return v.AsString();
    case Variant::Kind::Array:
    case Variant::Kind::Object:
      break;
  }
  Mismatch(v, "text");
}

std::optional<double> ParseNumber(std::string_view text) {
  std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  size_t start = t[0] == '+' ? 1 : 0;
  // from_chars accepts neither a leading '+' nor "inf"/"nan" spelled out by users.
  for (char c : t.substr(start)) {
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != 'e' &&
        c != 'E' && c != '+') {
      return std::nullopt;
    }
  }
  double d = 0;
  auto [ptr, ec] = std::from_chars(t.data() + start, t.data() + t.size(), d);
  if (ec != std::errc() || ptr != t.data() + t.size()) return std::nullopt;
  return d;
}

bool IsNumeric(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Boolean:
    case Variant::Kind::Integer:
    case Variant::Kind::Double:
    case Variant::Kind::Date:
      return true;
    case Variant::Kind::String:
      return ParseNumber(v.AsString()).has_value();
    default:
      return false;
  }
}

double ToDouble(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return 0;
    case Variant::Kind::Boolean:
      return v.AsBoolean() ? -1 : 0;
    case Variant::Kind::Integer:
      return static_cast<double>(v.AsInteger());
    case Variant::Kind::Double:
      return v.AsDouble();
    case Variant::Kind::Date:
      return v.AsDate().serial;
    case Variant::Kind::String: {
      if (auto d = ParseNumber(v.AsString())) return *d;
      break;
    }
    default:
      break;
  }
  Mismatch(v, "a number");
}

int64_t ToInteger(const Variant& v) {
  if (v.IsInteger()) return v.AsInteger();
  double d = ToDouble(v);
  if (!(d > -9.2e18 && d < 9.2e18)) throw TypeMismatch("Overflow: number too large");
  return static_cast<int64_t>(std::nearbyint(d));  // default rounding: half to even
}

std::optional<int64_t> WholeNumberOf(const Variant& v) {
  if (v.IsInteger()) return v.AsInteger();
  std::optional<double> number;
  if (v.IsDouble()) number = v.AsDouble();
  if (v.IsString()) number = ParseNumber(v.AsString());
  if (!number || *number != std::floor(*number) || !(*number > -9.2e18 && *number < 9.2e18)) {
    return std::nullopt;
  }
  return static_cast<int64_t>(*number);
}

bool ToBoolean(const Variant& v) {
  if (v.IsBoolean()) return v.AsBoolean();
  if (v.IsString()) {
    if (EqualsNoCase(Trim(v.AsString()), "true")) return true;
    if (EqualsNoCase(Trim(v.AsString()), "false")) return false;
  }
  return ToDouble(v) != 0;
}

Date MakeDate(const DateParts& p) {
  int64_t days =
      DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) -
      kSerialEpoch;
  double frac = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
  return Date{static_cast<double>(days) + frac};
}

DateParts SplitDate(Date d) {
  DateParts p;
  double whole = std::floor(d.serial);
  int64_t secs = std::llround((d.serial - whole) * 86400.0);
  int64_t days = static_cast<int64_t>(whole);
  if (secs >= 86400) {
    secs -= 86400;
    ++days;
  }
  CivilFromDays(days + kSerialEpoch, p.year, p.month, p.day);
  p.hour = static_cast<int>(secs / 3600);
  p.minute = static_cast<int>(secs / 60 % 60);
  p.second = static_cast<int>(secs % 60);
  return p;
}

std::string FormatDateTime(Date d) {
  DateParts p = SplitDate(d);
  if (p.year < 0 || p.year > 9999) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
    return buf;
  }
  // Four-digit years without printf: every date written to the database
  // comes here.
  std::string text = "0000-00-00 00:00:00";
  auto put = [&text](size_t at, int value, int digits) {
    for (int i = digits - 1; i >= 0; --i, value /= 10) {
      text[at + static_cast<size_t>(i)] = static_cast<char>('0' + value % 10);
    }
  };
  put(0, p.year, 4);
  put(5, p.month, 2);
  put(8, p.day, 2);
  put(11, p.hour, 2);
  put(14, p.minute, 2);
  put(17, p.second, 2);
  return text;
}

std::string FormatDate(Date d) {
  std::string s = FormatDateTime(d);
  if (s.compare(11, 8, "00:00:00") == 0) s.resize(10);
  return s;
}

std::optional<Date> ParseDate(std::string_view text) {
  std::string t = Trim(text);
  DateParts p;
  size_t pos = 0;
  if (t.size() >= 3 && (t[1] == ':' || t[2] == ':')) {  // a time alone
    if (!ParseTime(t, pos, p) || pos != t.size()) return std::nullopt;
    return MakeDate(p);
  }
  if (!ReadInt(t, pos, 4, p.year) || pos - 0 != 4 || pos >= t.size()) return std::nullopt;
  char sep = t[pos];
  if (sep != '-' && sep != '/') return std::nullopt;
  ++pos;
  if (!ReadInt(t, pos, 2, p.month) || pos >= t.size() || t[pos] != sep) return std::nullopt;
  ++pos;
  if (!ReadInt(t, pos, 2, p.day)) return std::nullopt;
  if (p.month < 1 || p.month > 12 || p.day < 1 || p.day > DaysInMonth(p.year, p.month)) {
    return std::nullopt;
  }
  if (pos < t.size()) {
    if (t[pos] != ' ' && t[pos] != 'T') return std::nullopt;
    while (pos < t.size() && (t[pos] == ' ' || t[pos] == 'T')) ++pos;
    if (!ParseTime(t, pos, p) || pos != t.size()) return std::nullopt;
  }
  return MakeDate(p);
}

Date ToDate(const Variant& v) {
  if (v.IsDate()) return v.AsDate();
  if (v.IsString()) {
    if (auto d = ParseDate(v.AsString())) return *d;
    Mismatch(v, "a date");
  }
  if (v.IsNumber()) return Date{ToDouble(v)};
  Mismatch(v, "a date");
}

Date Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return MakeDate({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
}

Date Today() { return Date{std::floor(Now().serial)}; }

std::string DateSerialText(Date d) { return FormatDouble(d.serial).substr(0, 15); }

namespace {
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
}  // namespace

std::string ToLower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = LowerAscii(c);
  return r;
}

std::string ToUpper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = UpperAscii(c);
  return r;
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return std::string(s.substr(b, e - b));
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string r;
  r.reserve(s.size());
  size_t pos = 0;
  for (size_t hit; (hit = s.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
    r.append(s.substr(pos, hit - pos)).append(to);
  }
  r.append(s.substr(pos));
  return r;
}

void ReplaceAllIn(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty() || text.find(from) == std::string::npos) return;
  text = ReplaceAll(text, from, to);
}

std::vector<std::string> SplitList(std::string_view list) {
  std::vector<std::string> items;
  while (true) {
    const size_t comma = list.find(',');
    std::string item = Trim(list.substr(0, comma));
    if (!item.empty()) items.push_back(std::move(item));
    if (comma == std::string_view::npos) return items;
    list.remove_prefix(comma + 1);
  }
}

}  // namespace qv
