// Internal to page display (display.cc, markup.cc, library.cc): reading the
// fields of a page or holding row, and the shared AspProc (data/aspproc.h).
#pragma once

#include <string>

#include "core/convert.h"
#include "data/aspproc.h"
#include "data/recordset.h"

namespace qv::book {

// The field as text; Null, and a field the row's table lacks, read "".
inline std::string FieldText(const Recordset& record, const std::string& name) {
  if (record.FieldIndex(name) < 0) return "";
  return NullToStr(record.Value(name));
}

}  // namespace qv::book
