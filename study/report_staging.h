#pragma once
// The files of one report belong together: the tables, the plot script and
// the pictures drawn from it are written into a staging folder inside the
// study's folder, and only once all of them are there do they replace the
// report there as one set. A report given up (nothing to report, a write
// refused, an interrupt) leaves the earlier report's files as they were.
#include <filesystem>

namespace kestrelfold::study {

class ReportStaging {
public:
    // Makes DIR/.estudo-XXXXXX. FileError when it cannot.
    explicit ReportStaging(const std::filesystem::path& dir);
    // Removes the staging folder and whatever it still holds.
    ~ReportStaging();
    ReportStaging(const ReportStaging&) = delete;
    ReportStaging& operator=(const ReportStaging&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Moves every report file staged into DIR, over the earlier one, and
    // removes each report file of DIR that was not staged (the pictures of
    // an earlier report when no gnuplot drew new ones), so that no file of
    // an earlier report stays beside the new ones. FileError, before any
    // file is moved, when something other than a file is in the way.
    void commit() const;

private:
    std::filesystem::path dir_;
    std::filesystem::path path_;
};

}  // namespace kestrelfold::study
