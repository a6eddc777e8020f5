// The qvtome command: version, init-db, serve, hash-password, user, backup,
// copy-db.
#include <termios.h>
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/app_config.h"
#include "app/operator.h"
#include "book/password_mail.h"
#include "core/version.h"
#include "data/queued_writes.h"
#include "files/folder.h"
#include "http/database_session_store.h"
#include "http/http_server.h"
#include "http/password_hash.h"
#include "http/server_config.h"
#include "mail/mail.h"
#include "script/script_host.h"

namespace {

// Reports what became of the default database; true when it changed.
bool ReportDatabase(const qv::app::DefaultDatabase& db) {
  if (db.created) {
    std::cout << "Created database " << db.path << "\n";
  } else if (db.upgraded_from != db.version) {
    std::cout << "Upgraded database " << db.path << " from schema version " << db.upgraded_from
              << " to " << db.version << "\n";
  }
  return db.created || db.upgraded_from != db.version;
}

// The media folder of the default data source.
std::string MediaFolder(const std::string& data_dir) {
  return (std::filesystem::path(data_dir) / "media" / "qvtome").string();
}

int InitDb(const std::string& data_dir, const std::string& config_file, bool force) {
  const qv::app::StartupConfig startup = qv::app::LoadStartupConfig(data_dir, config_file);
  const qv::app::DefaultDatabase db =
      qv::app::InitDefaultDatabase(force, MediaFolder(startup.data_dir));
  if (ReportDatabase(db)) return 0;
  std::cerr << "Database " << db.path << " exists and is up to date; use --force to replace it\n";
  return 1;
}

struct ServeOptions {
  std::optional<int> port;
  std::optional<std::string> bind;
  std::optional<std::string> site;
  std::optional<int> threads;
};

// Site folder of the source tree, the default for serve.
std::string DefaultSiteDir() {
#ifdef QV_SOURCE_SITE_DIR
  return QV_SOURCE_SITE_DIR;
#else
  return "site";
#endif
}

// The session store [server] sessions names: null for the default (memory).
// A data source that cannot keep sessions stops the start-up here.
std::shared_ptr<qv::http::SessionStore> SessionStoreOf(const qv::http::ServerConfig& config) {
  if (config.sessions != "database") return nullptr;
  auto store = std::make_shared<qv::http::DatabaseSessionStore>(config.session_datasource);
  try {
    store->Sweep();
  } catch (const std::exception& e) {
    throw std::runtime_error("Sessions cannot be kept in data source " + config.session_datasource +
                             ": " + e.what());
  }
  return store;
}

int Serve(const std::string& data_dir, const std::string& config_file, const ServeOptions& o) {
  qv::app::StartupConfig startup = qv::app::LoadStartupConfig(data_dir, config_file);
  ReportDatabase(qv::app::InitDefaultDatabase(false, MediaFolder(startup.data_dir)));

  qv::http::ServerConfig config =
      qv::http::LoadServerConfig(startup.toml ? &*startup.toml : nullptr);
  config.data_dir = startup.data_dir;
  if (!startup.toml || !startup.toml->at_path("server.site_dir"))
    config.site_dir = DefaultSiteDir();
  if (o.site) config.site_dir = *o.site;
  if (o.port) config.port = static_cast<uint16_t>(*o.port);
  if (o.bind) config.address = *o.bind;
  if (o.threads) config.worker_threads = *o.threads;
  config.site_dir = std::filesystem::absolute(config.site_dir).lexically_normal().string();
  std::filesystem::create_directories(std::filesystem::path(config.data_dir) / "media" / "qvtome");
  const qv::mail::MailConfig mail =
      qv::mail::LoadMailConfig(startup.toml ? &*startup.toml : nullptr, config.data_dir);
  qv::mail::ConfigureMail(mail);
  qv::SharedPasswordMailLimit().Configure({.per_hour = mail.password_mails_per_hour});

  qv::SetAllowedPrograms(config.allowed_programs);

  qv::ScriptHost scripts({.debug = config.debug,
                          .time_limit = config.script_time_limit,
                          .memory_limit = config.script_memory_limit});
  qv::http::HttpServer server(
      config,
      [&scripts](const std::string& physical, const std::string& virtual_path) {
        scripts.Run(physical, virtual_path);
      },
      SessionStoreOf(config));
  server.Start();
  server.StopOnSignals();
  std::cout << "qvTome serving " << config.site_dir << " on http://" << config.address << ":"
            << server.port() << "/ (data in " << config.data_dir << ")" << std::endl;
  std::cout << "Mail goes through " << qv::mail::TransportName(mail) << std::endl;
  server.Wait();
  // The activity log rows still queued reach the database before exit.
  qv::StopQueuedWriters();
  std::cout << "qvTome stopped" << std::endl;
  return 0;
}

// The first line of standard input; from a terminal, asked for and read
// without echo.
std::string ReadPassword() {
  std::string password;
  if (!::isatty(STDIN_FILENO)) {
    std::getline(std::cin, password);
  } else {
    std::cerr << "Password: " << std::flush;
    termios saved{};
    ::tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    std::getline(std::cin, password);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::cerr << "\n";
  }
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return password;
}

// Prints a line for the Basic password file: "user:hash", or the hash alone
// without a user.
int HashPasswordLine(const std::string& user) {
  if (user.find(':') != std::string::npos) {
    std::cerr << "qvtome: a user name cannot hold ':'\n";
    return 1;
  }
  std::string hash = qv::http::HashPassword(ReadPassword());
  std::cout << (user.empty() ? hash : user + ":" + hash) << "\n";
  return 0;
}

// Where the operator's commands find the site: the data folder, the
// configuration and the data source, as init-db and serve take them.
struct SiteOptions {
  std::string data_dir = "data";
  std::string config_file;
  std::string dsn = "qvtome";

  void AddTo(CLI::App* command) {
    command->add_option("--data", data_dir, "Data folder")->capture_default_str();
    command->add_option("--config", config_file, "Configuration file (qvtome.toml)");
    command->add_option("--dsn", dsn, "Data source")->capture_default_str();
  }
  // Loads the configuration, then runs the command on the data source.
  template <class Command>
  int Run(Command command) const {
    qv::app::LoadStartupConfig(data_dir, config_file);
    return command(dsn, qv::app::OperatorStreams{std::cout, std::cerr});
  }
};

// The user commands: list, add ID, set-password ID, set-group ID GROUP. A
// password is read from standard input (or a prompt without echo), never
// taken from the command line.
void AddUserCommands(CLI::App& app, SiteOptions& site, std::string& id, std::string& group,
                     int& status) {
  auto* user = app.add_subcommand("user", "Manage user accounts");
  user->require_subcommand(1);
  auto* list = user->add_subcommand("list", "List the user accounts");
  site.AddTo(list);
  list->callback([&] { status = site.Run(qv::app::ListUserAccounts); });

  auto* add =
      user->add_subcommand("add", "Add an account; the password is read from standard input");
  site.AddTo(add);
  add->add_option("id", id, "User id")->required();
  add->callback([&] {
    const std::string password = ReadPassword();
    status = site.Run([&](const std::string& dsn, qv::app::OperatorStreams io) {
      return qv::app::AddUserAccount(dsn, id, password, io);
    });
  });

  auto* password =
      user->add_subcommand("set-password", "Set an account's password, read from standard input");
  site.AddTo(password);
  password->add_option("id", id, "User id")->required();
  password->callback([&] {
    const std::string text = ReadPassword();
    status = site.Run([&](const std::string& dsn, qv::app::OperatorStreams io) {
      return qv::app::SetUserPassword(dsn, id, text, io);
    });
  });

  auto* set_group =
      user->add_subcommand("set-group", "Set an account's main group (99: administrators)");
  site.AddTo(set_group);
  set_group->add_option("id", id, "User id")->required();
  set_group->add_option("group", group, "Group id")->required();
  set_group->callback([&] {
    status = site.Run([&](const std::string& dsn, qv::app::OperatorStreams io) {
      return qv::app::SetUserGroup(dsn, id, group, io);
    });
  });
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"qvTome, a web-based education system"};
  app.require_subcommand(1);

  app.add_subcommand("version", "Print the version")->callback([] {
    std::cout << "qvTome " << qv::kVersion << "\n";
  });

  std::string data_dir = "data";
  std::string config_file;
  bool force = false;
  int status = 0;
  auto* init = app.add_subcommand("init-db", "Create and seed the database when it is missing");
  init->add_option("--data", data_dir, "Data folder")->capture_default_str();
  init->add_option("--config", config_file, "Configuration file (qvtome.toml)");
  init->add_flag("--force", force, "Replace an existing database");
  init->callback([&] { status = InitDb(data_dir, config_file, force); });

  ServeOptions serve_options;
  std::string serve_data = "data";
  std::string serve_config;
  auto* serve = app.add_subcommand("serve", "Run the web server");
  serve->add_option("--data", serve_data, "Data folder")->capture_default_str();
  serve->add_option("--config", serve_config, "Configuration file (qvtome.toml)");
  serve->add_option("--port", serve_options.port, "Port (default 8080)")
      ->check(CLI::Range(0, 65535));
  serve->add_option("--bind", serve_options.bind, "Address to listen on (default 127.0.0.1)");
  serve->add_option("--site", serve_options.site, "Site folder (default: the bundled site)");
  serve->add_option("--threads", serve_options.threads, "Worker threads")
      ->check(CLI::Range(1, 256));
  serve->callback([&] { status = Serve(serve_data, serve_config, serve_options); });

  std::string hash_user;
  auto* hash = app.add_subcommand(
      "hash-password", "Read a password from standard input and print a password-file line");
  hash->add_option("user", hash_user, "User name to put before the hash");
  hash->callback([&] { status = HashPasswordLine(hash_user); });

  SiteOptions user_site;
  std::string user_id, user_group;
  AddUserCommands(app, user_site, user_id, user_group, status);

  SiteOptions backup_site;
  std::string backup_target;
  auto* backup = app.add_subcommand(
      "backup", "Copy an SQLite site database consistently, also while the server runs");
  backup_site.AddTo(backup);
  backup->add_option("--to", backup_target, "File to write (must not exist)")->required();
  backup->callback([&] {
    status = backup_site.Run([&](const std::string& dsn, qv::app::OperatorStreams io) {
      return qv::app::BackupSite(dsn, backup_target, io);
    });
  });

  SiteOptions copy_site;
  std::string copy_from, copy_to;
  bool copy_force = false;
  auto* copy = app.add_subcommand(
      "copy-db", "Copy every table of one data source into another (SQLite, PostgreSQL)");
  copy->add_option("--data", copy_site.data_dir, "Data folder")->capture_default_str();
  copy->add_option("--config", copy_site.config_file, "Configuration file (qvtome.toml)");
  copy->add_option("--from", copy_from, "Data source to copy")->required();
  copy->add_option("--to", copy_to, "Data source to write")->required();
  copy->add_flag("--force", copy_force, "Replace what the target holds");
  copy->callback([&] {
    status = copy_site.Run([&](const std::string&, qv::app::OperatorStreams io) {
      return qv::app::CopyDataSource(copy_from, copy_to, copy_force, io);
    });
  });

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const std::exception& e) {
    std::cerr << "qvtome: " << e.what() << "\n";
    return 1;
  }
  return status;
}
