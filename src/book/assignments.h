// Internal to the assignment pages of the book module (assignments.cc,
// submissions.cc): the state of one expansion and the helpers the answer
// forms, the saves and the lists share. ExpandAssignment, SaveSubmission,
// ListSubmissions, SaveNotes and StatusBlock are declared in
// book_internal.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/answer_markup.h"
#include "host/context.h"

namespace qv::book {

// The assignment part of the request's state (host/context.h): the
// submission shown and how. ExpandAssignment fills it anew at each call;
// SaveSubmission sets blnSubmissionSaved.
struct AssignState {
  int intAssignMode = answer::kAnswerForm;
  bool blnRedo = false;
  bool blnStatusShown = false;
  std::string strAnswer, strComment, strStatus, strMark, strScore = "0";
  answer::TestColours colours;
  int64_t lngShownID = 0;           // the submission row shown (0 none)
  bool blnSubmissionSaved = false;  // this request stored the caller's answer
};
AssignState& Assignment();

// The submission table of the open book table: its name and "_".
std::string SubmissionTable();
// The caller may see every submission and mark it (the book's
// "assignment" right).
bool MayMark();
// The message of a status code; a code outside the table as its number.
std::string StatusName(int status);
// The statuses the answer form of a page type offers a student (the first
// is what a form that posts none means); none for pages without a form.
std::vector<int> OfferedStatuses(int page_type, bool redo);
// The statuses the marking form offers.
inline constexpr int kMarkingStatuses[] = {0, 1, 2, 3, 4, 9};

}  // namespace qv::book
