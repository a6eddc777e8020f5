#include "core/sql_literal.h"

#include <cctype>
#include <cmath>

#include "core/convert.h"

namespace qv {

std::string SqlText(std::string_view text) {
  std::string r;
  r.reserve(text.size() + 2);
  r += '\'';
  for (char c : text) {
    if (c == '\0') continue;
    if (c == '\'') r += '\'';
    r += c;
  }
  r += '\'';
  return r;
}

std::string SqlText(const Variant& v) { return SqlText(NullToStr(v)); }

namespace {

[[noreturn]] void NotANumber(std::string_view text) {
  std::string shown(text.substr(0, 40));
  throw SqlValueError("Not a number: \"" + shown + "\"");
}

std::string PrintNumber(double d, bool whole_only, std::string_view original) {
  if (!std::isfinite(d)) NotANumber(original);
  if (d == std::floor(d) && std::fabs(d) < 9e15) {
    return std::to_string(static_cast<int64_t>(d));
  }
  if (whole_only) NotANumber(original);
  return FormatDouble(d);
}

}  // namespace

std::string SqlNumber(std::string_view text) {
  auto d = ParseNumber(text);
  if (!d) NotANumber(text);
  return PrintNumber(*d, false, text);
}

std::string SqlNumber(const Variant& v) {
  if (v.IsInteger()) return std::to_string(v.AsInteger());
  if (v.IsDouble()) return PrintNumber(v.AsDouble(), false, "");
  if (v.IsBoolean()) return v.AsBoolean() ? "-1" : "0";
  if (v.IsString()) return SqlNumber(std::string_view(v.AsString()));
  NotANumber(v.IsNull() ? "Null" : "");
}

std::string SqlInteger(std::string_view text) {
  auto d = ParseNumber(text);
  if (!d) NotANumber(text);
  return PrintNumber(*d, true, text);
}

std::string SqlInteger(const Variant& v) {
  if (v.IsInteger()) return std::to_string(v.AsInteger());
  if (v.IsString()) return SqlInteger(std::string_view(v.AsString()));
  if (v.IsDouble()) return PrintNumber(v.AsDouble(), true, FormatDouble(v.AsDouble()));
  if (v.IsBoolean()) return v.AsBoolean() ? "-1" : "0";
  NotANumber(v.IsNull() ? "Null" : "");
}

bool IsPlainIdentifier(std::string_view name) {
  if (name.empty() || name.size() > 128) return false;
  if (std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return true;
}

std::string_view CheckIdentifier(std::string_view name) {
  if (!IsPlainIdentifier(name)) {
    throw SqlValueError("Not a plain name: \"" + std::string(name.substr(0, 40)) + "\"");
  }
  return name;
}

}  // namespace qv
