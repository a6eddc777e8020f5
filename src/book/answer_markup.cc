#include "book/answer_markup.h"

#include <cctype>
#include <optional>

#include "core/convert.h"
#include "core/encode.h"

namespace qv::answer {
namespace {

size_t FindNoCase(std::string_view text, std::string_view needle, size_t from = 0) {
  if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    if (EqualsNoCase(text.substr(i, needle.size()), needle)) return i;
  }
  return std::string_view::npos;
}

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsNameChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '-' || c == '_' || c == ':' || c == '.';
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// One attribute of a start tag: its name, its value, and the span it takes
// in the tag, the blanks before it included.
struct Attribute {
  std::string name;
  std::string value;
  bool has_value = false;
  size_t begin = 0, end = 0;
};

// The attributes of the start tag at the beginning of tag, as a browser
// reads them: quoted with either quote, or unquoted.
std::vector<Attribute> Attributes(std::string_view tag) {
  std::vector<Attribute> attributes;
  size_t i = 1;
  while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != '>' && tag[i] != '/') ++i;
  while (i < tag.size()) {
    const size_t begin = i;
    while (i < tag.size() && (IsBlank(tag[i]) || tag[i] == '/')) ++i;
    if (i >= tag.size() || tag[i] == '>') break;
    Attribute a;
    a.begin = begin;
    const size_t name_start = i;
    while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != '=' && tag[i] != '>' && tag[i] != '/') {
      ++i;
    }
    a.name = std::string(tag.substr(name_start, i - name_start));
    size_t j = i;
    while (j < tag.size() && IsBlank(tag[j])) ++j;
    if (j < tag.size() && tag[j] == '=') {
      ++j;
      while (j < tag.size() && IsBlank(tag[j])) ++j;
      a.has_value = true;
      if (j < tag.size() && (tag[j] == '"' || tag[j] == '\'')) {
        const char quote = tag[j];
        const size_t close = tag.find(quote, j + 1);
        const size_t stop = close == std::string_view::npos ? tag.size() : close;
        a.value = std::string(tag.substr(j + 1, stop - j - 1));
        i = close == std::string_view::npos ? tag.size() : close + 1;
      } else {
        const size_t start = j;
        while (j < tag.size() && !IsBlank(tag[j]) && tag[j] != '>') ++j;
        a.value = std::string(tag.substr(start, j - start));
        i = j;
      }
    }
    if (i == name_start) ++i;  // a stray character: step over it
    a.end = i;
    attributes.push_back(std::move(a));
  }
  return attributes;
}

std::optional<std::string> AttributeOf(std::string_view tag, std::string_view name) {
  for (const Attribute& a : Attributes(tag)) {
    if (EqualsNoCase(a.name, name)) return a.value;
  }
  return std::nullopt;
}

bool HasAttribute(std::string_view tag, std::string_view name) {
  return AttributeOf(tag, name).has_value();
}

// The tag without every attribute of that name, in any case.
std::string WithoutAttribute(std::string_view tag, std::string_view name) {
  std::string out;
  size_t pos = 0;
  for (const Attribute& a : Attributes(tag)) {
    if (!EqualsNoCase(a.name, name)) continue;
    out.append(tag.substr(pos, a.begin - pos));
    pos = a.end;
  }
  out.append(tag.substr(pos));
  return out;
}

// The tag with text inserted before its closing ">" (or "/>").
std::string InsertBeforeClose(std::string_view tag, std::string_view text) {
  size_t at = tag.size();
  if (!tag.empty() && tag.back() == '>') {
    at = tag.size() - 1;
    if (at > 0 && tag[at - 1] == '/') --at;
  }
  std::string out(tag.substr(0, at));
  out += text;
  out += tag.substr(at);
  if (tag.empty() || tag.back() != '>') out += '>';
  return out;
}

std::string Attr(std::string_view tag, std::string_view name) {
  return AttributeOf(tag, name).value_or("");
}

// value is one of the values stored for a field (several joined by ", ").
bool IsStoredChoice(const std::string& stored, const std::string& value) {
  return (" " + stored + ",").find(" " + value + ",") != std::string::npos;
}

std::string Font(const std::string& colour, const std::string& text) {
  return "<font color=\"" + HtmlEncode(colour) + "\">" + text + "</font>";
}

std::string Hidden(const std::string& name, const std::string& value) {
  return "<input type=\"hidden\" name=\"" + name + "\" value=\"" + value + "\">";
}

}  // namespace

TestColours ReadTestColours(std::string_view text) {
  TestColours colours;
  const size_t at = FindNoCase(text, "qvTmTest");
  if (at == std::string_view::npos) return colours;
  const std::string_view tail = text.substr(at + 8, 80);
  auto read = [&](std::string_view prefix, std::string& colour) {
    std::string value = GetTagAttribute(tail, prefix, "\"");
    if (!value.empty()) colour = std::move(value);
  };
  read("RedFont=\"", colours.red);
  read("PinkFont=\"", colours.pink);
  read("BlueFont=\"", colours.blue);
  return colours;
}

std::string GetTagAttribute(std::string_view text, std::string_view prefix,
                            std::string_view endMark) {
  size_t at = FindNoCase(text, prefix);
  // "value=" inside "data-value=" is not the attribute.
  while (at != std::string_view::npos && at > 0 && !prefix.empty() && IsNameChar(prefix[0]) &&
         IsNameChar(text[at - 1])) {
    at = FindNoCase(text, prefix, at + 1);
  }
  if (at == std::string_view::npos) return "";
  const size_t start = at + prefix.size();
  size_t stop = endMark.empty() ? std::string_view::npos : text.find(endMark, start);
  if (stop == std::string_view::npos) stop = text.size();
  return std::string(text.substr(start, stop - start));
}

std::string StoredAnswerString(const std::vector<std::pair<std::string, std::string>>& items) {
  const std::string separator(1, kSeparator);
  std::string stored;
  for (const auto& [name, value] : items) {
    stored +=
        "&" + ReplaceAll(name, separator, "") + "=" + ReplaceAll(value, separator, "") + separator;
  }
  return stored + "&";
}

std::string GetStoredValue(std::string_view stored, std::string_view name) {
  const std::string text = std::string(1, kSeparator) + std::string(stored);
  const std::string key = std::string(1, kSeparator) + "&" + std::string(name) + "=";
  const std::string end = std::string(1, kSeparator) + "&";
  std::string result;
  bool found = false;
  for (size_t at = FindNoCase(text, key); at != std::string::npos;
       at = FindNoCase(text, key, at + 1)) {
    const size_t start = at + key.size();
    size_t stop = text.find(end, start);
    if (stop == std::string::npos) stop = text.size();
    if (found) result += ", ";
    result += text.substr(start, stop - start);
    found = true;
  }
  return result;
}

std::string FormatAnswerText(std::string_view text, bool blnEncode) {
  std::string encoded = HtmlEncode(text);
  if (blnEncode) return encoded;
  encoded = ReplaceAll(encoded, "\r\n", "<br>");
  return ReplaceAll(encoded, "  ", "&nbsp;&nbsp;");
}

std::string HideAnswerKey(std::string_view text, const TestColours& colours, bool blnRedo) {
  std::string out;
  size_t pos = 0;
  while (true) {
    const size_t open = FindNoCase(text, "<font", pos);
    if (open == std::string_view::npos) break;
    const size_t close = text.find('>', open);
    if (close == std::string_view::npos) break;
    const std::string colour = Attr(text.substr(open, close - open + 1), "color");
    const bool hidden =
        EqualsNoCase(colour, colours.red) || (!blnRedo && EqualsNoCase(colour, colours.pink));
    if (!hidden) {
      out.append(text.substr(pos, close + 1 - pos));
      pos = close + 1;
      continue;
    }
    out.append(text.substr(pos, open - pos));
    size_t p = close + 1;
    int depth = 1;
    while (depth > 0) {
      const size_t next_open = FindNoCase(text, "<font", p);
      const size_t next_close = FindNoCase(text, "</font", p);
      if (next_close == std::string_view::npos) {
        p = text.size();
        break;
      }
      if (next_open < next_close) {
        ++depth;
        p = next_open + 5;
      } else {
        --depth;
        // A close tag cut short ends at its name: the next tag is not its.
        const size_t gt = text.find('>', next_close);
        const size_t lt = text.find('<', next_close + 1);
        p = gt == std::string_view::npos || lt < gt ? next_close + 6 : gt + 1;
      }
    }
    pos = p;
  }
  if (pos < text.size()) out.append(text.substr(pos));
  return out;
}

// Rendering -------------------------------------------------------------------

std::string AnswerRenderer::StatusBlock(bool choice) const {
  return ctx_.status_block ? ctx_.status_block(choice) : std::string();
}

std::string AnswerRenderer::RenderForm(const std::string& tag) const {
  // Answers are written, so the form is posted, to the page itself.
  std::string out = WithoutAttribute(WithoutAttribute(tag, "action"), "method");
  return InsertBeforeClose(out, " method=\"post\" action=\"" + HtmlEncode(ctx_.form_url) + "\"");
}

std::string AnswerRenderer::RenderOption(const std::string& tag) {
  const size_t start_end = tag.find('>');
  const std::string start =
      tag.substr(0, start_end == std::string::npos ? tag.size() : start_end + 1);
  const std::string rest = tag.substr(start.size());
  const std::string text = rest.substr(0, rest.find('<'));
  const std::optional<std::string> given = AttributeOf(start, "value");
  const std::string value = given ? *given : Trim(text);
  const bool chosen = IsStoredChoice(GetStoredValue(ctx_.answer, select_name_), value);
  if (ctx_.mode == kAnswerForm) {
    std::string out = WithoutAttribute(start, "selected");
    if (chosen) out = InsertBeforeClose(out, " selected");
    return out + rest;
  }
  std::string out;
  if (chosen) out += "[" + Font(ctx_.colours.blue, text) + "]";
  if (ctx_.mode != kShow && HasAttribute(start, "selected")) {
    out += "[" + Font(ctx_.colours.red, text) + "]";
  }
  return out;
}

std::string AnswerRenderer::RenderChoice(const std::string& tag, const std::string& name,
                                         const std::string& value, bool checkbox) {
  const bool chosen = IsStoredChoice(GetStoredValue(ctx_.answer, name), value);
  if (ctx_.mode == kAnswerForm) {
    const std::string out = WithoutAttribute(tag, "checked");
    return chosen ? InsertBeforeClose(out, " checked") : out;
  }
  const std::string kind = checkbox ? "CheckBox" : "RadioButton";
  const std::string dir = HtmlEncode(ctx_.image_dir);
  std::string out = "<img src=\"" + dir + kind + (chosen ? "On.gif" : "Off.gif") + "\">";
  if (ctx_.mode != kShow) {
    out += "<img src=\"" + dir + kind + (HasAttribute(tag, "checked") ? "On1.gif" : "Off1.gif") +
           "\">";
  }
  return out;
}

std::string AnswerRenderer::RenderTextInput(const std::string& tag, const std::string& name) {
  if (!in_pink_) {
    const std::string answer = GetStoredValue(ctx_.answer, name);
    if (ctx_.mode != kAnswerForm) return Font(ctx_.colours.blue, HtmlEncode(answer));
    const std::string out = answer.empty() ? tag : WithoutAttribute(tag, "value");
    return InsertBeforeClose(out, " value=\"" + HtmlEncode(answer) + "\"");
  }
  const std::string comment = GetStoredValue(ctx_.comment, name);
  switch (ctx_.mode) {
    case kCheck:
      return InsertBeforeClose(comment.empty() ? tag : WithoutAttribute(tag, "value"),
                               " value=\"" + HtmlEncode(comment) + "\"");
    case kReview:
      return HtmlEncode(comment);
    default:
      return ctx_.redo ? HtmlEncode(comment) : std::string();
  }
}

std::string AnswerRenderer::RenderTextArea(const std::string& tag, const std::string& name) {
  if (!in_pink_) {
    const std::string answer = GetStoredValue(ctx_.answer, name);
    if (ctx_.mode == kAnswerForm) return tag + FormatAnswerText(answer, true);
    return Font(ctx_.colours.blue, FormatAnswerText(answer, false));
  }
  const std::string comment = GetStoredValue(ctx_.comment, name);
  switch (ctx_.mode) {
    case kCheck:
      return tag + FormatAnswerText(comment, true);
    case kReview:
      return FormatAnswerText(comment, false);
    default:
      return ctx_.redo ? FormatAnswerText(comment, false) : std::string();
  }
}

std::string AnswerRenderer::RenderSubmit(const std::string& tag) {
  std::string out = StatusBlock(false);
  if (ctx_.page_type == 6) {
    // The quiz's own action: its branching follows the posted answers.
    out += Hidden("qvAction", "quiz");
  } else if (ctx_.page_type == 10) {
    if (ctx_.mode != kShow) out += Hidden("qvAction", "submitanonymous");
  } else if (ctx_.mode == kAnswerForm) {
    out += Hidden("qvAction", "submitassignment");
  } else if (ctx_.mode == kCheck) {
    out += Hidden("qvAction", "submitcheckassignment");
  }
  return out + tag;
}

std::string AnswerRenderer::RenderAnswerTag(const std::string& tag) {
  const std::string head = ToLower(std::string_view(tag).substr(0, 5));
  const bool form_mode = ctx_.mode == kAnswerForm;
  if (head == "<font") {
    // The pink element counts itself, so that a font nested in it does not
    // end the region.
    if (in_pink_) {
      ++font_depth_;
    } else if (EqualsNoCase(Attr(tag, "color"), ctx_.colours.pink)) {
      in_pink_ = true;
      font_depth_ = 1;
    }
    return tag;
  }
  if (head == "</fon") {
    if (--font_depth_ <= 0) {
      in_pink_ = false;
      font_depth_ = 0;
    }
    return tag;
  }
  if (head == "<form") return RenderForm(tag);
  if (head == "<sele") {
    select_name_ = Attr(tag, "name");
    return form_mode ? tag : std::string();
  }
  if (head == "</sel") return form_mode ? tag : std::string();
  if (head == "<opti") return RenderOption(tag);
  if (head == "<text") return RenderTextArea(tag, Attr(tag, "name"));
  if (head == "</tex") {
    const bool kept = (form_mode && !in_pink_) || (ctx_.mode == kCheck && in_pink_);
    return kept ? tag : std::string();
  }
  if (head == "<qvtm") {
    return StartsNoCase(tag, "<qvTmTest") ? StatusBlock(true) : tag;
  }
  if (head != "<inpu") return tag;
  const std::optional<std::string> type_attr = AttributeOf(tag, "type");
  const std::string type = ToLower(type_attr.value_or("text"));
  if (type == "checkbox" || type == "radio") {
    return RenderChoice(tag, Attr(tag, "name"), Attr(tag, "value"), type == "checkbox");
  }
  if (type == "text") return RenderTextInput(tag, Attr(tag, "name"));
  if (type == "submit") return RenderSubmit(tag);
  if (type == "reset") return form_mode || ctx_.mode == kCheck ? tag : std::string();
  return tag;
}

std::string AnswerRenderer::ExpandAnswerTags(std::string_view text) {
  static constexpr std::string_view kKinds[] = {"<form", "<qvtm", "<inpu", "<text", "<opti",
                                                "<sele", "</sel", "<font", "</fon", "</tex"};
  std::string out;
  size_t pos = 0;
  for (int visited = 0; visited < kMaxAnswerTags; ++visited) {
    const size_t open = text.find('<', pos);
    if (open == std::string_view::npos) break;
    const size_t close = text.find('>', open + 1);
    if (close == std::string_view::npos) break;
    size_t end = close + 1;
    const std::string head = ToLower(text.substr(open, 5));
    if (StartsNoCase(text.substr(open), "<opt")) {
      // An option carries its text, and its end tag when one follows.
      const size_t next = text.find('<', end);
      end = next == std::string_view::npos ? text.size() : next;
      if (next != std::string_view::npos && StartsNoCase(text.substr(next), "</option")) {
        const size_t gt = text.find('>', next);
        end = gt == std::string_view::npos ? text.size() : gt + 1;
      }
    }
    out.append(text.substr(pos, open - pos));
    const std::string tag(text.substr(open, end - open));
    bool known = false;
    for (std::string_view kind : kKinds) known = known || head == kind;
    out += known ? RenderAnswerTag(tag) : tag;
    pos = end;
  }
  out.append(text.substr(pos));
  return out;
}

std::string AnswerRenderer::PrepareQuizForm(std::string_view text) {
  std::string out(text);
  for (std::string_view start :
       {std::string_view("<form"), std::string_view("<input TYPE=\"submit\"")}) {
    const size_t open = FindNoCase(out, start);
    if (open == std::string::npos) continue;
    const size_t close = out.find('>', open);
    if (close == std::string::npos) continue;
    const std::string tag = out.substr(open, close - open + 1);
    out = ReplaceAll(out, tag, RenderAnswerTag(tag));
  }
  return out;
}

}  // namespace qv::answer
