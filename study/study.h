#pragma once
// A whole study: the plan, its job list run on this machine, the report.
// The same three steps as planning on one machine, running the list
// elsewhere and reporting afterwards, in one path.
#include <ostream>

#include "study/options.h"

namespace kestrelfold::study {

// The exit status: 0 when every mesh has a complete run and the report is
// written; 1 otherwise, each problem named on `err` in one line. A study
// stopped by a signal ends the process by that signal once its runs ended.
int run_study(const StudyOptions& options, std::ostream& err);

}  // namespace kestrelfold::study
