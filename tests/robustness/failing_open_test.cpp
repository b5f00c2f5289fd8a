// Opens that the system refuses: a folder where a file should be, a
// listing name that reaches through a file or a missing folder, or ends in a
// slash. Each run ends with one "open failure" naming the unit and the file
// and a non-zero status; the files written before stay complete, the others
// and the folder in the way are left exactly as they were.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/robustness/fault_runs.h"
#include "tests/robustness/reference_run.h"

namespace kestrelfold::robustness {
namespace {

class FailingOpen : public ::testing::Test, protected SharedReferenceRun {
protected:
    static void SetUpTestSuite() { make_reference(); }
    static void TearDownTestSuite() { drop_reference(); }
    void SetUp() override {
        if (!reference_->valid()) GTEST_FAIL() << "no reference run";
    }
};

// A folder of the user's in place of the file, with a file of its own inside.
void folder_in_place_of(const fs::path& dir, const std::string& name) {
    fs::remove(dir / name);
    fs::create_directory(dir / name);
    test_support::write_bytes(dir / name / "notes.txt", "the user's own notes\r\n");
}

struct Case {
    const char* what;
    std::string caso;                         // the listing name as written in the input file
    std::string folder;                       // a file replaced by a folder, or none
    std::string message;
    std::string failed;                       // the later file whose open fails; none for the listing
};

TEST_F(FailingOpen, EndsTheRunAndLeavesEverythingElseAlone) {
    const std::string in_folder = "open failure, unit ";
    const std::vector<Case> cases = {
        {"input file is a folder", kListing, kInput, in_folder + "7, file Kestrelfold.in", ""},
        {"listing is a folder", kListing, kListing, in_folder + "10, file caso.txt", ""},
        {"plot data file is a folder", kListing, kPlotData, in_folder + "11, file Kestrelfold_T.dat", kPlotData},
        {"T script is a folder", kListing, kTScript, in_folder + "11, file Kestrelfold_T.gnu", kTScript},
        {"E script is a folder", kListing, kEScript, in_folder + "11, file Kestrelfold_E.gnu", kEScript},
        {"extrapolation file is a folder", kListing, kExtrapolation,
         in_folder + "77, file caso.txt.Vantreuse", kExtrapolation},
        {"listing through a file", "'caso.txt/listagem'", "", in_folder + "10, file caso.txt/listagem", ""},
        {"listing in a missing folder", "'falta/caso.txt'", "", in_folder + "10, file falta/caso.txt", ""},
        {"listing name ending in a slash", "'novo.txt/'", "", in_folder + "10, file novo.txt/", ""},
        {"listing name ending in a slash, file exists", "'caso.txt/'", "", in_folder + "10, file caso.txt/", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Snapshot start = reference_->initial();
        start[kInput] = input_text(c.caso);
        restore(runs_->work(), start);
        if (!c.folder.empty()) folder_in_place_of(runs_->work(), c.folder);
        start = snapshot_of(runs_->work());

        const Outcome outcome = runs_->run();
        EXPECT_GT(outcome.status, 0);
        EXPECT_EQ(one_message_problem(outcome.err, c.message), "");
        const Snapshot expected = c.failed.empty() ? start : reference_->after_failure_on(start, c.failed);
        EXPECT_EQ(difference(reference_->masked(expected), reference_->masked(snapshot_of(runs_->work()))), "");
    }
}

}  // namespace
}  // namespace kestrelfold::robustness
