// The text of a mail message: RFC 5322 headers and a MIME text body.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace qv::mail {

struct MailAddress {
  std::string name;     // display name, "" when none
  std::string address;  // local@domain
};

// "a@b.org", "Name <a@b.org>" or "\"Name\" <a@b.org>", several separated by
// ";" or ",". Throws HostError for an empty list or an address with
// blanks, control characters or characters that have no place in one.
std::vector<MailAddress> ParseAddressList(const std::string& list);

struct ComposedMessage {
  std::string text;  // headers, blank line, body; CR LF line ends
  std::string sender;
  std::vector<std::string> recipients;
  std::string message_id;  // "<...@...>"
};

// The message as it is stored or sent. Non-ASCII subjects and names are
// MIME-encoded words; the body is UTF-8 text, sent 7bit when it is short
// plain ASCII lines, else quoted-printable (which also keeps a line
// starting with "." or "From " intact on any relay). Throws HostError for
// a From or To that ParseAddressList refuses.
ComposedMessage ComposeMessage(const std::string& from, const std::string& to,
                               const std::string& subject, const std::string& body,
                               std::time_t now);

// The date of a Date header in UTC: "Sun, 06 Dec 2026 18:41:34 +0000".
std::string MailDate(std::time_t time);

}  // namespace qv::mail
