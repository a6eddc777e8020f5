// Answer markup: the text transformations that turn an assignment page's
// HTML form into what one viewer sees of it.
//
// An author writes an ordinary form into the page and marks the answer key
// in it (checked and selected choices, text in the red key colour) and the
// marker's fields and notes (in the pink colour); one "<qvTmTest ...>" tag
// may set the colours and places the status choices. Everything here is a
// function of text and of the RenderContext it is given: no request, no
// database, so it can be tested and fuzzed on its own. Stored answers and
// comments are data: wherever they are written into the page they are
// HTML-encoded.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::answer {

// What a rendering shows, by who looks at which state of a submission.
enum Mode : int {
  kAnswerForm = 1,  // the student's form, earlier answers filled in
  kShow = 2,        // the student's answers, read only, no key
  kCheck = 3,       // the marker's form: answers, key and marker fields
  kReview = 4,      // the marked work next to the key
};

// The separator that ends each value of a stored answer string.
inline constexpr char kSeparator = '\x1b';

// The three mark colours of a page.
struct TestColours {
  std::string red = "#FF0000";   // answer key
  std::string pink = "#FF00FF";  // marker's notes and fields
  std::string blue = "#0000FF";  // the student's answers as shown
};

// The colours set by the attributes RedFont, PinkFont and BlueFont within
// the 80 characters after the first "qvTmTest" (any case); a missing or
// empty attribute keeps its default.
TestColours ReadTestColours(std::string_view text);

// The text after prefix (found in any case, at the start of text or after
// a character that cannot be part of an attribute name) up to the next
// endMark, or to the end when endMark is empty or absent; "" without
// prefix.
std::string GetTagAttribute(std::string_view text, std::string_view prefix,
                            std::string_view endMark);

// "&name=value" and the separator for each (name, value), then "&". The
// separator is removed from names and values first, so that no value can
// end early and forge another field.
std::string StoredAnswerString(const std::vector<std::pair<std::string, std::string>>& items);

// The value of name (any case) in a stored answer string; the values of a
// name stored more than once joined by ", "; "" when absent.
std::string GetStoredValue(std::string_view stored, std::string_view name);

// Stored text for the page: HTML-encoded; unless blnEncode (text for a
// text area), also CR LF as "<br>" and two blanks as "&nbsp;&nbsp;".
std::string FormatAnswerText(std::string_view text, bool blnEncode);

// The text without the font elements in the red colour, or in the pink
// one unless blnRedo, each with its content up to its matching "</font>"
// (nested fonts counted; an element never closed runs to the end).
std::string HideAnswerKey(std::string_view text, const TestColours& colours, bool blnRedo);

// What one rendering needs to know.
struct RenderContext {
  int mode = kAnswerForm;
  int page_type = 0;
  bool redo = false;    // a redo round: the marker's notes stay visible
  std::string answer;   // the stored answer string (dbAnswer)
  std::string comment;  // the stored marking string (dbComment)
  TestColours colours;
  std::string form_url;  // where the form posts: the page itself
  std::string image_dir;
  // The status block (with choices at "<qvTmTest", without at the submit
  // button); may be empty.
  std::function<std::string(bool blnChoice)> status_block;
};

// Renders the tags of one text in order; a region in the pink colour is
// the stretch of tags walked inside a pink font element.
class AnswerRenderer {
 public:
  explicit AnswerRenderer(RenderContext context) : ctx_(std::move(context)) {}

  // The rendering of one tag ("<option ...>" with its text), or the tag
  // unchanged when its kind is not one of the answer markup.
  std::string RenderAnswerTag(const std::string& tag);
  // Every tag of the answer markup rendered in place, at most 5000 tags.
  std::string ExpandAnswerTags(std::string_view text);
  // Only the first form tag and the first submit button rendered (every
  // copy of each), for quizzes and anonymous forms.
  std::string PrepareQuizForm(std::string_view text);

  bool InPinkRegion() const { return in_pink_; }

 private:
  std::string RenderOption(const std::string& tag);
  std::string RenderChoice(const std::string& tag, const std::string& name,
                           const std::string& value, bool checkbox);
  std::string RenderTextInput(const std::string& tag, const std::string& name);
  std::string RenderTextArea(const std::string& tag, const std::string& name);
  std::string RenderSubmit(const std::string& tag);
  std::string RenderForm(const std::string& tag) const;
  std::string StatusBlock(bool choice) const;

  RenderContext ctx_;
  bool in_pink_ = false;
  int font_depth_ = 0;
  std::string select_name_;
};

// At most this many tags are visited by ExpandAnswerTags.
inline constexpr int kMaxAnswerTags = 5000;

}  // namespace qv::answer
