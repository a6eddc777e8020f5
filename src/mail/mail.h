// Mail delivery behind Server.CreateObject("CDONTS.NewMail").
//
// ConfigureMail registers the mail object and chooses its transport from
// the [mail] table of qvtome.toml (LoadMailConfig):
//
//   smtp_url = "smtp://mail.example.org:587"   (smtps:// for TLS from the start)
//   user = "qvtome"   password = "..."          (SMTP login, when the server wants one)
//   require_tls = false                          (true: refuse a server without STARTTLS)
//   connect_timeout = 10   timeout = 60          (seconds)
//   outbox = "mail/outbox"                       (pickup folder, relative to the data folder)
//   from = "qvtome@example.org"                  (sender when a page sets none;
//                                                 default qvtome@localhost)
//   password_mails_per_hour = 3                  (per account and per client address)
//
// Without smtp_url every message is written as an RFC 5322 file into the
// pickup folder, <data>/mail/outbox by default: first into its ".tmp"
// folder, then renamed to <time>-<random>.eml, so a pickup agent never sees
// half a message. With smtp_url it is sent through libcurl, upgraded with
// STARTTLS whenever the server offers it.
//
// Creating the object fails with HostError when the transport cannot be
// used (an outbox that cannot be made or written, an smtp_url that is not
// an smtp:// or smtps:// address). Send throws HostError when delivery
// fails.
#pragma once

#include <chrono>
#include <string>

namespace toml {
inline namespace v3 {
class table;
}
}  // namespace toml

namespace qv::mail {

struct MailConfig {
  std::string outbox;    // absolute
  std::string smtp_url;  // "" for the pickup folder
  std::string user;
  std::string password;
  bool require_tls = false;
  std::chrono::seconds connect_timeout{10};
  std::chrono::seconds timeout{60};
  std::string from = "qvtome@localhost";
  int password_mails_per_hour = 3;
};

// The [mail] table of a parsed configuration (null: defaults) for the data
// folder data_dir. Throws std::runtime_error naming a key of the wrong type
// or out of range.
MailConfig LoadMailConfig(const toml::table* root, const std::string& data_dir);

// "the pickup folder <outbox>" or "SMTP <smtp_url>" without the URL's
// user and password, for messages to the operator.
std::string TransportName(const MailConfig& config);

// Registers "CDONTS.NewMail" (once) and makes config the transport of every
// object created from now on. Call before requests run; tests may call it
// again between requests.
void ConfigureMail(const MailConfig& config);

}  // namespace qv::mail
