#include "study/options.h"

#include <sched.h>

#include <charconv>
#include <thread>

#include "driver/run.h"
#include "numerics/fontes.h"
#include "numerics/mesh.h"
#include "output/latin1.h"
#include "study/mesh_list.h"

namespace kestrelfold::study {
namespace {

constexpr int kMostJobs = 4096;

[[noreturn]] void refuse(const std::string& why) { throw UsageError(why); }

int whole_number(std::string_view option, std::string_view text, int smallest, int largest) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < smallest || value > largest) {
        refuse(std::string(option) + ": '" + std::string(text) + "' is not a whole number from " +
               std::to_string(smallest) + " to " + std::to_string(largest));
    }
    return value;
}

// The title goes into the input file as Latin-1 text in quotes, on one line,
// and the program keeps at most 90 characters of it.
std::string checked_title(std::string_view title) {
    std::string latin1;
    try {
        latin1 = utf8_to_latin1(title);
    } catch (const std::invalid_argument&) {
        refuse("--title: only characters of ISO 8859-1 (Latin-1), written in UTF-8, can go into the input file");
    }
    for (unsigned char c : latin1) {
        if (c < 0x20 || (c >= 0x7f && c < 0xa0)) refuse("--title: control characters are not allowed");
    }
    if (latin1.size() > static_cast<std::size_t>(kTituloLength)) {
        refuse("--title: " + std::to_string(latin1.size()) + " characters; the program keeps at most " +
               std::to_string(kTituloLength));
    }
    return std::string(title);
}

std::vector<std::int32_t> checked_meshes(std::string_view text) {
    try {
        return parse_mesh_list(text);
    } catch (const std::invalid_argument& error) {
        refuse(std::string("--meshes: ") + error.what());
    }
}

void warn_odd_meshes(CommandLine& line) {
    for (std::int32_t N : line.options.meshes) {
        if (N % 2 == 0) continue;
        const std::string middle = std::to_string(no_meio(N));
        line.warnings.push_back("N = " + std::to_string(N) + " is odd: T(1/2) is taken at node " + middle +
                                " (x = " + middle + "/" + std::to_string(N) + "), whose exact value changes with N");
    }
}

struct Argument {
    std::string_view name;
    std::optional<std::string_view> value;  // given with "="
};

Argument split(std::string_view arg) {
    const std::size_t equals = arg.find('=');
    if (equals == std::string_view::npos) return {arg, std::nullopt};
    return {arg.substr(0, equals), arg.substr(equals + 1)};
}

bool takes_value(std::string_view name) {
    return name == "--fonte" || name == "--meshes" || name == "--title" || name == "--dir" || name == "--jobs" ||
           name == "--precision";
}

bool is_flag(std::string_view name) {
    return name == "--force" || name == "--plan-only" || name == "--report-only" || name == "--help" ||
           name == "--version" || name == "--no-quad";
}

void set_mode(StudyOptions& options, StudyMode mode) {
    if (options.mode != StudyMode::whole && options.mode != mode) {
        refuse("--plan-only and --report-only are the two ends of a study: give one of them, or neither");
    }
    options.mode = mode;
}

void apply(CommandLine& line, std::string_view name, std::string_view value) {
    StudyOptions& options = line.options;
    if (name == "--fonte") {
        options.fonte = whole_number(name, value, 0, kFonteMaior);
    } else if (name == "--meshes") {
        options.meshes = checked_meshes(value);
    } else if (name == "--title") {
        options.title = checked_title(value);
    } else if (name == "--dir") {
        if (value.empty()) refuse("--dir: the folder name is empty");
        // Each job is one line of the job list, the folder's path inside it.
        if (value.find_first_of("\n\r") != std::string_view::npos) refuse("--dir: the folder name holds a line end");
        options.dir = value;
    } else if (name == "--jobs") {
        options.jobs = whole_number(name, value, 1, kMostJobs);
    } else if (name == "--precision") {
        if (value == "double") {
            options.precision = Precision::double_precision;
        } else if (value == "quad") {
            options.precision = Precision::quad;
        } else {
            refuse("--precision: '" + std::string(value) + "' is neither double nor quad");
        }
    }
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string_view> args, int processors) {
    CommandLine line;
    line.options.jobs = processors;
    bool meshes_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const Argument arg = split(args[i]);
        if (takes_value(arg.name)) {
            std::string_view value;
            if (arg.value) {
                value = *arg.value;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                refuse(std::string(arg.name) + " needs a value");
            }
            apply(line, arg.name, value);
            meshes_given = meshes_given || arg.name == "--meshes";
        } else if (is_flag(arg.name)) {
            if (arg.value) refuse(std::string(arg.name) + " takes no value");
            if (arg.name == "--force") line.options.force = true;
            if (arg.name == "--no-quad") line.options.quad_reference = false;
            if (arg.name == "--plan-only") set_mode(line.options, StudyMode::plan_only);
            if (arg.name == "--report-only") set_mode(line.options, StudyMode::report_only);
            if (arg.name == "--help") line.request = Request::help;
            if (arg.name == "--version" && line.request != Request::help) line.request = Request::version;
        } else if (arg.name.starts_with("-")) {
            refuse("unknown option '" + std::string(args[i]) + "'");
        } else {
            refuse("unexpected argument '" + std::string(args[i]) + "'");
        }
    }
    if (line.request == Request::study && !meshes_given) refuse("--meshes is required (for example --meshes 10:2:8)");
    if (line.options.precision == Precision::quad && !line.options.quad_reference) {
        refuse("--no-quad leaves out the runs that --precision quad studies: give one of them");
    }
    warn_odd_meshes(line);
    return line;
}

bool runs_double(const StudyOptions& options) { return options.precision == Precision::double_precision; }

bool runs_quad(const StudyOptions& options) {
    return options.precision == Precision::quad || options.quad_reference;
}

int processor_count() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware > 0 ? static_cast<int>(hardware) : 1;
}

std::string_view usage() {
    return R"(usage: kestrelfold-study --meshes LIST [--fonte F] [--title TEXT] [--dir DIR]
                         [--jobs J] [--force] [--no-quad | --precision quad]
                         [--plan-only | --report-only]

Runs kestrelfold on a sequence of meshes, one folder per mesh in DIR, and
writes the convergence study of its three quantities of interest: DIR/estudo.csv,
DIR/estudo.txt, DIR/estudo.tex and the plots DIR/erro.png and DIR/ordem.png
(and their PDF; by gnuplot, from DIR/estudo.gnu), replaced as one set. Each
mesh is also run by kestrelfold-quad, the same program in quadruple precision
(in DIR/N.../quad): its results split every error into discretisation and
round-off (DIR/arredondamento.png).

A study is a plan (the folders, and one /bin/sh line per mesh to run in
DIR/jobs.txt), its runs, and a report. To run the meshes elsewhere, plan
with --plan-only, run DIR/jobs.txt (GNU parallel) or DIR/slurm.sh (sbatch),
then report with --report-only and the same options.

  --meshes LIST  N values separated by commas (10,20,40,80), or N0:R:K for K
                 meshes from N0, each R times the one before (10:2:8 is
                 10, 20, ..., 1280); N >= 2, each once
  --fonte F      source term, 0 to 4 (default 0): 0 exp(x)/(e-1), 1 zero,
                 2 constant 2, 3 6x, 4 12x^2
  --title TEXT   title of every run (default: the source term and N)
  --dir DIR      the study's folder (default estudo)
  --jobs J       runs side by side, within the memory available (default:
                 the number of processors)
  --force        run every mesh again, even one already complete
  --no-quad      run kestrelfold alone: no split of the errors
  --precision P  double (default): study kestrelfold; quad: study
                 kestrelfold-quad itself, with no split
  --plan-only    write the plan (with DIR/slurm.sh, a Slurm job array of the
                 list) and print how to run it; run nothing
  --report-only  write the report from what the runs left in DIR (nothing when
                 no mesh of the list is complete there); run nothing
  --help         this text
  --version      the version

Exit status: 0 when every mesh ran (--plan-only: when the plan is written),
1 when one or more did not (the report covers the others), 2 for a bad option.
)";
}

}  // namespace kestrelfold::study
