// Answer markup as functions over text: the key hidden, stored answers read
// back and written as data, and every tag kind rendered by mode.
#include "book/answer_markup.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace qv::answer {
namespace {

const std::string kEsc(1, kSeparator);

// A renderer in mode with the answer and comment strings of the pairs.
AnswerRenderer Renderer(int mode, const std::string& answer, const std::string& comment = "&",
                        int type = 8, bool redo = false) {
  RenderContext ctx;
  ctx.mode = mode;
  ctx.page_type = type;
  ctx.redo = redo;
  ctx.answer = answer;
  ctx.comment = comment;
  ctx.form_url = "/book.lp?id=5";
  ctx.image_dir = "/images/";
  ctx.status_block = [](bool choice) { return choice ? std::string("[S]") : std::string("[s]"); };
  return AnswerRenderer(ctx);
}

TEST(AnswerText, StoredStringsReadBackByNameAndCannotBeForged) {
  const std::string stored =
      StoredAnswerString({{"q1", "a"}, {"Q2", "b, c"}, {"q1", "d"}, {"t", "x" + kEsc + "&q3=z"}});
  EXPECT_EQ(stored, "&q1=a" + kEsc + "&Q2=b, c" + kEsc + "&q1=d" + kEsc + "&t=x&q3=z" + kEsc + "&");
  EXPECT_EQ(GetStoredValue(stored, "q2"), "b, c");  // any case
  EXPECT_EQ(GetStoredValue(stored, "q1"), "a, d");  // repeated names joined
  EXPECT_EQ(GetStoredValue(stored, "q3"), "");      // the separator was removed, nothing forged
  EXPECT_EQ(GetStoredValue(stored, "t"), "x&q3=z");
  EXPECT_EQ(GetStoredValue(stored, "missing"), "");
  EXPECT_EQ(GetStoredValue("", "q1"), "");
}

TEST(AnswerText, AttributesAndColours) {
  EXPECT_EQ(GetTagAttribute("<input NAME=\"q1\" value=\"v\">", "name=\"", "\""), "q1");
  EXPECT_EQ(GetTagAttribute("<input data-value=\"x\" value=\"v\">", "VALUE=\"", "\""), "v");
  EXPECT_EQ(GetTagAttribute("=1.5", "=", ""), "1.5");
  EXPECT_EQ(GetTagAttribute("<b>", "name=\"", "\""), "");
  const TestColours colours =
      ReadTestColours("text <qvtmtest RedFont=\"#CC0000\" PinkFont=\"\" BlueFont=\"#0000AA\">");
  EXPECT_EQ(colours.red, "#CC0000");
  EXPECT_EQ(colours.pink, "#FF00FF");  // empty: the default
  EXPECT_EQ(colours.blue, "#0000AA");
  EXPECT_EQ(ReadTestColours("no tag").red, "#FF0000");
}

TEST(AnswerText, FormattedAnswersAreData) {
  EXPECT_EQ(FormatAnswerText("<b>a</b>\r\nx  y", false), "&lt;b&gt;a&lt;/b&gt;<br>x&nbsp;&nbsp;y");
  EXPECT_EQ(FormatAnswerText("</textarea><script>", true), "&lt;/textarea&gt;&lt;script&gt;");
}

TEST(HideAnswerKey, RemovesKeyAndMarkerNotesWithNestedFonts) {
  const TestColours c;
  const std::string text =
      "A<font color=\"#ff0000\">key <font size=2>x</font> more</font>B"
      "<FONT COLOR='#FF00FF'>note<font color=\"#0000FF\">n</font></FONT>C<font color=red>D</font>";
  EXPECT_EQ(HideAnswerKey(text, c, false), "ABC<font color=red>D</font>");
  // A redo round keeps the marker's notes.
  EXPECT_EQ(HideAnswerKey(text, c, true),
            "AB<FONT COLOR='#FF00FF'>note<font color=\"#0000FF\">n</font></FONT>C<font "
            "color=red>D</font>");
  // An element never closed runs to the end: nothing of the key shows.
  EXPECT_EQ(HideAnswerKey("x<font color=\"#FF0000\">42", c, false), "x");
}

// Mode 1: the student's form ---------------------------------------------------------

TEST(AnswerForm, FillsEarlierAnswersAndDropsTheKeyInAnyCase) {
  const std::string answer =
      StoredAnswerString({{"c", "b, x"}, {"r", "2"}, {"t", "\"><script>"}, {"s", "o2"}});
  AnswerRenderer r = Renderer(kAnswerForm, answer);
  EXPECT_EQ(r.RenderAnswerTag("<input type=\"checkbox\" name=\"c\" value=\"a\" CHECKED>"),
            "<input type=\"checkbox\" name=\"c\" value=\"a\">");
  EXPECT_EQ(r.RenderAnswerTag("<input type=\"checkbox\" name=\"c\" value=\"b\">"),
            "<input type=\"checkbox\" name=\"c\" value=\"b\" checked>");
  EXPECT_EQ(r.RenderAnswerTag("<input TYPE=\"radio\" name=\"r\" value=\"2\" checked=\"checked\"/>"),
            "<input TYPE=\"radio\" name=\"r\" value=\"2\" checked/>");
  EXPECT_EQ(r.RenderAnswerTag("<input type=\"text\" name=\"t\" value=\"hint\">"),
            "<input type=\"text\" name=\"t\" value=\"&quot;&gt;&lt;script&gt;\">");
  EXPECT_EQ(r.RenderAnswerTag("<input name=\"none\">"), "<input name=\"none\" value=\"\">");
  EXPECT_EQ(r.RenderAnswerTag("<textarea name=\"t\">"),
            "<textarea name=\"t\">&quot;&gt;&lt;script&gt;");
  EXPECT_EQ(r.RenderAnswerTag("<select name=\"s\">"), "<select name=\"s\">");
  EXPECT_EQ(r.RenderAnswerTag("<option value=\"o1\" SELECTED>One</option>"),
            "<option value=\"o1\">One</option>");
  EXPECT_EQ(r.RenderAnswerTag("<option value=\"o2\">Two</option>"),
            "<option value=\"o2\" selected>Two</option>");
  EXPECT_EQ(r.RenderAnswerTag("<input type=\"reset\">"), "<input type=\"reset\">");
  EXPECT_EQ(r.RenderAnswerTag("<input type=\"submit\" value=\"Go\">"),
            "[s]<input type=\"hidden\" name=\"qvAction\" value=\"submitassignment\"><input "
            "type=\"submit\" value=\"Go\">");
  EXPECT_EQ(r.RenderAnswerTag("<qvTmTest RedFont=\"#FF0000\">"), "[S]");
  EXPECT_EQ(r.RenderAnswerTag("<qvTm.Other>"), "<qvTm.Other>");
}

TEST(AnswerForm, FormsPostToThePageItself) {
  AnswerRenderer r = Renderer(kAnswerForm, "&");
  EXPECT_EQ(r.RenderAnswerTag("<form>"), "<form method=\"post\" action=\"/book.lp?id=5\">");
  EXPECT_EQ(r.RenderAnswerTag("<form method=get action=\"http://elsewhere/x\" name=f>"),
            "<form name=f method=\"post\" action=\"/book.lp?id=5\">");
}

TEST(AnswerForm, ExpandsTagsInPlaceUpToTheLimit) {
  const std::string answer = StoredAnswerString({{"a", "1"}});
  // Two identical text areas each get the answer once.
  EXPECT_EQ(
      Renderer(kAnswerForm, answer)
          .ExpandAnswerTags("<p><textarea name=\"a\"></textarea><textarea name=\"a\"></textarea>"),
      "<p><textarea name=\"a\">1</textarea><textarea name=\"a\">1</textarea>");
  std::string many;
  for (int i = 0; i < kMaxAnswerTags + 1; ++i) many += "<input name=\"a\">";
  const std::string expanded = Renderer(kAnswerForm, answer).ExpandAnswerTags(many);
  EXPECT_NE(expanded.find("<input name=\"a\" value=\"1\"><input name=\"a\">"), std::string::npos);
  EXPECT_EQ(expanded.size(), many.size() + kMaxAnswerTags * std::string(" value=\"1\"").size());
}

TEST(AnswerForm, QuizFormRendersOnlyItsFormAndButton) {
  const std::string text =
      "<form><input type=\"radio\" name=\"q\" value=\"a\" checked><input TYPE=\"submit\" "
      "value=\"Go\"></form>";
  EXPECT_EQ(Renderer(kAnswerForm, "&", "&", 6).PrepareQuizForm(text),
            "<form method=\"post\" action=\"/book.lp?id=5\"><input type=\"radio\" name=\"q\" "
            "value=\"a\" checked>[s]<input type=\"hidden\" name=\"qvAction\" value=\"quiz\"><input "
            "TYPE=\"submit\" value=\"Go\"></form>");
  EXPECT_NE(Renderer(kAnswerForm, "&", "&", 10).PrepareQuizForm(text).find("submitanonymous"),
            std::string::npos);
}

// Marker fields: in a pink region ------------------------------------------------------

TEST(MarkerFields, ByModeInAndOutsidePinkRegions) {
  const std::string answer = StoredAnswerString({{"a", "mine"}, {"m", "ignored"}});
  const std::string comment = StoredAnswerString({{"m", "<good>"}, {"n", "ok\r\nyes"}});
  const std::string text =
      "<input name=\"a\"><font color=\"#FF00FF\"><font size=1><input name=\"m\"></font>"
      "<textarea name=\"n\"></textarea></font><textarea name=\"a\"></textarea>";
  // Mode 3: the marker's form, his fields filled, the student's answers as text.
  EXPECT_EQ(
      Renderer(kCheck, answer, comment).ExpandAnswerTags(text),
      "<font color=\"#0000FF\">mine</font><font color=\"#FF00FF\"><font size=1><input "
      "name=\"m\" value=\"&lt;good&gt;\"></font><textarea name=\"n\">ok\r\nyes</textarea></font>"
      "<font color=\"#0000FF\">mine</font>");
  // Mode 4: the marker's comments as text.
  EXPECT_EQ(Renderer(kReview, answer, comment).ExpandAnswerTags(text),
            "<font color=\"#0000FF\">mine</font><font color=\"#FF00FF\"><font "
            "size=1>&lt;good&gt;</font>ok<br>yes</font><font color=\"#0000FF\">mine</font>");
  // Modes 1 and 2 in a redo round (the region survived HideAnswerKey): comments as text.
  EXPECT_EQ(Renderer(kAnswerForm, answer, comment, 8, true).ExpandAnswerTags(text),
            "<input name=\"a\" value=\"mine\"><font color=\"#FF00FF\"><font "
            "size=1>&lt;good&gt;</font>ok<br>yes</font><textarea name=\"a\">mine</textarea>");
  EXPECT_EQ(Renderer(kShow, answer, comment).ExpandAnswerTags(text),
            "<font color=\"#0000FF\">mine</font><font color=\"#FF00FF\"><font size=1></font></font>"
            "<font color=\"#0000FF\">mine</font>");
}

// Modes 2 to 4: the student's choices as images and text --------------------------------

TEST(ReviewImages, ChoiceAndKeyByMode) {
  const std::string answer = StoredAnswerString({{"c", "a, b"}, {"s", "o2"}});
  const std::string tags =
      "<input type=\"checkbox\" name=\"c\" value=\"a\" checked>"
      "<input type=\"checkbox\" name=\"c\" value=\"b\">"
      "<input type=\"radio\" name=\"r\" value=\"z\" CHECKED>"
      "<select name=\"s\"><option value=\"o1\" selected>One</option>"
      "<option value=\"o2\">Two</option><option value=\"o3\">Three</option></select>"
      "<input type=\"reset\"><input type=\"submit\">";
  EXPECT_EQ(Renderer(kReview, answer).ExpandAnswerTags(tags),
            "<img src=\"/images/CheckBoxOn.gif\"><img src=\"/images/CheckBoxOn1.gif\">"
            "<img src=\"/images/CheckBoxOn.gif\"><img src=\"/images/CheckBoxOff1.gif\">"
            "<img src=\"/images/RadioButtonOff.gif\"><img src=\"/images/RadioButtonOn1.gif\">"
            "[<font color=\"#FF0000\">One</font>][<font color=\"#0000FF\">Two</font>][s]<input "
            "type=\"submit\">");
  EXPECT_EQ(Renderer(kShow, answer).ExpandAnswerTags(tags),
            "<img src=\"/images/CheckBoxOn.gif\"><img src=\"/images/CheckBoxOn.gif\">"
            "<img src=\"/images/RadioButtonOff.gif\">[<font color=\"#0000FF\">Two</font>][s]<input "
            "type=\"submit\">");
  EXPECT_NE(Renderer(kCheck, answer)
                .ExpandAnswerTags(tags)
                .find("<input type=\"reset\">[s]<input type=\"hidden\" name=\"qvAction\" "
                      "value=\"submitcheckassignment\">"),
            std::string::npos);
}

// Random texts of markup fragments, broken ones included: every function
// ends, and a key written in a red font never survives HideAnswerKey.
TEST(AnswerMarkupRobustness, RandomMarkupNeverLeaksTheKey) {
  const std::vector<std::string> pieces = {
      "<font color=\"#FF0000\">SECRET",
      "<FONT COLOR=#ff0000>SECRET",
      "</font>",
      "</FONT",
      "<font size=2>",
      "<font color=\"#FF00FF\">",
      "<input type=\"checkbox\" name=\"a\" value=\"1\" checked>",
      "<input name=\"t\"",
      ">",
      "<",
      "\"",
      "'",
      "<option value=\"x\" selected>X",
      "</option>",
      "<select name=\"s\">",
      "</select>",
      "<textarea name=\"t\">",
      "</textarea>",
      "<qvTmTest RedFont=\"",
      "<form action=\"",
      "text ",
      "<input type=\"submit\">",
      "<opt"};
  const std::string answer = StoredAnswerString({{"a", "1"}, {"t", "<x>"}, {"s", "x"}});
  std::mt19937 random(2026);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int n = static_cast<int>(random() % 40); n > 0; --n)
      text += pieces[random() % pieces.size()];
    EXPECT_EQ(HideAnswerKey(text, TestColours{}, false).find("SECRET"), std::string::npos) << text;
    EXPECT_EQ(HideAnswerKey(text, TestColours{}, true).find("SECRET"), std::string::npos) << text;
    for (int mode = kAnswerForm; mode <= kReview; ++mode) {
      const std::string expanded = Renderer(mode, answer, answer).ExpandAnswerTags(text);
      EXPECT_EQ(expanded.find("<x>"), std::string::npos) << text;  // answers stay encoded
    }
    Renderer(kAnswerForm, answer, answer, 6).PrepareQuizForm(text);
    ReadTestColours(text);
    GetStoredValue(text, "a");
  }
}

}  // namespace
}  // namespace qv::answer
