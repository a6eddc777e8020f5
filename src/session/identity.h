// Identity: who the caller of the current request is.
//
// A login stores the user's id, groups and names in the session under keys
// that end in the site's AuthSiteID ("AuthUserID1", ...), so several sites
// on one server keep separate logins in one browser session. Every module
// asks the helpers below; none of them writes the session (the login,
// logout and the activity log do, session/login.cc and session/activity_log.cc).
//
// All functions work on the current request's state and need the host
// objects taken by SysVar.Init (HostError otherwise), except the pure text
// helpers ListHasMatch, EncodePassword and DecodePassword.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/variant.h"
#include "host/context.h"

namespace qv {

// The identity settings of the request (host/context.h): SysVar's
// properties for logins and for what anonymous callers may read. SysVar
// writes them.
struct IdentitySettings {
  std::string AuthSiteID = "1";  // ends every login key of the session
  bool LANLoginOnly = false;
  int16_t SessionTime = 180;  // minutes, set on the session at login
  int16_t AnonymousAccessLevel = 50;
};
inline IdentitySettings& Identity() { return RequestPart<IdentitySettings>(); }

// name & AuthSiteID: the session key of one login value.
std::string SessionKey(std::string_view name);

// Session "AuthUserID", or "anonymous" when that is "".
std::string CurrentUserID();
// Session "AuthMajorGroupID" ("" when not logged in).
std::string CurrentMajorGroupID();
// Session "AuthMinorGroupIDs": comma-separated group ids.
std::string CurrentMinorGroupIDs();

// Title & " " & full name of a user in the language of suffix ("" means
// FirstLanguage); a user not in qvAuthUser gives the message
// "msgAnonymousUserName_" & suffix. Database errors reach the caller.
std::string UserID2Name(const std::string& userID, const std::string& suffix);

// True when an item of the comma-separated list (each trimmed) occurs inside
// text, case-sensitively. False when either is Null or "" or none occurs.
bool ListHasMatch(const Variant& text, const Variant& list);

// Adds the digits of the fixed key to the character codes, position by
// position (the key repeats after 26 characters), so the result has as many
// characters as pword. UTF-8 text stays UTF-8 (a code may pass into the
// range above 0x7F and take more bytes); other text is shifted bytewise.
std::string EncodePassword(const std::string& pword);
// The inverse of EncodePassword.
std::string DecodePassword(const std::string& encoded);
// A password that may be stored: 1 to 26 characters (one key digit each, so
// the mail of a forgotten password can decode it), UTF-8, no control
// characters, and every encoded character a valid one, so that any engine
// stores and returns it unchanged.
inline constexpr size_t kMaxPasswordLength = 26;
bool PasswordStorable(const std::string& pword);

}  // namespace qv
