#include "http/database_session_store.h"

#include <charconv>
#include <exception>
#include <memory>
#include <utility>

#include "core/convert.h"
#include "core/sql_literal.h"
#include "data/connection.h"

namespace qv::http {
namespace {

// dbKind of qvSessionValue. Stored data: never renumber.
enum StoredKind : int {
  kEmpty = 0,
  kNull = 1,
  kBoolean = 2,
  kInteger = 3,
  kDouble = 4,
  kDate = 5,
  kString = 6,
};

// The shortest text that reads back as exactly d.
std::string ExactDouble(double d) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  return ec == std::errc() ? std::string(buffer, end) : FormatDouble(d);
}

std::optional<double> ReadDouble(const std::string& text) {
  double d = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), d);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return d;
}

std::pair<int, Variant> Encode(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return {kEmpty, Null};
    case Variant::Kind::Null:
      return {kNull, Null};
    case Variant::Kind::Boolean:
      return {kBoolean, Variant(std::string(v.AsBoolean() ? "1" : "0"))};
    case Variant::Kind::Integer:
      return {kInteger, Variant(std::to_string(v.AsInteger()))};
    case Variant::Kind::Double:
      return {kDouble, Variant(ExactDouble(v.AsDouble()))};
    case Variant::Kind::Date:
      return {kDate, Variant(ExactDouble(v.AsDate().serial))};
    default:
      return {kString, Variant(ToStr(v))};
  }
}

Variant Decode(int64_t kind, const Variant& stored) {
  const std::string text = NullToStr(stored);
  switch (kind) {
    case kEmpty:
      return Variant();
    case kNull:
      return Variant(Null);
    case kBoolean:
      return Variant(text == "1");
    case kInteger: {
      int64_t i = 0;
      auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), i);
      if (ec == std::errc() && end == text.data() + text.size()) return Variant(i);
      break;
    }
    case kDouble:
      if (auto d = ReadDouble(text)) return Variant(*d);
      break;
    case kDate:
      if (auto d = ReadDouble(text)) return Variant(Date{*d});
      break;
    default:
      break;
  }
  return Variant(text);
}

// The thread's pooled connection to the data source, for one call. A
// transaction left open by a failure is rolled back when it goes.
class Store {
 public:
  explicit Store(const std::string& dsn) : conn_(NewConnection()) { conn_->Open(dsn, "", ""); }

  QueryResult Query(const std::string& sql) { return conn_->Query(sql); }
  void Insert(const std::string& table, const std::vector<RowWrite>& rows) {
    if (!rows.empty()) conn_->WriteRows(table, rows);
  }
  void Begin() { conn_->BeginTransaction(); }
  void Commit() { conn_->Commit(); }

 private:
  std::unique_ptr<Connection> conn_;
};

std::string Where(const std::string& id) { return " WHERE dbSessionID = " + SqlText(id); }

}  // namespace

DatabaseSessionStore::DatabaseSessionStore(std::string dsn, Clock clock)
    : dsn_(std::move(dsn)), clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return std::chrono::system_clock::now(); };
}

int64_t DatabaseSessionStore::NowSeconds() const {
  return std::chrono::duration_cast<std::chrono::seconds>(clock_().time_since_epoch()).count();
}

bool DatabaseSessionStore::Keeps(const Variant& value) const {
  return !value.IsArray() && !value.IsObject();
}

std::optional<SessionRecord> DatabaseSessionStore::Load(const std::string& id) {
  const std::string now = std::to_string(NowSeconds());
  const std::string live = Where(id) + " AND dbExpires > " + now;
  Store store(dsn_);
  store.Begin();
  store.Query("UPDATE qvSession SET dbExpires = " + now + " + dbTimeout * 60" + live);
  QueryResult session = store.Query("SELECT dbTimeout FROM qvSession" + live);
  if (session.rows.empty()) {
    store.Commit();
    return std::nullopt;
  }
  SessionRecord record;
  record.timeout_minutes = static_cast<int>(ToInteger(session.rows[0][0]));
  QueryResult values =
      store.Query("SELECT dbName, dbKind, dbValue FROM qvSessionValue" + Where(id));
  store.Commit();
  for (const std::vector<Variant>& row : values.rows) {
    record.values[ToLower(NullToStr(row[0]))] = Decode(ToInteger(row[1]), row[2]);
  }
  return record;
}

void DatabaseSessionStore::Save(const std::string& id, const SessionUpdate& update) {
  const int64_t now_seconds = NowSeconds();
  const std::string now = std::to_string(now_seconds);
  const std::string live = Where(id) + " AND dbExpires > " + now;
  Store store(dsn_);
  store.Begin();
  // Locks the session's row until the commit, so that saves of one session
  // follow each other.
  std::string touch = "UPDATE qvSession SET ";
  if (update.timeout_minutes) {
    const std::string minutes = std::to_string(*update.timeout_minutes);
    touch += "dbTimeout = " + minutes + ", dbExpires = " + now + " + " + minutes + " * 60";
  } else {
    touch += "dbExpires = " + now + " + dbTimeout * 60";
  }
  store.Query(touch + live);
  if (store.Query("SELECT ID FROM qvSession" + live).rows.empty()) {
    // New, or expired meanwhile: starts empty.
    store.Query("DELETE FROM qvSessionValue" + Where(id));
    store.Query("DELETE FROM qvSession" + Where(id));
    const int minutes = update.timeout_minutes.value_or(kDefaultSessionMinutes);
    store.Insert("qvSession",
                 {{std::nullopt,
                   {{"dbSessionID", Variant(id)},
                    {"dbTimeout", Variant(int64_t{minutes})},
                    {"dbExpires", Variant(double(now_seconds + int64_t{minutes} * 60))}}}});
  }
  if (!update.changed.empty()) {
    std::string names;
    std::vector<RowWrite> rows;
    for (const auto& [name, value] : update.changed) {
      names += (names.empty() ? "" : ", ") + SqlText(name);
      auto [kind, text] = Encode(value);
      rows.push_back({std::nullopt,
                      {{"dbSessionID", Variant(id)},
                       {"dbName", Variant(name)},
                       {"dbKind", Variant(int64_t{kind})},
                       {"dbValue", std::move(text)}}});
    }
    store.Query("DELETE FROM qvSessionValue" + Where(id) + " AND dbName IN (" + names + ")");
    store.Insert("qvSessionValue", rows);
  }
  store.Commit();
}

bool DatabaseSessionStore::Rename(const std::string& from, const std::string& to) {
  const std::string now = std::to_string(NowSeconds());
  Store store(dsn_);
  store.Begin();
  store.Query("DELETE FROM qvSessionValue" + Where(to));
  store.Query("DELETE FROM qvSession" + Where(to));
  store.Query("UPDATE qvSession SET dbSessionID = " + SqlText(to) + ", dbExpires = " + now +
              " + dbTimeout * 60" + Where(from) + " AND dbExpires > " + now);
  if (store.Query("SELECT ID FROM qvSession" + Where(to)).rows.empty()) {
    store.Commit();
    return false;
  }
  store.Query("UPDATE qvSessionValue SET dbSessionID = " + SqlText(to) + Where(from));
  store.Commit();
  return true;
}

size_t DatabaseSessionStore::Sweep() {
  const std::string expired = " WHERE dbExpires <= " + std::to_string(NowSeconds());
  Store store(dsn_);
  store.Begin();
  const QueryResult count = store.Query("SELECT count(*) FROM qvSession" + expired);
  const int64_t dropped = count.rows.empty() ? 0 : ToInteger(count.rows[0][0]);
  if (dropped > 0) {
    store.Query(
        "DELETE FROM qvSessionValue WHERE dbSessionID IN (SELECT dbSessionID FROM qvSession" +
        expired + ")");
    store.Query("DELETE FROM qvSession" + expired);
  }
  store.Commit();
  return static_cast<size_t>(dropped);
}

}  // namespace qv::http
