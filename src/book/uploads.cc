// The lookups over the upload table of this request, behind
// Book.RequestForm and Book.RequstUploaded.
#include "book/book.h"
#include "book/book_internal.h"
#include "core/convert.h"
#include "data/settings.h"
#include "files/upload.h"
#include "session/current_page.h"

namespace qv {
namespace {

// The upload table, or null before a parse stored one.
const Array* Table() {
  const Variant& table = TheUpload().UploadTable;
  if (!table.IsArray()) return nullptr;
  const Array& array = *table.AsArray();
  return array.Dimensions() == 2 && array.Size(1) == 5 && array.Size(2) > 0 ? &array : nullptr;
}

std::string Cell(const Array& table, size_t row, size_t column) {
  return NullToStr(table.at(row, column));
}

}  // namespace

namespace book {

Variant UploadFormValue(const std::string& varName) {
  const Array* table = Table();
  if (table == nullptr) return Variant(std::string());
  const std::string name = ToLower(varName);
  const std::string& separator = Kept().strSeparator;
  std::string listing;
  for (size_t column = 0; column < table->Size(2); ++column) {
    if (Cell(*table, 0, column) == name) {
      std::string value = Cell(*table, 1, column);
      return Variant(value.empty() ? Cell(*table, 2, column) : value);
    }
    if (name.empty()) {
      listing += separator + "&fieldname =" + Cell(*table, 0, column) + separator +
                 "&fieldvalue =" + Cell(*table, 1, column) + separator +
                 "&filename =" + Cell(*table, 2, column) + separator +
                 "&filesize =" + Cell(*table, 3, column);
    }
  }
  return Variant(listing);
}

Variant UploadedFileInfo(int16_t Index, const std::string& varName) {
  const std::string name = ToLower(varName);
  const Settings& s = TheSettings();
  const std::string book_id = std::to_string(ThePage().lBookID);
  if (name == "vpath") return Variant(s.vMediaDir + s.TableName + "/" + book_id + "/");
  if (name == "ppath") return Variant(s.pMediaDir + s.TableName + "/" + book_id + "/");
  const Array* table = Table();
  if (table == nullptr) return Variant(0);
  if (name.empty()) return table->at(4, 0);
  int64_t count = 0;
  for (size_t column = 0; column < table->Size(2); ++column) {
    const std::string file = Cell(*table, 2, column);
    if (!file.empty()) ++count;
    if (count != Index) continue;
    const size_t dot = file.rfind('.');
    if (name == "fullname") return Variant(file);
    if (name == "name") return Variant(dot == std::string::npos ? file : file.substr(0, dot));
    if (name == "extention") return Variant(dot == std::string::npos ? "" : file.substr(dot));
    if (name == "size") return table->at(3, column);
    return Variant(std::string());
  }
  return Variant(std::string());
}

}  // namespace book

Variant Book::RequestForm(const std::string& varName) { return book::UploadFormValue(varName); }

Variant Book::RequstUploaded(int16_t Index, const std::string& varName) {
  return book::UploadedFileInfo(Index, varName);
}

}  // namespace qv
