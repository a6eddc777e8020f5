// The mail object's two transports and its registration.
#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <mutex>
#include <stdexcept>

#include <toml++/toml.h>

#include "core/convert.h"
#include "core/toml_keys.h"
#include "host/host_objects.h"
#include "host/mail_message.h"
#include "mail/mail.h"
#include "mail/message.h"

namespace qv::mail {
namespace {

namespace fs = std::filesystem;

std::mutex config_mutex;
std::shared_ptr<const MailConfig> current_config;

std::shared_ptr<const MailConfig> CurrentConfig() {
  std::lock_guard lock(config_mutex);
  return current_config;
}

ComposedMessage Compose(const MailMessage& m, const MailConfig& config) {
  const std::string from = m.From().empty() ? config.from : m.From();
  if (from.empty()) throw HostError("Mail: no sender (From) given");
  return ComposeMessage(from, m.To(), m.Subject(), m.Body(), std::time(nullptr));
}

[[noreturn]] void FileError(const std::string& what, const fs::path& path) {
  throw HostError("Mail: cannot " + what + " " + path.string() + ": " + std::strerror(errno));
}

// Writes each message into the pickup folder: into <outbox>/.tmp first,
// readable by the owner only (it may hold a password), synced, then renamed
// into the folder.
class PickupMail : public MailMessage {
 public:
  explicit PickupMail(std::shared_ptr<const MailConfig> config) : config_(std::move(config)) {}

  // Makes the folders; HostError when they cannot be made or written.
  static void PrepareOutbox(const MailConfig& config) {
    const fs::path staging = fs::path(config.outbox) / ".tmp";
    std::error_code error;
    fs::create_directories(staging, error);
    if (error || ::access(staging.c_str(), W_OK) != 0 ||
        ::access(config.outbox.c_str(), W_OK) != 0) {
      throw HostError("Mail: the outbox " + config.outbox + " cannot be written" +
                      (error ? ": " + error.message() : ""));
    }
  }

 protected:
  void Deliver() override {
    const ComposedMessage message = Compose(*this, *config_);
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &tm);
    // The random part of the Message-ID names the file.
    const std::string id = message.message_id.substr(1, message.message_id.find('@') - 1);
    const std::string name = std::string(stamp) + "-" + id + ".eml";
    const fs::path staged = fs::path(config_->outbox) / ".tmp" / name;
    const fs::path final_path = fs::path(config_->outbox) / name;

    const int fd = ::open(staged.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) FileError("create", staged);
    const std::string& text = message.text;
    size_t written = 0;
    while (written < text.size()) {
      const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        const int saved = errno;
        ::close(fd);
        ::unlink(staged.c_str());
        errno = saved;
        FileError("write", staged);
      }
      written += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
      ::unlink(staged.c_str());
      FileError("write", staged);
    }
    if (::rename(staged.c_str(), final_path.c_str()) != 0) {
      ::unlink(staged.c_str());
      FileError("move the message to", final_path);
    }
  }

 private:
  std::shared_ptr<const MailConfig> config_;
};

struct CurlUrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Sends each message through the SMTP server of smtp_url.
class SmtpMail : public MailMessage {
 public:
  explicit SmtpMail(std::shared_ptr<const MailConfig> config) : config_(std::move(config)) {}

  // HostError unless url is an smtp:// or smtps:// address with a host.
  static void CheckUrl(const std::string& url) {
    std::unique_ptr<CURLU, CurlUrlDeleter> parsed(curl_url());
    char* scheme = nullptr;
    char* host = nullptr;
    bool ok = parsed && curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
              curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
              curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK;
    if (ok) {
      const std::string s = ToLower(scheme);
      ok = (s == "smtp" || s == "smtps") && host[0] != '\0';
    }
    curl_free(scheme);
    curl_free(host);
    if (!ok) {
      MailConfig named;
      named.smtp_url = url;
      throw HostError("Mail: " + TransportName(named) + " is no smtp:// or smtps:// address");
    }
  }

 protected:
  void Deliver() override {
    const ComposedMessage message = Compose(*this, *config_);
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) throw HostError("Mail: libcurl could not start");
    std::unique_ptr<curl_slist, SlistDeleter> recipients;
    for (const std::string& r : message.recipients) {
      curl_slist* list = curl_slist_append(recipients.get(), ("<" + r + ">").c_str());
      if (list == nullptr) throw HostError("Mail: out of memory");
      recipients.release();
      recipients.reset(list);
    }
    Upload upload{message.text, 0};
    char error[CURL_ERROR_SIZE] = "";
    CURL* c = curl.get();
    const std::string from = "<" + message.sender + ">";
    curl_easy_setopt(c, CURLOPT_URL, config_->smtp_url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(c, CURLOPT_USE_SSL,
                     static_cast<long>(config_->require_tls ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (!config_->user.empty()) {
      curl_easy_setopt(c, CURLOPT_USERNAME, config_->user.c_str());
      curl_easy_setopt(c, CURLOPT_PASSWORD, config_->password.c_str());
    }
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &Upload::Read);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(config_->connect_timeout.count() * 1000));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(config_->timeout.count() * 1000));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    const CURLcode result = curl_easy_perform(c);
    if (result != CURLE_OK) {
      throw HostError("Mail: sending through " + TransportName(*config_) + " failed: " +
                      (error[0] != '\0' ? std::string(error) : curl_easy_strerror(result)));
    }
  }

 private:
  struct Upload {
    const std::string& text;
    size_t sent;
    static size_t Read(char* buffer, size_t size, size_t count, void* data) {
      auto* self = static_cast<Upload*>(data);
      const size_t n = std::min(size * count, self->text.size() - self->sent);
      std::memcpy(buffer, self->text.data() + self->sent, n);
      self->sent += n;
      return n;
    }
  };

  std::shared_ptr<const MailConfig> config_;
};

Variant CreateMail() {
  std::shared_ptr<const MailConfig> config = CurrentConfig();
  if (!config) throw HostError("Mail: no mail transport is configured");
  if (!config->smtp_url.empty()) {
    SmtpMail::CheckUrl(config->smtp_url);
    return Variant(std::static_pointer_cast<Object>(std::make_shared<SmtpMail>(config)));
  }
  PickupMail::PrepareOutbox(*config);
  return Variant(std::static_pointer_cast<Object>(std::make_shared<PickupMail>(config)));
}

}  // namespace

MailConfig LoadMailConfig(const toml::table* root, const std::string& data_dir) {
  MailConfig c;
  std::string outbox = "mail/outbox";
  const toml::table* t = root ? root->get_as<toml::table>("mail") : nullptr;
  if (t) {
    const TomlKeys keys(*t, "mail");
    keys.String("smtp_url", c.smtp_url);
    keys.String("user", c.user);
    keys.String("password", c.password);
    keys.String("from", c.from);
    keys.String("outbox", outbox);
    keys.Bool("require_tls", c.require_tls);
    c.connect_timeout =
        std::chrono::seconds(keys.Integer("connect_timeout", c.connect_timeout.count(), 1, 600));
    c.timeout = std::chrono::seconds(keys.Integer("timeout", c.timeout.count(), 1, 3600));
    c.password_mails_per_hour = static_cast<int>(
        keys.Integer("password_mails_per_hour", c.password_mails_per_hour, 1, 10000));
  }
  c.outbox = (fs::path(data_dir) / outbox).lexically_normal().string();
  return c;
}

std::string TransportName(const MailConfig& config) {
  if (config.smtp_url.empty()) return "the pickup folder " + config.outbox;
  std::string url = config.smtp_url;
  const size_t scheme = url.find("://");
  const size_t at = url.find('@', scheme == std::string::npos ? 0 : scheme + 3);
  const size_t slash = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  if (at != std::string::npos && at < slash) {
    url.erase(scheme == std::string::npos ? 0 : scheme + 3,
              at + 1 - (scheme == std::string::npos ? 0 : scheme + 3));
  }
  return "SMTP " + url;
}

void ConfigureMail(const MailConfig& config) {
  static std::once_flag once;
  std::call_once(once, [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    RegisterObjectCreator("cdonts.newmail", &CreateMail);
  });
  auto copy = std::make_shared<const MailConfig>(config);
  std::lock_guard lock(config_mutex);
  current_config = std::move(copy);
}

}  // namespace qv::mail
