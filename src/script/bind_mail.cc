// The mail object of Server.CreateObject("CDONTS.NewMail"): mail.From,
// mail.To, mail.Subject and mail.Body are read and assigned with '.',
// mail:Send() delivers it.
#include "host/mail_message.h"
#include "script/bind_class.h"

namespace qv::script {

template <>
struct BoundClass<MailMessage> {
  static constexpr const char* name = "qvTome.NewMail";
};

namespace {

constexpr Member kMembers[] = {
    Property<&MailMessage::From, &MailMessage::SetFrom>("From"),
    Property<&MailMessage::To, &MailMessage::SetTo>("To"),
    Property<&MailMessage::Subject, &MailMessage::SetSubject>("Subject"),
    Property<&MailMessage::Body, &MailMessage::SetBody>("Body"),
    Method<&MailMessage::Send>("Send"),
};

const ClassRegistration kMail = Register<MailMessage>(kMembers);

}  // namespace
}  // namespace qv::script
