#pragma once
// DIR/slurm.sh: the job list of a plan as a Slurm job array. Task i runs
// line i of DIR/jobs.txt through /bin/sh, as every other runner of the list
// does; the array asks for the memory of the finest mesh of the list for
// each task, and every task writes what it prints into DIR.
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "study/plan.h"

namespace kestrelfold::study {

// The script for the plan in `dir` (absolute) whose job list holds `jobs`
// (finest first, at least one) as the bytes `job_list`; `report` is the
// command that writes the report afterwards, for its comment.
std::string slurm_script(const std::filesystem::path& dir, std::span<const Job> jobs, std::string_view job_list,
                         std::string_view report);

// A value as sbatch reads it from an #SBATCH line: in double quotes, with
// " and \ escaped by a backslash.
std::string sbatch_quote(std::string_view text);

// The --output pattern that puts each task's output in `dir`, its own %
// signs doubled; nothing when the folder's name holds a backslash, which
// turns Slurm's replacement symbols off for the whole pattern.
std::optional<std::string> task_output_pattern(const std::filesystem::path& dir);

}  // namespace kestrelfold::study
