// Password by e-mail: Book.eMailPassword and the limit on how often it sends.
#include "book/password_mail.h"

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "book/book.h"
#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/aspproc.h"
#include "data/settings.h"
#include "host/context.h"
#include "host/mail_message.h"
#include "session/identity.h"
#include "session/messages.h"

namespace qv {

// The limit ------------------------------------------------------------------

PasswordMailLimit::PasswordMailLimit(Settings settings, Clock clock)
    : settings_(settings), clock_(std::move(clock)) {}

void PasswordMailLimit::Configure(Settings settings) {
  std::lock_guard lock(mutex_);
  settings_ = settings;
  sent_.clear();
}

void PasswordMailLimit::SetClock(Clock clock) {
  std::lock_guard lock(mutex_);
  clock_ = std::move(clock);
  sent_.clear();
}

PasswordMailLimit::TimePoint PasswordMailLimit::Now() const {
  return clock_ ? clock_() : std::chrono::steady_clock::now();
}

std::deque<PasswordMailLimit::TimePoint>& PasswordMailLimit::Recent(const std::string& key,
                                                                    TimePoint now) {
  std::deque<TimePoint>& times = sent_[key];
  while (!times.empty() && now - times.front() >= std::chrono::hours(1)) times.pop_front();
  return times;
}

void PasswordMailLimit::Prune(TimePoint now) {
  std::erase_if(sent_, [&](const auto& entry) {
    return entry.second.empty() || now - entry.second.back() >= std::chrono::hours(1);
  });
  while (sent_.size() > settings_.max_entries) {
    auto idle = std::min_element(sent_.begin(), sent_.end(), [](const auto& a, const auto& b) {
      return a.second.back() < b.second.back();
    });
    sent_.erase(idle);
  }
}

bool PasswordMailLimit::Admit(const std::string& account, const std::string& address) {
  std::lock_guard lock(mutex_);
  const TimePoint now = Now();
  const std::string account_key = "u:" + ToLower(account).substr(0, 128);
  const std::string address_key = "a:" + address.substr(0, 64);
  const auto limit = static_cast<size_t>(settings_.per_hour);
  std::deque<TimePoint>& by_account = Recent(account_key, now);
  std::deque<TimePoint>& by_address = Recent(address_key, now);
  const bool admitted = by_account.size() < limit && by_address.size() < limit;
  if (admitted) {
    by_account.push_back(now);
    by_address.push_back(now);
  }
  if (sent_.size() > settings_.max_entries) Prune(now);
  return admitted;
}

PasswordMailLimit& SharedPasswordMailLimit() {
  static PasswordMailLimit limit;
  return limit;
}

// The mail -------------------------------------------------------------------

namespace {

// The template with each placeholder replaced by its value; a value put in
// is not looked at again.
std::string FillTemplate(const std::string& text,
                         const std::vector<std::pair<std::string_view, std::string>>& values) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t best = std::string::npos;
    const std::pair<std::string_view, std::string>* found = nullptr;
    for (const auto& entry : values) {
      const size_t at = text.find(entry.first, pos);
      if (at < best) {
        best = at;
        found = &entry;
      }
    }
    if (found == nullptr) break;
    out.append(text, pos, best - pos);
    out += found->second;
    pos = best + found->first.size();
  }
  if (pos < text.size()) out.append(text, pos);
  return out;
}

// A stored value made safe for one line of the error log.
std::string ForLog(const std::string& text) {
  std::string out;
  for (char c : text.substr(0, 128)) out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
  return out;
}

}  // namespace

std::string Book::eMailPassword(const std::string& strUserID) {
  const std::string language = TheSettings().FirstLanguage;
  const std::string title_field(CheckIdentifier("dbPositionTitle_" + language));
  const std::string name_field(CheckIdentifier("dbFullName_" + language));
  const Variant rows = SharedAspProc().dbGetTable(
      "qvAuthUser", "dbeMail,dbPassword," + title_field + "," + name_field + ",dbUserID",
      "where dbUserID=" + SqlText(strUserID) +
          " and (dbExpiredDate>Now() or dbExpiredDate=null) and dbPasswordType>=0");
  if (!rows.IsArray()) return "False";
  const Array& row = *rows.AsArray();
  const Variant& address = row.at(0, 0);
  // No address, or one of blanks only: nothing to send to.
  if (address.IsNull() || Trim(ToStr(address)).empty()) return "False";
  const std::string email = ToStr(address);
  const std::string stored_id = NullToStr(row.at(4, 0));

  if (!SharedPasswordMailLimit().Admit(stored_id, TheRequest().ServerVariables("REMOTE_ADDR"))) {
    SharedAspProc().dbLog(kLogPasswordMailLimited);
    return "False";
  }

  Variant object;
  try {
    object = TheServer().CreateObject("CDONTS.NewMail");
  } catch (const std::exception& e) {
    TheServer().LogError(std::string("Password mail: ") + e.what());
    return "Error";
  }
  const auto mail = object.ObjectAs<MailMessage>();
  if (!mail) {
    TheServer().LogError("Password mail: CDONTS.NewMail is not a mail object");
    return "Error";
  }
  try {
    mail->SetFrom(Kept().FromEmail);
    mail->SetTo(email);
    mail->SetSubject(GetMsg("msgeMailSubject", 1));
    mail->SetBody(FillTemplate(GetMsg("msgeMailPasswordBody", 1),
                               {{"<qvTm.dbPositionTitle>", NullToStr(row.at(2, 0))},
                                {"<qvTm.dbFullName>", NullToStr(row.at(3, 0))},
                                {"<qvTm.dbPassword>", DecodePassword(NullToStr(row.at(1, 0)))},
                                {"<qvTm.dbUserID>", strUserID}}));
    mail->Send();
  } catch (const std::exception& e) {
    TheServer().LogError("Password mail for user " + ForLog(stored_id) + ": " + e.what());
    return "Error";
  }
  return email;
}

}  // namespace qv
