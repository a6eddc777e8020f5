// The client-side scripts: the confirmation of command links and the
// glossary window. Literal blocks, one line per write, each line followed
// by CR LF.
#include <initializer_list>
#include <string>

#include "book/book_internal.h"
#include "host/context.h"
#include "session/messages.h"

namespace qv::book {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kDefaultGlossaryFeatures =
    "?toolbar=no,location=no,directories=no,status=no,menubar=no,scrollbars=yes,"
    "resizeable=yes,width=500,height=200,top=100,left=200";

// CR LF, then each line followed by CR LF.
void WriteScriptLines(std::initializer_list<std::string> lines) {
  ResponseWrite(kCrLf);
  for (const std::string& line : lines) {
    ResponseWrite(line);
    ResponseWrite(kCrLf);
  }
}

void WriteFunctionBlock(const std::string& signature, const std::string& body) {
  WriteScriptLines(
      {"<script language=\"JavaScript\"><!--", signature, "{", body, "}", "// --></script>"});
}

// The window.open line of the glossary functions: the page and features of
// the message "URLGlossary" (the default features when it names none).
std::string GlossaryOpenLine() {
  std::string address = GetMsg("URLGlossary", 1);
  if (address.find('?') == std::string::npos) address += kDefaultGlossaryFeatures;
  const size_t mark = address.find('?');
  const std::string page = address.substr(0, mark);
  const std::string features = address.substr(mark + 1);
  return "    open (\"" + page + "?glossary_id=\"+id,\"_blank\", \"" + features + "\");";
}

}  // namespace

void WriteConfirmScript() {
  WriteFunctionBlock("function qvMenuConfirm(Msg, URL, Target)",
                     "    if(confirm(Msg)==true) open(URL,Target);");
}

void WriteGlossaryScript() {
  const std::string open_line = GlossaryOpenLine();
  WriteFunctionBlock("function qvTmGlossary(id)", open_line);
  WriteFunctionBlock("function qvGlossary(id)", open_line);
}

}  // namespace qv::book
