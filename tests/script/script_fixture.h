// A temporary site folder, an in-memory request and a script host: write a
// script, run it, read what the response recorded.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "host/memory_host.h"
#include "script/script_host.h"

namespace qv::testing {

class ScriptTest : public ::testing::Test {
 protected:
  ScriptTest() {
    static int counter = 0;
    site_ = std::filesystem::temp_directory_path() /
            ("qvtome-script-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(site_);
    host_ = std::make_unique<MemoryHost>(site_.string());
  }
  ~ScriptTest() override {
    host_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(site_, ignored);
  }

  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(site_ / name, std::ios::binary) << text;
    return (site_ / name).string();
  }

  // Runs the script text saved as name (a new file each time by default,
  // as two writes may share a file time); returns what the page wrote.
  // ResponseEnded and ScriptError reach the test.
  std::string Run(const std::string& text, std::string name = "") {
    static int scripts = 0;
    if (name.empty()) name = "page" + std::to_string(++scripts) + ".lua";
    host_->response.Clear();
    ScriptHost(ScriptHost::Options{}).Run(Write(name, text), "/" + name);
    return host_->response.Text();
  }

  // As Run, but a page that ends its response is fine too.
  std::string RunToEnd(const std::string& text, const std::string& name = "") {
    try {
      return Run(text, name);
    } catch (const ResponseEnded&) {
      return host_->response.Text();
    }
  }

  // The ScriptError message of a failing script ("" when it succeeds).
  std::string ErrorOf(const std::string& text, const std::string& name = "") {
    try {
      Run(text, name);
    } catch (const ScriptError& e) {
      return e.message();
    }
    return "";
  }

  std::filesystem::path site_;
  std::unique_ptr<MemoryHost> host_;
};

}  // namespace qv::testing
