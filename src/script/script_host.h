// ScriptHost: runs page scripts written in Lua 5.4.
//
// A "*.lp" file is HTML with "<% lua %>" blocks and "<%= expression %>"
// output (script/lp_translate.h); any other file is plain Lua. Scripts are
// compiled once per worker thread and compiled again when the file's time
// or size changes. Each run gets a fresh global environment, so nothing a
// script sets survives into the next request; the globals are the safe part
// of the standard library (no io, debug, dofile, loadfile, os.execute or
// binary chunks), the host objects Request, Response, Session and Server of
// the current thread's host context (host/host_objects.h) and the qvTome
// table that creates the component's objects.
//
// Pages share code through modules: require(name) runs the file
// lib/<name>.lua of the site folder (the folder the page's virtual path
// starts from) once per run, in the page's own environment, and returns its
// result; a second require in the same run returns that result again.
// Modules are compiled and cached like pages. A name holds letters, digits
// and "_" only, and a module file (links followed) lies in lib/ itself;
// anything else is an error of the script.
//
// Run is called on the worker thread that holds the request's host context.
// Response.End and Response.Redirect unwind the script and reach the caller
// as ResponseEnded; every other failure (a syntax error, a Lua error, an
// error of the component) is a ScriptError. The thread's Lua state is left
// clean either way.
//
// A run has a time budget and a memory cap (Options): Lua code still
// running when the time is up, counted from the start of the run, or
// growing the state by more than the cap, is stopped with a ScriptError
// whose message says which limit it reached. A call into the component
// runs to its end; the script stops at its next Lua instructions. The
// script cannot catch the stop.
#pragma once

#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace qv {

// A page script failed. message() is "script:line: what happened";
// traceback() the Lua stack. what() adds the traceback in debug mode.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(std::string message, std::string traceback, bool with_traceback);
  const std::string& message() const { return message_; }
  const std::string& traceback() const { return traceback_; }

 private:
  std::string message_;
  std::string traceback_;
};

struct ScriptHostOptions {
  // ScriptError::what() carries the Lua traceback too.
  bool debug = false;
  // Time budget of a run (0: none).
  std::chrono::milliseconds time_limit{5000};
  // Bytes a run may add to its thread's Lua state (0: no cap).
  size_t memory_limit = size_t{64} << 20;
};

class ScriptHost {
 public:
  using Options = ScriptHostOptions;
  explicit ScriptHost(Options options = {}) : options_(options) {}

  // Runs the script file at physical_path; virtual_path ("/x.lp") names it
  // in error messages. Throws ResponseEnded, ScriptError, or HostError when
  // no request runs on this thread.
  void Run(const std::string& physical_path, const std::string& virtual_path) const;

 private:
  Options options_;
};

}  // namespace qv
