#include "study/report_staging.h"

#include <cstdio>
#include <cstring>
#include <cerrno>
#include <stdlib.h>
#include <string>
#include <system_error>

#include "study/study_layout.h"
#include "study/text_file.h"

namespace kestrelfold::study {
namespace fs = std::filesystem;
namespace {

// Something other than a regular file (a folder, say) where a report file
// goes: the set could not be replaced whole.
void check_in_the_way(const fs::path& target) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    if (!fs::exists(status) || fs::is_regular_file(status)) return;
    throw FileError("cannot write " + target.string() + ": " + std::strerror(EISDIR) +
                    " (something other than a file is in the way)");
}

}  // namespace

ReportStaging::ReportStaging(const fs::path& dir) : dir_(dir) {
    std::string name = (dir / ".estudo-XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr) {
        throw FileError("cannot make a folder for the new report in " + dir.string() + ": " + std::strerror(errno));
    }
    path_ = name;
}

ReportStaging::~ReportStaging() {
    std::error_code error;
    fs::remove_all(path_, error);
}

void ReportStaging::commit() const {
    const std::vector<std::string> names = report_file_names();
    for (const std::string& name : names) check_in_the_way(dir_ / name);
    for (const std::string& name : names) {
        std::error_code error;
        const fs::path staged = path_ / name;
        const fs::path target = dir_ / name;
        if (fs::exists(staged, error)) {
            fs::rename(staged, target, error);
        } else {
            fs::remove(target, error);
        }
        if (error) throw FileError("cannot write " + target.string() + ": " + error.message());
    }
}

}  // namespace kestrelfold::study
