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

// This kestrelfold-study, by its absolute path, with the study's fonte,
// meshes, title and folder, in `mode`: the same study again (never with
// --force: the meshes complete are kept), or reported.
std::string study_command(const StudyOptions& options, const std::filesystem::path& dir, StudyMode mode);

// study_command in the mode --report-only.
std::string report_command(const StudyOptions& options, const std::filesystem::path& dir);

// The text for stdout after a plan: the meshes to run and the commands, or,
// with nothing left to run, that the study is complete.
std::string plan_instructions(const Plan& plan, const StudyOptions& options);

// The text as one shell word: as it stands when it holds only letters,
// digits and / . _ , : = + -, else quoted.
std::string shell_word(std::string_view text);

}  // namespace kestrelfold::study
