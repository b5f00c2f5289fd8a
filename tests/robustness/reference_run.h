#pragma once
// The run without any fault that the faulty runs are measured against: its
// files, their record boundaries, and what each file must hold when the run
// ends early at a given point.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/robustness/fault_runs.h"

namespace kestrelfold::robustness {

class ReferenceRun {
public:
    // Made in `runs`, from the initial directory; a failed run is a test failure.
    explicit ReferenceRun(const FaultRuns& runs) : initial_(initial_directory()) {
        restore(runs.work(), initial_);
        const Outcome outcome = runs.run();
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        files_ = snapshot_of(runs.work());
        const std::string& listing = file(kListing);
        const std::size_t time_label = listing.find(" = tempo de processamento (segundos)\r\n");
        const std::size_t block = listing.find("\r\n\r\n *** VARI\xC1VEIS DE INTERESSE ***\r\n");
        const bool complete = files_.size() == initial_.size() && time_label != std::string::npos &&
                              time_label >= 14 && block != std::string::npos;
        EXPECT_TRUE(complete) << "the reference run did not write every file";
        valid_ = complete && outcome.status == 0;
        time_field_ = complete ? time_label - 14 : 0;
        block_start_ = complete ? block + 2 : 0;
    }

    bool valid() const { return valid_; }
    const Snapshot& initial() const { return initial_; }
    const Snapshot& files() const { return files_; }
    const std::string& file(const std::string& name) const { return files_.at(name); }

    // Offsets at which a record of the file ends (0 included): after its LF.
    std::vector<std::size_t> boundaries(const std::string& name) const {
        std::vector<std::size_t> ends = {0};
        const std::string& bytes = file(name);
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            if (bytes[at] == '\n') ends.push_back(at + 1);
        }
        return ends;
    }

    // Where the run starts writing the file: after the kept records of a
    // plot script, at the start of any other file.
    std::size_t first_written(const std::string& name) const {
        const int kept = name == kTScript ? 8 : name == kEScript ? 6 : 0;
        return kept == 0 ? 0 : boundaries(name)[static_cast<std::size_t>(kept)];
    }

    // What the file holds when the system takes no more than `limit` bytes
    // of it: every whole record that fits, nothing of the next one.
    std::string kept_within(const std::string& name, std::size_t limit) const {
        const std::size_t room = std::max(limit, first_written(name));
        std::size_t length = 0;
        for (const std::size_t end : boundaries(name)) {
            if (end <= room) length = end;
        }
        return file(name).substr(0, length);
    }

    // The directory after a run that started as `start` and ended at a
    // failure on `failed` (one of kLaterFiles): the files written before it
    // complete, those after it as they were; the listing up to its tables,
    // or whole when the plots were done. The failed entry is left as it was
    // in `start`, for the caller to set.
    Snapshot after_failure_on(Snapshot start, const std::string& failed) const {
        const std::string& listing = file(kListing);
        start[kListing] = failed == kExtrapolation ? listing : listing.substr(0, block_start_);
        for (const std::string& name : kLaterFiles) {
            if (name == failed) break;
            start[name] = file(name);
        }
        return start;
    }

    // The processing time is the one value that differs between runs.
    Snapshot masked(Snapshot entries) const {
        const auto listing = entries.find(kListing);
        if (listing == entries.end()) return entries;
        std::string& bytes = listing->second;
        for (std::size_t at = time_field_; at < time_field_ + 14 && at < bytes.size(); ++at) bytes[at] = '#';
        return entries;
    }

private:
    Snapshot initial_;
    Snapshot files_;
    bool valid_ = false;
    std::size_t time_field_ = 0;   // offset of the F14.3 processing time in the listing
    std::size_t block_start_ = 0;  // listing bytes before the block of quantities of interest
};

// One directory of runs and one reference run for a whole test suite:
// SetUpTestSuite and TearDownTestSuite of the suite call make and drop.
class SharedReferenceRun {
protected:
    static void make_reference() {
        runs_ = new FaultRuns;
        reference_ = new ReferenceRun(*runs_);
    }
    static void drop_reference() {
        delete reference_;
        delete runs_;
        reference_ = nullptr;
        runs_ = nullptr;
    }

    inline static FaultRuns* runs_ = nullptr;
    inline static ReferenceRun* reference_ = nullptr;
};

}  // namespace kestrelfold::robustness
