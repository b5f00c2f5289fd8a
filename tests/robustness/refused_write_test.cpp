// Writes refused by the system at the record boundaries of each output file
// and one byte either side of them: by the preloaded write limit for each
// file in turn, and by the file-size limit (SIGXFSZ ignored, or left at its
// default action) for the listing and the plot data file. Each run must end with
// one "error during write" naming the unit, the file and the system's reason
// (a full disk's, or the file-size limit's), a non-zero status,
// the failed file holding every whole record that the system took and
// nothing of a torn one, and every other file complete or as it was before
// the run, as far as the run got. A run whose writes all fit must end as the
// reference run did.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/robustness/fault_runs.h"
#include "tests/robustness/reference_run.h"

namespace kestrelfold::robustness {
namespace {

enum class Fault {
    WriteLimit,      // the preloaded limit on this one file
    FileSizeLimit,   // RLIMIT_FSIZE for the whole process, SIGXFSZ ignored by the launcher
    FileSizeSignal,  // the same with SIGXFSZ at its default action, as a shell's ulimit -f leaves it
};

struct Target {
    std::string file;
    int unit;
    Fault fault;
};

std::string name_of(const ::testing::TestParamInfo<Target>& info) {
    const Fault fault = info.param.fault;
    std::string name = fault == Fault::WriteLimit      ? "WriteLimit_"
                       : fault == Fault::FileSizeLimit ? "FileSizeLimit_"
                                                       : "FileSizeLimitAndSignal_";
    for (const char c : info.param.file) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

void PrintTo(const Target& target, std::ostream* out) {
    *out << target.file << " on unit " << target.unit
         << (target.fault == Fault::WriteLimit ? "" : ", file-size limit")
         << (target.fault == Fault::FileSizeSignal ? ", SIGXFSZ at its default" : "");
}

class RefusedWrite : public ::testing::TestWithParam<Target>, protected SharedReferenceRun {
protected:
    static void SetUpTestSuite() { make_reference(); }
    static void TearDownTestSuite() { drop_reference(); }
    void SetUp() override {
        if (!reference_->valid()) GTEST_FAIL() << "no reference run";
    }

    // Record boundaries of the reference file and a byte either side of
    // each, up to one byte past the file's end: every boundary of a short
    // file; of a long one those of its first and last 20 records and of
    // every 7th record between, which keeps the suite's time in bounds.
    // A file-size limit binds every file: on the listing only limits that
    // every other file fits in, so that the listing is the file that meets
    // it; on the plot data file only limits below its size (the listing,
    // longer, meets the same limit later).
    std::vector<std::size_t> limits_to_try(const Target& target) const {
        const std::size_t size = reference_->file(target.file).size();
        std::size_t floor = 0;
        std::size_t ceiling = size + 1;
        if (target.fault != Fault::WriteLimit && target.file == kListing) {
            for (const auto& [name, bytes] : reference_->files()) {
                if (name != target.file) floor = std::max(floor, bytes.size());
            }
        } else if (target.fault != Fault::WriteLimit) {
            ceiling = size - 1;
        }
        std::set<std::size_t> limits;
        const std::vector<std::size_t> ends = reference_->boundaries(target.file);
        for (std::size_t record = 0; record < ends.size(); ++record) {
            if (!sampled(record, ends.size())) continue;
            const std::size_t end = ends[record];
            for (const std::size_t limit : {end == 0 ? 0 : end - 1, end, end + 1}) {
                if (limit <= ceiling && limit >= floor) limits.insert(limit);
            }
        }
        return {limits.begin(), limits.end()};
    }

    static bool sampled(std::size_t record, std::size_t records) {
        constexpr std::size_t kWhole = 20;
        constexpr std::size_t kStride = 7;
        return record <= kWhole || record + kWhole >= records - 1 || record % kStride == 0;
    }

    Limits limits_for(const Target& target, std::size_t bytes) const {
        Limits limits;
        if (target.fault != Fault::WriteLimit) {
            limits.file_size = bytes;
            limits.file_size_signal_ignored = target.fault == Fault::FileSizeLimit;
        } else {
            limits.refused_file = target.file;
            limits.refused_beyond = bytes;
        }
        return limits;
    }

    // "error during write, unit 11, file Kestrelfold_T.dat: No space left on device"
    static std::string refused_write(const Target& target, int unit, const std::string& file) {
        const char* reason = target.fault == Fault::WriteLimit ? "No space left on device" : "File too large";
        return "error during write, unit " + std::to_string(unit) + ", file " + file + ": " + reason;
    }

    void check_run(const Target& target, std::size_t limit, const Outcome& outcome, const Snapshot& after) const {
        const ReferenceRun& ref = *reference_;
        if (limit >= ref.file(target.file).size()) {
            EXPECT_EQ(outcome.status, 0) << outcome.err;
            EXPECT_EQ(outcome.err, "");
            EXPECT_EQ(difference(ref.masked(ref.files()), ref.masked(after)), "");
            return;
        }
        EXPECT_GT(outcome.status, 0) << "a refused write must end the run with a failure status";
        if (target.fault != Fault::WriteLimit && target.file == kPlotData) {
            check_when_every_file_meets_the_limit(target, limit, outcome, after);
            return;
        }
        EXPECT_EQ(one_message_problem(outcome.err, refused_write(target, target.unit, target.file)), "");
        if (target.file == kListing) {
            check_after_listing_failure(limit, after);
            return;
        }
        Snapshot expected = ref.after_failure_on(ref.initial(), target.file);
        expected[target.file] = ref.kept_within(target.file, limit);
        EXPECT_EQ(difference(ref.masked(expected), ref.masked(after)), "");
    }

    // A file-size limit below the plot data file's size: the listing, open
    // all the while, meets it as well. Which of the two fails first depends
    // on when the listing's records are written out; either way the listing
    // holds every whole record that fits, the plot data file too if the run
    // got to it, and the scripts and the extrapolation file are as they were.
    void check_when_every_file_meets_the_limit(const Target& target, std::size_t limit, const Outcome& outcome,
                                               const Snapshot& after) const {
        const ReferenceRun& ref = *reference_;
        const std::string on_listing = refused_write(target, 10, kListing);
        const std::string on_plot_data = refused_write(target, 11, kPlotData);
        const bool plot_data_first = one_message_problem(outcome.err, on_plot_data).empty();
        if (!plot_data_first) {
            EXPECT_EQ(one_message_problem(outcome.err, on_listing), "");
        }
        Snapshot expected = ref.initial();
        expected[kListing] = ref.kept_within(kListing, limit);
        if (plot_data_first) expected[kPlotData] = ref.kept_within(kPlotData, limit);
        EXPECT_EQ(difference(ref.masked(expected), ref.masked(after)), "");
    }

    // The listing may be written out at any point of the run; the files that
    // follow its tables are each complete or as they were, in run order.
    void check_after_listing_failure(std::size_t limit, const Snapshot& after) const {
        const ReferenceRun& ref = *reference_;
        Snapshot listing_only = {{kListing, ref.kept_within(kListing, limit)}};
        const auto found = after.find(kListing);
        const Snapshot actual_listing = {{kListing, found == after.end() ? "<missing>" : found->second}};
        EXPECT_EQ(difference(ref.masked(listing_only), ref.masked(actual_listing)), "");
        bool earlier_left_alone = false;
        for (const std::string& name : kLaterFiles) {
            const auto actual = after.find(name);
            ASSERT_NE(actual, after.end()) << name << " is gone";
            if (actual->second == ref.file(name)) {
                EXPECT_FALSE(earlier_left_alone) << name << " was written although an earlier file was not";
            } else if (actual->second == ref.initial().at(name)) {
                earlier_left_alone = true;
            } else {
                ADD_FAILURE() << name << " is neither complete nor as it was: "
                              << difference(ref.file(name), actual->second);
            }
        }
        EXPECT_EQ(after.size(), ref.files().size()) << "files were added or removed";
    }

    static int failure_count() {
        return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
    }

};

TEST_P(RefusedWrite, AtEveryRecordBoundary) {
    const Target& target = GetParam();
    const std::vector<std::size_t> limits = limits_to_try(target);
    ASSERT_GE(limits.size(), 9u) << "too few limits to try";
    int failed_runs = 0;
    for (const std::size_t limit : limits) {
        SCOPED_TRACE("limit " + std::to_string(limit) + " bytes on " + target.file);
        restore(runs_->work(), reference_->initial());
        const Outcome outcome = runs_->run(limits_for(target, limit));
        const int failures_before = failure_count();
        check_run(target, limit, outcome, snapshot_of(runs_->work()));
        if (failure_count() > failures_before && ++failed_runs == 5) break;  // enough to go on with
    }
    RecordProperty("limits_tried", static_cast<int>(limits.size()));
    std::cout << "limits tried on " << target.file << ": " << limits.size() << "\n";
}

INSTANTIATE_TEST_SUITE_P(EachOutputFile, RefusedWrite,
                         ::testing::Values(Target{kListing, 10, Fault::WriteLimit},
                                           Target{kPlotData, 11, Fault::WriteLimit},
                                           Target{kTScript, 11, Fault::WriteLimit},
                                           Target{kEScript, 11, Fault::WriteLimit},
                                           Target{kExtrapolation, 77, Fault::WriteLimit},
                                           Target{kListing, 10, Fault::FileSizeLimit},
                                           Target{kListing, 10, Fault::FileSizeSignal},
                                           Target{kPlotData, 11, Fault::FileSizeLimit},
                                           Target{kPlotData, 11, Fault::FileSizeSignal}),
                         name_of);

}  // namespace
}  // namespace kestrelfold::robustness
