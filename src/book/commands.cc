// Command links back to the current page, and links whose address and text
// are system messages.
#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/convert.h"
#include "core/encode.h"
#include "data/settings.h"
#include "host/context.h"
#include "session/current_page.h"
#include "session/messages.h"

namespace qv::book {
namespace {

// Command links go to TargetFile only when a target frame is named too.
bool CommandsUseTargetFile() {
  const Settings& s = TheSettings();
  return !s.TargetFile.empty() && !s.TargetFrame.empty();
}

std::string CommandURL(const std::string& action) {
  const Settings& s = TheSettings();
  const PageRecord& page = ThePage();
  const std::string& base = CommandsUseTargetFile() ? s.TargetFile : s.ThisURL;
  return base + "?id=" + HtmlEncode(NullToStr(page.ID)) + "&qvAction=" + action + s.TargetFileParam;
}

void WriteConfirmLink(const std::string& confirm, const std::string& url,
                      const std::string& label) {
  const std::string target = CommandsUseTargetFile() ? TheSettings().TargetFrame : "_self";
  ResponseWrite("<a href=\"javascript:qvMenuConfirm(&quot;" + confirm + "&quot;,&quot;" + url +
                "&quot;,&quot;" + target + "&quot;)\">" + label + "</a>");
  if (!CurrentBook().blnConfirmScriptShown) {
    WriteConfirmScript();
    CurrentBook().blnConfirmScriptShown = true;
  }
}

}  // namespace

void WriteCommand(const std::string& action, const std::string& labelKey) {
  if (IsDownloadForm()) return;
  const std::string label = GetMsg(labelKey, 1);
  if (label.empty()) return;
  if (action.empty()) {
    ResponseWrite(label);
    return;
  }
  const std::string confirm = GetMsg(labelKey + "Confirm", 1);
  const std::string url = CommandURL(action);
  if (!confirm.empty()) {
    WriteConfirmLink(confirm, url, label);
  } else if (CommandsUseTargetFile()) {
    ResponseWrite("<a href=\"" + url + "\" target=\"" + TheSettings().TargetFrame + "\">" + label +
                  "</a>");
  } else {
    ResponseWrite("<a href=\"" + url + "\">" + label + "</a>");
  }
}

void WriteMsgLink(const std::string& urlKey, const std::string& labelKey,
                  const std::string& params) {
  if (IsDownloadForm()) return;
  std::string url = GetMsg(urlKey, 1);
  if (url.empty()) return;
  url = url.find('?') != std::string::npos ? ReplaceAll(url, "?", params) : url + params;
  ResponseWrite("<a href=\"" + url + "\">" + GetMsg(labelKey, 1) + "</a>");
}

}  // namespace qv::book
