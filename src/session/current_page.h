// The page of the current request, as one value.
//
// ID is the page asked for; once the book module has read the page's row it
// replaces the whole record, so the id and the fields always come from the
// same row (a page that fails to load leaves the earlier row's fields). The
// book module writes it; SysVar.ID and the activity log read the id.
#pragma once

#include <cstdint>
#include <string>

#include "core/variant.h"
#include "host/context.h"

namespace qv {

struct PageRecord {
  Variant ID = "0";
  int32_t lngPageParentID = 0;  // dbPID
  int16_t intPageChildren = 0;  // dbCID
  int16_t intPageLevel = 0;
  int32_t lBookID = 0;
  int16_t intPageOrder = 0;
  int16_t intPageType = 0;
  std::string strPageOwnerID;
  int16_t intPageGroup = 0;  // the page's dbGroup, then its book's
};

// The current page part of the request's state (host/context.h).
inline PageRecord& ThePage() { return RequestPart<PageRecord>(); }

}  // namespace qv
