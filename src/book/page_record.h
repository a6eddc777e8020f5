// Internal to page display (display.cc, markup.cc, library.cc): reading the
// fields of a page or holding row, and the shared AspProc.
#pragma once

#include <memory>
#include <string>

#include "core/convert.h"
#include "data/aspproc.h"
#include "data/recordset.h"
#include "data/shared_state.h"
#include "host/host_objects.h"

namespace qv::book {

// The field as text; Null, and a field the row's table lacks, read "".
inline std::string FieldText(const Recordset& record, const std::string& name) {
  if (record.FieldIndex(name) < 0) return "";
  return NullToStr(record.Value(name));
}

// State().objAspProc, which SysVar.Init creates.
inline AspProc& SharedAspProc() {
  const std::shared_ptr<AspProc>& asp_proc = State().objAspProc;
  if (!asp_proc) throw HostError("Book: SysVar.Init has not been called");
  return *asp_proc;
}

}  // namespace qv::book
