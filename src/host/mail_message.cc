#include "host/mail_message.h"

#include "host/host_objects.h"

namespace qv {

namespace {
// A header value: one line.
const std::string& HeaderValue(const char* name, const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos) {
    throw HostError(std::string("Mail: the ") + name + " value holds a line break");
  }
  return value;
}
}  // namespace

void MailMessage::SetFrom(const std::string& value) { from_ = HeaderValue("From", value); }
void MailMessage::SetTo(const std::string& value) { to_ = HeaderValue("To", value); }
void MailMessage::SetSubject(const std::string& value) { subject_ = HeaderValue("Subject", value); }

void MailMessage::Send() {
  if (sent_) throw HostError("Mail: the message was sent already");
  sent_ = true;
  Deliver();
}

}  // namespace qv
