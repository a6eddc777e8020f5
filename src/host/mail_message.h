// The mail object of Server.CreateObject("CDONTS.NewMail").
//
// A page or the component sets From, To, Subject and Body, then calls Send
// once. The mail module (src/mail) registers the object and delivers it;
// the component knows only this interface. From, To and Subject become
// message headers: a value holding CR or LF is refused with HostError, so
// no stored value can add headers of its own. From and To hold one address
// ("a@b.org" or "Name <a@b.org>") or several separated by ";" or ",".
#pragma once

#include <string>

#include "core/variant.h"

namespace qv {

class MailMessage : public Object {
 public:
  std::string From() const { return from_; }
  void SetFrom(const std::string& value);
  std::string To() const { return to_; }
  void SetTo(const std::string& value);
  std::string Subject() const { return subject_; }
  void SetSubject(const std::string& value);
  std::string Body() const { return body_; }
  void SetBody(const std::string& value) { body_ = value; }

  // Delivers the message; HostError when it cannot be delivered or was
  // sent already.
  void Send();

 protected:
  // Hands the message to the transport; throws on failure.
  virtual void Deliver() = 0;

 private:
  std::string from_, to_, subject_, body_;
  bool sent_ = false;
};

}  // namespace qv
