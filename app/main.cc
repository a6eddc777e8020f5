// The qvtome command: version, init-db, serve.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "app/app_config.h"

namespace {

constexpr const char* kVersion = "1.10";

int InitDb(const std::string& data_dir, const std::string& config_file, bool force) {
  qv::app::LoadStartupConfig(data_dir, config_file);
  auto [path, created] = qv::app::InitDefaultDatabase(force);
  if (created) {
    std::cout << "Created database " << path << "\n";
    return 0;
  }
  std::cerr << "Database " << path << " exists; use --force to replace it\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"qvTome, a web-based education system"};
  app.require_subcommand(1);

  app.add_subcommand("version", "Print the version")->callback([] {
    std::cout << "qvTome " << kVersion << "\n";
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
