#include "script/lp_translate.h"

#include <algorithm>

namespace qv::script {
namespace {

// Appends text as a Lua short string. A line feed becomes a backslash
// followed by a real line feed, which Lua reads as "\n" while the source
// keeps its line; CR and NUL are escaped so no byte is altered.
void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\0':
        out += "\\x00";
        break;
      default:
        out += c;
    }
  }
  out += '"';
}

// True when the last line of code may end in a "--" comment, which would
// swallow whatever follows on that line.
bool EndsInLineComment(std::string_view code) {
  size_t line_start = code.rfind('\n');
  line_start = line_start == std::string_view::npos ? 0 : line_start + 1;
  return code.find("--", line_start) != std::string_view::npos;
}

int LineOf(std::string_view source, size_t pos) {
  return 1 + static_cast<int>(std::count(source.begin(), source.begin() + pos, '\n'));
}

}  // namespace

std::string TranslateLp(std::string_view src) {
  std::string out;
  out.reserve(src.size() + src.size() / 4 + 64);
  size_t pos = 0;
  while (pos < src.size()) {
    size_t open = src.find("<%", pos);
    std::string_view literal = src.substr(pos, open == std::string_view::npos ? open : open - pos);
    if (!literal.empty()) {
      out += "Response.Write(";
      AppendQuoted(out, literal);
      out += "); ";
    }
    if (open == std::string_view::npos) break;
    size_t close = src.find("%>", open + 2);
    if (close == std::string_view::npos) {
      throw LpSyntaxError("line " + std::to_string(LineOf(src, open)) +
                          ": '<%' without a closing '%>'");
    }
    bool is_expression = open + 2 < close && src[open + 2] == '=';
    size_t code_start = open + (is_expression ? 3 : 2);
    std::string_view code = src.substr(code_start, close - code_start);
    // Every piece ends in ";" so that code starting with "(" is never read
    // as a call of the piece before it. A closing comment costs one line of alignment; nothing else
    // does.
    const char* end_of_code = EndsInLineComment(code) ? "\n" : " ";
    if (is_expression) {
      out += "Response.Write(";
      out += code;
      out += end_of_code;
      out += "); ";
    } else {
      out += code;
      out += end_of_code;
      out += "; ";
    }
    pos = close + 2;
  }
  return out;
}

}  // namespace qv::script
