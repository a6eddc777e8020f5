#include "host/messages.h"

#include "core/convert.h"
#include "data/aspproc.h"
#include "host/shared_state.h"

namespace qv {

namespace {

// The banner with every character code lowered by one.
constexpr char kStoredBanner[] =
    ";lds`\037m`ld<\041fdmdq`snq\041\037bnmsdms<\041puSnld\037dctb`shnm\037rxrsdl";

// Full key of a lookup: lower case, with the suffix the language asks for.
std::string LookupKey(const std::string& name, int language) {
  const SharedState& s = State();
  std::string key = ToLower(name);
  if (language == 1) return key + "_" + s.FirstLanguage;
  if (language == 2) {
    return key + "_" + (s.strOtherLanguage.empty() ? s.SecondLanguage : s.FirstLanguage);
  }
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

// Step 3 of the start-up: every row of objRS as two cache columns.
void LoadCache() {
  SharedState& s = State();
  Recordset& rs = *s.objRS;
  while (!rs.EOF_()) {
    const std::string name = NullToStr(rs.Value("dbName"));
    const std::string text_e =
        ReplaceAll(NullToStr(rs.Value("dbMsg_e")), "qvTmIPath/", s.vImageDir);
    const std::string text_n =
        ReplaceAll(NullToStr(rs.Value("dbMsg_n")), "qvTmIPath/", s.vImageDir);
    SetMsg(name + "_e", text_e, false);
    SetMsg(name + "_n", text_n, false);
    rs.MoveNext();
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

std::string BannerLine() { return RestoredBanner() + " v1.10" + "\">"; }

void RunStartup(const std::string& system_msg_table) {
  SharedState& s = State();
  ResponseWrite("\r\n");
  ResponseWrite(RestoredBanner());
  ResponseWrite(" v1.10");
  ResponseWrite("\">");
  ResponseWrite("\r\n");
  try {
    s.objAspProc->dbOpen("qvSystemMsg" + system_msg_table, "*", " order by dbOrder,id");
    LoadCache();
  } catch (const DatabaseError&) {
    // An unreadable table leaves the cache empty; the check below reports it.
  }
  CheckVersion();
  ResponseWrite(s.MaintenanceMsg);
}

std::string GetMsg(const std::string& name, int language) {
  const SharedState& s = State();
  const std::string key = LookupKey(name, language);
  if (!s.arySystemMsg.HasArray()) return "";
  if (std::optional<std::string> text = s.arySystemMsg.Find(key)) {
    if (language == 2 && !s.strOtherLanguage.empty()) *text += "(2)";
    return *text;
  }
  InsertPlaceholder(key);
  return key;
}

void SetMsg(const std::string& name, const std::string& text, bool is_update) {
  MessageCache& cache = State().arySystemMsg;
  if (is_update) {
    cache.Update(ToLower(name), text);
  } else {
    cache.Append(ToLower(name), text);
  }
}

void ReportError(const std::string& key, bool show) {
  SharedState& s = State();
  s.strErrorMsg = s.strErrorMsg.empty() ? key : s.strErrorMsg + ", " + key;
  if (show && s.blnShowError) ResponseWrite(GetMsg(key, 1));
}

}  // namespace qv
