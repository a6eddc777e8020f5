// Which fields the edit, add, reply and property forms show, and which
// record fields a save of each form may write.
#include <string>
#include <string_view>
#include <vector>

#include "book/book_internal.h"
#include "book/book_state.h"
#include "core/convert.h"
#include "data/settings.h"

namespace qv::book {
namespace {

constexpr const char* kPropertyList =
    "dbtitle,dbbookid,dbownerid,dbtype,dbindent,dbCID,dbexpireddate,dbeventdate,dbURLLink,"
    "dbfinished";

std::string DefaultFieldList(const std::string& table) {
  if (table == "qvglossary") return "dbtitle,dbtype,dbkeyword,dbcontent,dbremark";
  if (table == "qvmedia") return "dbtitle,dbtype,dbyear,dbkeyword,dbcontent,dbremark";
  if (table == "qvlibrary") {
    return "dbISBN_ISSN,dbauthor,dbtitle,dbkeyword,dbsource,dbpages,dbyear,dbabstract,dbtype,"
           "dbLanguage,dbAffiliationAddress,dbremark,dbcontent";
  }
  return "dbtitle,dbkeyword,dbcontent,dbremark";
}

// The fields of one language-bearing stem: first language, then the second
// (the other language while the fields are walked) when in use.
void AddBilingual(std::vector<std::string>& columns, const std::string& stem) {
  const Settings& s = TheSettings();
  columns.push_back(LanguageField(stem, s.FirstLanguage));
  const std::string& second = s.strOtherLanguage.empty() ? s.SecondLanguage : s.strOtherLanguage;
  if (!second.empty()) columns.push_back(LanguageField(stem, second));
}

struct MonolingualItem {
  std::string_view item;
  std::string_view field;
};
constexpr MonolingualItem kMonolingualItems[] = {
    {"dbbookid", "dbBookID"},     {"dbeventdate", "dbEventDate"},
    {"dbindent", "dbIndent"},     {"dburllink", "dbURLLink"},
    {"dbcid", "dbCID"},           {"dbyear", "dbYear"},
    {"dbpages", "dbPages"},       {"dbisbn_issn", "dbISBN_ISSN"},
    {"dblanguage", "dbLanguage"}, {"dbaffiliationaddress", "dbAffiliationAddress"},
};

struct BilingualItem {
  std::string_view item;
  std::string_view stem;
};
constexpr BilingualItem kBilingualItems[] = {
    {"dbfinished", "dbFinished_"}, {"dbkeyword", "dbKeyWord_"}, {"dbcontent", "dbContent_"},
    {"dbabstract", "dbAbstract_"}, {"dbremark", "dbRemark_"},   {"dbauthor", "dbAuthor_"},
    {"dbsource", "dbSource_"},
};

// A generic spec "_" + control code + code type character + field name
// names a field when its code is one the form writes a control for.
std::string GenericField(const std::string& spec) {
  if (spec.size() < 4 || spec[0] != '_') return "";
  const char code = spec[1];
  const bool known = code == 't' || code == 'm' || code == 'l' || code == 'r' || code == 'c' ||
                     code == 'd' || (code >= '0' && code <= '9');
  return known ? spec.substr(3) : "";
}

void AddItemColumns(std::vector<std::string>& columns, const std::string& item,
                    const FormVariant& form) {
  if (item == "dbtitle") {
    if (form.property) return;  // shown, not edited
    AddBilingual(columns, "dbTitle_");
    return;
  }
  if (item == "dbtype") {
    if (!form.reply) columns.emplace_back("dbType");
    return;
  }
  if (item == "dbownerid") {
    if (HasRight("auth")) columns.emplace_back("dbOwnerID");
    return;
  }
  if (item == "dbexpireddate") return;  // the save turns the posted days into a date
  for (const MonolingualItem& entry : kMonolingualItems) {
    if (entry.item == item) {
      columns.emplace_back(entry.field);
      return;
    }
  }
  for (const BilingualItem& entry : kBilingualItems) {
    if (entry.item == item) {
      AddBilingual(columns, std::string(entry.stem));
      return;
    }
  }
  const std::string generic = GenericField(item);
  if (!generic.empty()) columns.push_back(generic);
}

bool ListHasItem(const std::string& list, std::string_view name) {
  for (const std::string& item : FieldListItems(list)) {
    if (item == name) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> FieldListItems(const std::string& list) {
  std::vector<std::string> items;
  const std::string lower = ToLower(list);
  std::string_view rest = lower;
  while (true) {
    const auto comma = rest.find(',');
    items.push_back(Trim(rest.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return items;
}

FormVariant RequestedForm() {
  return {RequestValue("qvAction"), RequestValue("edit") == "property",
          RequestValue("reply") == "y"};
}

std::string FieldListOf(const FormVariant& form) {
  const Settings& s = TheSettings();
  if (!s.FormatAuth.empty() && s.FormatAuth[0] == '!') return ToLower(s.FormatAuth.substr(1));
  std::string list = HasRight("auth") ? s.FormatAuth : s.FormatEdit;
  if (list.empty()) list = DefaultFieldList(s.TableName);
  if (form.property) list = s.FormatProperty.empty() ? kPropertyList : s.FormatProperty;
  if (form.reply) list = form.action == "edit" ? "dbremark" : "dbtitle,dbcontent";
  return ToLower(list);
}

std::string EditFieldList() {
  const FormVariant form = RequestedForm();
  if (form.property && TheSettings().FormatAuth.rfind('!', 0) != 0) {
    CurrentBook().strHelpCode = "editproperty";
  }
  return FieldListOf(form);
}

std::vector<std::string> EditFormColumns(const FormVariant& form) {
  const Settings& s = TheSettings();
  const std::string list = FieldListOf(form);
  std::vector<std::string> columns;
  for (const std::string& item : FieldListItems(list)) AddItemColumns(columns, item, form);
  if (!ListHasItem(list, "dbfinished")) {
    for (const std::string* suffix : {&s.FirstLanguage, &s.SecondLanguage, &s.strOtherLanguage}) {
      if (!suffix->empty()) columns.push_back(LanguageField("dbFinished_", *suffix));
    }
  }
  return columns;
}

}  // namespace qv::book
