#include "session/messages.h"

#include <mutex>
#include <unordered_map>

#include "core/convert.h"
#include "core/sql_literal.h"
#include "core/version.h"
#include "data/aspproc.h"
#include "data/read_cache.h"
#include "data/settings.h"
#include "host/context.h"

namespace qv {

namespace {

// The banner with every character code lowered by one.
constexpr char kStoredBanner[] =
    ";lds`\037m`ld<\041fdmdq`snq\041\037bnmsdms<\041puSnld\037dctb`shnm\037rxrsdl";

// Full key of a lookup: lower case, with the suffix the language asks for.
std::string LookupKey(const std::string& name, int language) {
  const Settings& s = TheSettings();
  const std::string* suffix = nullptr;
  if (language == 1) suffix = &s.FirstLanguage;
  if (language == 2) suffix = s.strOtherLanguage.empty() ? &s.SecondLanguage : &s.FirstLanguage;
  std::string key;
  key.reserve(name.size() + (suffix ? suffix->size() + 1 : 0));
  for (const char c : name) key += LowerAscii(c);
  if (suffix) key.append("_").append(*suffix);
  return key;
}

// Adds a row for a missing key to the base message table so that the
// administrator finds it. Any database failure is dropped: a label lookup
// never fails a page.
void InsertPlaceholder(const std::string& key) {
  std::string name = key, text_e = key, text_n = key;
  const size_t n = key.size();
  if (n >= 2 && key[n - 2] == '_' && (key[n - 1] == 'e' || key[n - 1] == 'n')) {
    name = key.substr(0, n - 2);
    text_e = name + "_e";
    text_n = name + "_n";
  }
  try {
    std::shared_ptr<Connection> conn = OpenOwnConnection();
    Recordset rs;
    rs.Open("SELECT * FROM qvSystemMsg Where id=0", conn, adOpenKeyset, adLockBatchOptimistic);
    rs.AddNew();
    rs.SetValue("dbName", name);
    rs.SetValue("dbMsg_e", text_e);
    rs.SetValue("dbMsg_n", text_n);
    rs.UpdateBatch();
    rs.Close();
    conn->Close();
  } catch (const DatabaseError&) {
  }
}

// Step 3 of the start-up: every row of objRS as two columns.
std::shared_ptr<const MessageTable> ReadMessageTable() {
  const Settings& s = TheSettings();
  Recordset& rs = *Tables().objRS;
  auto table = std::make_shared<MessageTable>();
  const int name = rs.FieldIndex("dbName");
  const int text_e = rs.FieldIndex("dbMsg_e");
  const int text_n = rs.FieldIndex("dbMsg_n");
  if (name < 0 || text_e < 0 || text_n < 0) throw DatabaseError("The message table lacks fields");
  while (!rs.EOF_()) {
    const std::string key = ToLower(NullToStr(rs.ValueAt(static_cast<size_t>(name))));
    table->Append(key + "_e", ReplaceAll(NullToStr(rs.ValueAt(static_cast<size_t>(text_e))),
                                         "qvTmIPath/", s.vImageDir));
    table->Append(key + "_n", ReplaceAll(NullToStr(rs.ValueAt(static_cast<size_t>(text_n))),
                                         "qvTmIPath/", s.vImageDir));
    rs.MoveNext();
  }
  return table;
}

// Message tables read by earlier requests, shared by all threads. An entry
// is used only while the table's change counter (kept by triggers on every
// insert, update and delete, whoever the writer) still has the value it had
// when the entry was read, so the next Init sees every change.
struct SharedMessageTable {
  int64_t change_count = 0;
  std::shared_ptr<const MessageTable> table;
};
std::mutex shared_tables_mutex;
std::unordered_map<std::string, SharedMessageTable>& SharedTables() {
  static std::unordered_map<std::string, SharedMessageTable> tables;
  return tables;
}

// Opens the shared connection on the change counters and makes them the
// request's snapshot, which the read caches check too; returns the
// table's count. nullopt when the database keeps no counter for it (the
// table is then read anew every time). A data source that cannot be opened
// ends the response here, as in dbOpen.
std::optional<int64_t> ReadChangeCount(const std::string& table) {
  std::vector<std::pair<std::string, int64_t>> counts;
  try {
    SharedAspProc().dbOpen("qvChangeCounter", "dbTable, dbCount", "");
    for (Recordset& rs = *Tables().objRS; !rs.EOF_(); rs.MoveNext()) {
      if (!rs.ValueAt(1).IsNull()) {
        counts.emplace_back(NullToStr(rs.ValueAt(0)), ToInteger(rs.ValueAt(1)));
      }
    }
  } catch (const DatabaseError&) {
    counts.clear();
  }
  SetChangeCounts(counts);
  return ChangeCount(table);
}

// Fills the cache from the shared copy of the table when it is current,
// else from the table itself.
void LoadCache(const std::string& table) {
  MessageState& messages = Messages();
  const std::string cache_key = ToLower(TheSettings().DSNName) + '\x1f' + ToLower(table);
  const std::optional<int64_t> count = ReadChangeCount(table);
  if (count) {
    std::lock_guard lock(shared_tables_mutex);
    auto it = SharedTables().find(cache_key);
    if (it != SharedTables().end() && it->second.change_count == *count) {
      messages.arySystemMsg.Reset(it->second.table);
      return;
    }
  }
  SharedAspProc().dbOpen(table, "*", " order by dbOrder,id");
  std::shared_ptr<const MessageTable> read = ReadMessageTable();
  messages.arySystemMsg.Reset(read);
  if (count) {
    // The count was read before the rows: a change in between leaves a
    // stale count behind, which only makes the next Init read again.
    std::lock_guard lock(shared_tables_mutex);
    SharedTables()[cache_key] = {*count, std::move(read)};
  }
}

// Step 4: the database must carry version 1.1 or later.
void CheckVersion() {
  bool ok = false;
  try {
    const std::optional<double> version = ParseNumber(GetMsg("qvTome", 1));
    ok = version.has_value() && *version >= 1.1;
  } catch (const std::exception&) {
  }
  if (!ok) {
    try {
      ReportError("errorODBC", true);
    } catch (const std::exception&) {
    }
  }
}

}  // namespace

namespace {
// The stored banner restored by raising every character code by one.
std::string RestoredBanner() {
  std::string banner = kStoredBanner;
  for (char& c : banner) c = static_cast<char>(c + 1);
  return banner;
}
}  // namespace

std::string BannerLine() { return RestoredBanner() + " v" + kVersion + "\">"; }

void RunStartup(const std::string& system_msg_table) {
  KeptSettings& kept = Kept();
  ResponseWrite("\r\n");
  ResponseWrite(RestoredBanner());
  ResponseWrite(std::string(" v") + kVersion);
  ResponseWrite("\">");
  ResponseWrite("\r\n");
  try {
    LoadCache("qvSystemMsg" + system_msg_table);
  } catch (const DatabaseError&) {
    // An unreadable table leaves the cache empty; the check below reports it.
  }
  CheckVersion();
  ResponseWrite(kept.MaintenanceMsg);
}

std::string GetMsg(const std::string& name, int language) {
  const MessageState& messages = Messages();
  const Settings& s = TheSettings();
  const std::string key = LookupKey(name, language);
  if (!messages.arySystemMsg.HasArray()) return "";
  if (std::optional<std::string> text = messages.arySystemMsg.Find(key)) {
    if (language == 2 && !s.strOtherLanguage.empty()) *text += "(2)";
    return std::move(*text);
  }
  InsertPlaceholder(key);
  return key;
}

void SetMsg(const std::string& name, const std::string& text, bool is_update) {
  MessageCache& cache = Messages().arySystemMsg;
  if (is_update) {
    cache.Update(ToLower(name), text);
  } else {
    cache.Append(ToLower(name), text);
  }
}

void ReportError(const std::string& key, bool show) {
  MessageState& messages = Messages();
  messages.strErrorMsg = messages.strErrorMsg.empty() ? key : messages.strErrorMsg + ", " + key;
  if (show && messages.blnShowError) ResponseWrite(GetMsg(key, 1));
}

}  // namespace qv
