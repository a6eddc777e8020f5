// Translation of .lp page scripts into Lua source.
//
// An .lp file is HTML with embedded Lua: "<% code %>" is copied as it is,
// "<%= expression %>" writes the value of the expression, and every other
// byte is literal text written unchanged (CR LF included). The result is
// Lua source that writes through the global Response.Write in the order of
// the file. Line breaks are kept one for one, so a line number in a Lua
// error names the same line of the .lp file.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace qv::script {

// An .lp file whose "<%" has no matching "%>". The message names the line.
class LpSyntaxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string TranslateLp(std::string_view lp_source);

}  // namespace qv::script
