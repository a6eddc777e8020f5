// A fresh folder under the system's temporary directory, removed with the
// object, and helpers to write and read whole files in it.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace qv::testing {

class TempFolder {
 public:
  TempFolder() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("qvtome-files-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing "/".
  std::string Dir() const { return path_.string() + "/"; }
  std::string operator/(const std::string& name) const { return Dir() + name; }

  void Put(const std::string& name, const std::string& content) const {
    std::ofstream(path_ / name, std::ios::binary) << content;
  }
  std::string Get(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool Has(const std::string& name) const { return std::filesystem::exists(path_ / name); }
  // The number of entries (files and folders) directly inside, or inside `sub`.
  size_t Entries(const std::string& sub = "") const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(path_ / sub)) ++n;
    return n;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace qv::testing
