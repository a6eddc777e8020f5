#include "data/recordset.h"

#include <algorithm>

#include "core/convert.h"
#include "host/host_objects.h"

namespace qv {
namespace {

// A field name's length and first seven bytes, ASCII letters lower-cased:
// names that differ here differ however they are spelt.
uint64_t NameKey(std::string_view name) {
  uint64_t key = std::min<size_t>(name.size(), 255);
  for (size_t i = 0; i < name.size() && i < 7; ++i) {
    key = key << 8 | static_cast<uint8_t>(LowerAscii(name[i]));
  }
  return key;
}

}  // namespace

bool RegisterAdoObjects() {
  RegisterObjectCreator("adodb.connection", [] {
    std::shared_ptr<Connection> conn = NewConnection();
    return Variant(std::static_pointer_cast<Object>(conn));
  });
  RegisterObjectCreator("adodb.recordset", [] {
    return Variant(std::static_pointer_cast<Object>(std::make_shared<Recordset>()));
  });
  return true;
}

void Recordset::Open(const std::string& sql, std::shared_ptr<Connection> conn, int cursor_type,
                     int lock_type) {
  if (!conn || !conn->IsOpen()) throw DatabaseError("Record set opened on a closed connection");
  bool updatable = cursor_type == adOpenKeyset && lock_type == adLockBatchOptimistic;
  QueryResult result = conn->Query(sql, updatable);
  Attach(std::move(result));
  updatable_ = updatable;
  conn_ = std::move(conn);
  // Only an updatable set records its changes.
  if (updatable) {
    dirty_.assign(result_.rows.size(), std::vector<bool>(result_.fields.size(), false));
    added_.assign(result_.rows.size(), false);
  }
}

void Recordset::Attach(QueryResult result) {
  result_ = std::move(result);
  field_keys_.clear();
  open_ = true;
  updatable_ = false;
  conn_.reset();
  pos_ = 0;
  dirty_.clear();
  added_.clear();
}

void Recordset::Close() {
  RequireOpen();
  open_ = false;
  updatable_ = false;
  result_ = QueryResult{};
  field_keys_.clear();
  conn_.reset();
  dirty_.clear();
  added_.clear();
  pos_ = 0;
}

void Recordset::RequireOpen() const {
  if (!open_) throw DatabaseError("Operation is not allowed when the object is closed");
}

void Recordset::RequireRow() const {
  RequireOpen();
  if (pos_ < 0 || pos_ >= static_cast<int64_t>(result_.rows.size())) {
    throw DatabaseError("Either BOF or EOF is True, or the current record has been deleted");
  }
}

void Recordset::RequireUpdatable() const {
  RequireOpen();
  if (!updatable_) throw DatabaseError("The record set does not support updating");
}

bool Recordset::EOF_() const {
  RequireOpen();
  return result_.rows.empty() || pos_ >= static_cast<int64_t>(result_.rows.size());
}

bool Recordset::BOF() const {
  RequireOpen();
  return result_.rows.empty() || pos_ < 0;
}

void Recordset::MoveFirst() {
  RequireOpen();
  pos_ = 0;
}

void Recordset::MoveNext() {
  if (EOF_())
    throw DatabaseError("Either BOF or EOF is True, or the current record has been deleted");
  ++pos_;
}

void Recordset::MovePrevious() {
  if (BOF())
    throw DatabaseError("Either BOF or EOF is True, or the current record has been deleted");
  --pos_;
}

void Recordset::MoveLast() {
  RequireOpen();
  pos_ = result_.rows.empty() ? 0 : static_cast<int64_t>(result_.rows.size()) - 1;
}

// Pages read fields by name many times per row: the keys of the names,
// made at the first look-up, spare most of the comparisons.
int Recordset::FieldIndex(const std::string& name) const {
  const std::vector<FieldInfo>& fields = result_.fields;
  if (field_keys_.size() != fields.size()) {
    field_keys_.clear();
    field_keys_.reserve(fields.size());
    for (const FieldInfo& field : fields) field_keys_.push_back(NameKey(field.name));
  }
  const uint64_t key = NameKey(name);
  for (size_t i = 0; i < fields.size(); ++i) {
    if (field_keys_[i] == key && EqualsNoCase(fields[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

const Variant& Recordset::Value(const std::string& name) const {
  RequireOpen();
  int i = FieldIndex(name);
  if (i < 0) throw DatabaseError("Item cannot be found in the collection: field \"" + name + "\"");
  RequireRow();
  return result_.rows[static_cast<size_t>(pos_)][static_cast<size_t>(i)];
}

const Variant& Recordset::ValueAt(size_t i) const {
  RequireRow();
  if (i >= result_.fields.size()) throw DatabaseError("Field index out of range");
  return result_.rows[static_cast<size_t>(pos_)][i];
}

void Recordset::SetValue(const std::string& name, Variant value) {
  RequireUpdatable();
  int i = FieldIndex(name);
  if (i < 0) throw DatabaseError("Item cannot be found in the collection: field \"" + name + "\"");
  RequireRow();
  auto row = static_cast<size_t>(pos_);
  result_.rows[row][static_cast<size_t>(i)] = std::move(value);
  dirty_[row][static_cast<size_t>(i)] = true;
}

Field Recordset::FieldAt(size_t i) const {
  RequireOpen();
  if (i >= result_.fields.size()) throw DatabaseError("Field index out of range");
  const FieldInfo& info = result_.fields[i];
  Field f{info.name, Variant(), info.type, info.defined_size};
  if (pos_ >= 0 && pos_ < static_cast<int64_t>(result_.rows.size())) {
    f.Value = result_.rows[static_cast<size_t>(pos_)][i];
  }
  return f;
}

void Recordset::AddNew() {
  RequireUpdatable();
  result_.rows.emplace_back(result_.fields.size(), Variant(Null));
  result_.key_ids.push_back(0);
  dirty_.emplace_back(result_.fields.size(), false);
  added_.push_back(true);
  pos_ = static_cast<int64_t>(result_.rows.size()) - 1;
}

void Recordset::UpdateBatch() {
  RequireUpdatable();
  std::vector<RowWrite> writes;
  std::vector<size_t> inserted_rows;
  for (size_t r = 0; r < result_.rows.size(); ++r) {
    RowWrite w;
    for (size_t f = 0; f < result_.fields.size(); ++f) {
      if (dirty_[r][f]) w.values.emplace_back(result_.fields[f].name, result_.rows[r][f]);
    }
    if (!added_[r] && w.values.empty()) continue;
    if (added_[r]) {
      inserted_rows.push_back(r);
    } else {
      w.id = result_.key_ids[r];
    }
    writes.push_back(std::move(w));
  }
  if (writes.empty()) return;
  std::vector<int64_t> ids = conn_->WriteRows(result_.table, writes);
  int id_field = FieldIndex("ID");
  for (size_t k = 0; k < inserted_rows.size() && k < ids.size(); ++k) {
    size_t r = inserted_rows[k];
    result_.key_ids[r] = ids[k];
    if (id_field >= 0) result_.rows[r][static_cast<size_t>(id_field)] = Variant(ids[k]);
    added_[r] = false;
  }
  for (auto& row : dirty_) row.assign(row.size(), false);
}

std::shared_ptr<Array> Recordset::GetRows() {
  if (EOF_())
    throw DatabaseError("Either BOF or EOF is True, or the current record has been deleted");
  size_t first = static_cast<size_t>(pos_ < 0 ? 0 : pos_);
  size_t count = result_.rows.size() - first;
  auto a = MakeArray2D(result_.fields.size(), count);
  for (size_t r = 0; r < count; ++r) {
    for (size_t f = 0; f < result_.fields.size(); ++f) a->at(f, r) = result_.rows[first + r][f];
  }
  pos_ = static_cast<int64_t>(result_.rows.size());
  return a;
}

}  // namespace qv
