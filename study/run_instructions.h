#pragma once
// What --plan-only prints: how to run the job list elsewhere (GNU parallel,
// also across hosts; a Slurm array) and the command that writes the report
// afterwards, every path in a form the shell takes as it stands.
#include <filesystem>
#include <string>
#include <string_view>

#include "study/options.h"
#include "study/plan.h"

namespace kestrelfold::study {

// `kestrelfold-study --report-only` with the study's fonte, meshes, title
// and folder: the same study, reported.
std::string report_command(const StudyOptions& options, const std::filesystem::path& dir);

// The text for stdout after a plan: the meshes to run and the commands, or,
// with nothing left to run, that the study is complete.
std::string plan_instructions(const Plan& plan, const StudyOptions& options);

// The text as one shell word: as it stands when it holds only letters,
// digits and / . _ , : = + -, else quoted.
std::string shell_word(std::string_view text);

}  // namespace kestrelfold::study
