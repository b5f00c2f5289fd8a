#pragma once
// A study: the plan, its job list run on this machine, the report. Planning
// alone (--plan-only), running the list elsewhere and reporting alone
// (--report-only) takes the same three steps, through the same functions.
#include <ostream>

#include "study/options.h"

namespace kestrelfold::study {

// The study in the mode of the options: whole, its plan alone (how to run
// it elsewhere on `out`) or its report alone. The exit status: 0 when every
// mesh has a complete run and the report is written, or the plan is; 1
// otherwise, each problem named on `err` in one line. A study stopped by a
// signal ends the process by that signal once its runs ended.
int run_study(const StudyOptions& options, std::ostream& out, std::ostream& err);

}  // namespace kestrelfold::study
