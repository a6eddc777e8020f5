// Helpers shared by the one-record form controls, the grid controls and the
// write-back (private to src/data).
//
// Binding reads a field of the current row of objRS and, at the first
// binding of the field in a request, saves the row's Stamp in the session
// and writes the hidden "qvFLD_List" field. Choice arrays are two-row
// Arrays (shown text, value) as the drop-downs and check lists take them.
// All functions work on the current request's state (Tables(), TheSettings()).
#pragma once

#include <cstddef>
#include <string>

#include "core/variant.h"

namespace qv::form {

// The session value that records a row's Stamp. A row without a stamp yet
// is recorded by a mark no stamp equals, so a save made meanwhile by
// someone else still counts as a change.
std::string StampSessionValue(const Variant& stamp);

// Registers the field (unless SkipLinkForm or already registered) and
// returns its value in the current row as text; "" when there is no record
// set, no such field or no current row.
std::string FieldValue(const std::string& name);

// Text of the current row's ID, or "" when there is none.
std::string CurrentRowID();

// text HTML-encoded, for attribute values.
std::string Attr(const Variant& text);

// True for "True" (any case) and for non-zero numbers: a Boolean field read
// as text, or the "-1" a ticked check box posts.
bool IsTrueText(const std::string& text);

// A two-row Array: the only shape a choice argument may have.
bool IsChoiceArray(const Variant& choices);
// Replaces empty values in the array by their shown texts.
void FillChoiceValues(Array& choices);
std::string ChoiceText(const Array& choices, size_t i);
std::string ChoiceValue(const Array& choices, size_t i);
// Columns of a choice array.
size_t ChoiceCount(const Array& choices);

// A stored multi-value text "a, b" rewritten as "[a],[b]" for the selected
// test below.
std::string SelectionText(const std::string& value);
bool IsSelected(const std::string& selection, const std::string& choice_value);

// The edit form of a drop-down: a select of intRow rows with one option per
// choice, selected as the selection text says.
void WriteSelect(const std::string& name, const Array& choices, int intRow, bool blnMultiple,
                 const std::string& selection);

}  // namespace qv::form
