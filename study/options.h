#pragma once
// The command line of kestrelfold-study, in the GNU form: long options,
// each value either after "=" or as the next argument.
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrelfold::study {

// What the command does: the whole study on this machine, or one of its
// ends, for runs made elsewhere (GNU parallel, a Slurm array) in between.
enum class StudyMode {
    whole,        // plan, run the job list here, report
    plan_only,    // plan, and say how to run the list elsewhere
    report_only,  // report on what the runs left in the folders
};

// Which program's results the study reports: kestrelfold's (double), or
// kestrelfold-quad's (binary128) on its own.
enum class Precision { double_precision, quad };

struct StudyOptions {
    StudyMode mode = StudyMode::whole;
    Precision precision = Precision::double_precision;
    // A study of the double program also runs kestrelfold-quad on every mesh
    // (--no-quad leaves it out): its results are the discrete solution to
    // within binary128's round-off, and split each error in two.
    bool quad_reference = true;
    std::int32_t fonte = 0;
    std::vector<std::int32_t> meshes;  // coarse to fine
    std::optional<std::string> title;  // UTF-8, Latin-1 characters only; default: per mesh
    std::string dir = "estudo";
    int jobs = 1;
    bool force = false;
};

// Whether the study runs each program on its meshes.
bool runs_double(const StudyOptions& options);
bool runs_quad(const StudyOptions& options);

enum class Request { study, help, version };

struct CommandLine {
    Request request = Request::study;
    StudyOptions options;
    std::vector<std::string> warnings;  // one line each, for a study that goes ahead
};

// A bad option or value: the message names it, in one line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments after the program name. `processors` is the default of --jobs.
CommandLine parse_command_line(std::span<const std::string_view> args, int processors);

// The --help text.
std::string_view usage();

// The processors this process may run on, at least 1.
int processor_count();

}  // namespace kestrelfold::study
