// The book module's part of the request's state (host/context.h): the page
// as first opened, the registry row of its book, and what the display has
// shown or decided so far. Only the book module writes it; several Book
// objects of one request share it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/variant.h"
#include "host/context.h"

namespace qv {

struct BookState {
  std::string strDefaultID;
  int32_t lngOpenParentID = 0, lngOpenID = 0;  // the page OpenPage loaded
  std::string strBookOwnerID, strBookCode;
  Variant varBookTitle, varBookDescription, varBookRemark;
  bool blnShowContents = true;
  bool blnShowBody = true;
  // A save was refused because the page changed since its form was shown:
  // objRS holds the posted values and ShowPage shows the form again.
  bool blnShowFormAgain = false;
  bool blnPageDeleted = false;
  bool blnConfirmScriptShown = false;
  std::string strPendingMsg;
  std::string strNewTitle;
  // The current page's titles in the first and second language, for the
  // "RE: " title of a reply and the title of a joined discussion.
  std::string CurrentPageTitle, CurrentPageTitle2;
  std::string strHelpCode;                  // of the current page and action
  std::vector<int64_t> aryGlossaryLinkIDs;  // glossary links of the page, by listglossary
  std::string strEditUserID;                // the user EditUser shows or saves; "-1" a new one
};

inline BookState& CurrentBook() { return RequestPart<BookState>(); }

}  // namespace qv
