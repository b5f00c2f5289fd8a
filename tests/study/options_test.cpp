// The command line and the mesh list: what is accepted, and every refusal
// naming what it refuses.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "study/mesh_list.h"
#include "study/options.h"

namespace kestrelfold::study {
namespace {

struct MeshCase {
    const char* text;
    std::vector<std::int32_t> meshes;
};

TEST(MeshList, BothForms) {
    const MeshCase cases[] = {
        {"10,20,40,80", {10, 20, 40, 80}},
        {"80,10,40", {10, 40, 80}},
        {"10:2:8", {10, 20, 40, 80, 160, 320, 640, 1280}},
        {"5:3:3", {5, 15, 45}},
        {"2:2:1", {2}},
        {"1073741824:2:1", {1073741824}},
        {"2147483647", {2147483647}},
        {"7", {7}},
    };
    for (const MeshCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parse_mesh_list(c.text), c.meshes);
    }
}

struct RefusalCase {
    const char* text;
    const char* named;  // the message names this
};

TEST(MeshList, Refusals) {
    const RefusalCase cases[] = {
        {"", "not a whole number"},
        {"10,,20", "not a whole number"},
        {"10,20,", "not a whole number"},
        {"1,10", "N = 1"},
        {"0:2:3", "N0 = 0"},
        {"-10,20", "'-10'"},
        {"10,20,10", "N = 10 is listed twice"},
        {"10:1:3", "R = 1"},
        {"10:2:0", "K = 0"},
        {"10:2", "neither N0:R:K"},
        {"10:2:3:4", "neither N0:R:K"},
        {"10:2:30", "exceeds N = 2147483647"},
        {"2147483648", "outside 2 to 2147483647"},
        {"ten", "'ten'"},
        {"10 ,20", "'10 '"},
        {"1e3", "'1e3'"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            parse_mesh_list(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find(c.named), std::string::npos) << error.what();
        }
    }
}

CommandLine parse(std::vector<std::string_view> args) { return parse_command_line(args, 6); }

TEST(CommandLine, ValuesAndDefaults) {
    const CommandLine defaults = parse({"--meshes", "10:2:3"});
    EXPECT_EQ(defaults.request, Request::study);
    EXPECT_EQ(defaults.options.fonte, 0);
    EXPECT_EQ(defaults.options.meshes, (std::vector<std::int32_t>{10, 20, 40}));
    EXPECT_EQ(defaults.options.dir, "estudo");
    EXPECT_EQ(defaults.options.jobs, 6);
    EXPECT_EQ(defaults.options.mode, StudyMode::whole);
    EXPECT_FALSE(defaults.options.force);
    EXPECT_FALSE(defaults.options.title);
    EXPECT_EQ(defaults.options.precision, Precision::double_precision);
    EXPECT_TRUE(defaults.options.quad_reference) << "a study splits its errors unless told not to";
    EXPECT_TRUE(runs_double(defaults.options) && runs_quad(defaults.options));
    EXPECT_TRUE(defaults.warnings.empty());

    const CommandLine given = parse({"--fonte=4", "--meshes=10,20", "--title", "Malha média 'fina'", "--dir",
                                     "a b/c", "--jobs=3", "--force"});
    EXPECT_EQ(given.options.fonte, 4);
    EXPECT_EQ(given.options.meshes, (std::vector<std::int32_t>{10, 20}));
    EXPECT_EQ(given.options.title, "Malha média 'fina'");
    EXPECT_EQ(given.options.dir, "a b/c");
    EXPECT_EQ(given.options.jobs, 3);
    EXPECT_TRUE(given.options.force);

    EXPECT_EQ(parse({"--meshes", "10", "--plan-only", "--force"}).options.mode, StudyMode::plan_only);
    EXPECT_EQ(parse({"--report-only", "--meshes", "10", "--report-only"}).options.mode, StudyMode::report_only);

    const StudyOptions no_quad = parse({"--meshes", "10", "--no-quad"}).options;
    EXPECT_TRUE(runs_double(no_quad) && !runs_quad(no_quad));
    const StudyOptions quad = parse({"--meshes", "10", "--precision", "quad"}).options;
    EXPECT_TRUE(!runs_double(quad) && runs_quad(quad));
    EXPECT_EQ(parse({"--meshes", "10", "--precision=double"}).options.precision, Precision::double_precision);

    EXPECT_EQ(parse({"--help"}).request, Request::help);
    EXPECT_EQ(parse({"--version"}).request, Request::version);
    EXPECT_THROW(parse({"--meshes", "10", "--help", "--fonte", "9"}), UsageError)
        << "a bad value next to --help is still refused";
}

TEST(CommandLine, OddMeshesWarn) {
    const CommandLine line = parse({"--meshes", "10,15,21"});
    ASSERT_EQ(line.warnings.size(), 2u);
    EXPECT_NE(line.warnings[0].find("N = 15 is odd: T(1/2) is taken at node 7"), std::string::npos);
    EXPECT_NE(line.warnings[1].find("N = 21"), std::string::npos);
}

TEST(CommandLine, Refusals) {
    const std::string long_title(91, 'x');
    const std::vector<std::pair<std::vector<std::string_view>, const char*>> cases = {
        {{}, "--meshes is required"},
        {{"--fonte", "1"}, "--meshes is required"},
        {{"--meshes", "10", "--fonte", "5"}, "--fonte: '5'"},
        {{"--meshes", "10", "--fonte", "-1"}, "--fonte: '-1'"},
        {{"--meshes", "10", "--fonte="}, "--fonte: ''"},
        {{"--meshes", "10", "--fonte"}, "--fonte needs a value"},
        {{"--meshes", "1,2"}, "--meshes: N = 1"},
        {{"--meshes", "10", "--jobs", "0"}, "--jobs: '0'"},
        {{"--meshes", "10", "--jobs", "two"}, "--jobs: 'two'"},
        {{"--meshes", "10", "--dir", ""}, "--dir: the folder name is empty"},
        {{"--meshes", "10", "--dir", "a\nb"}, "--dir: the folder name holds a line end"},
        {{"--meshes", "10", "--title", long_title}, "--title: 91 characters"},
        {{"--meshes", "10", "--title", "tab\there"}, "--title: control characters"},
        {{"--meshes", "10", "--title", "\xe9t\xe9"}, "--title: only characters of ISO 8859-1"},
        {{"--meshes", "10", "--title", "\u20ac"}, "--title: only characters of ISO 8859-1"},
        {{"--meshes", "10", "--force=yes"}, "--force takes no value"},
        {{"--meshes", "10", "--precision", "single"}, "--precision: 'single' is neither double nor quad"},
        {{"--meshes", "10", "--precision"}, "--precision needs a value"},
        {{"--meshes", "10", "--no-quad=1"}, "--no-quad takes no value"},
        {{"--meshes", "10", "--precision", "quad", "--no-quad"}, "--no-quad leaves out the runs"},
        {{"--meshes", "10", "--plan-only=yes"}, "--plan-only takes no value"},
        {{"--meshes", "10", "--plan-only", "--report-only"}, "--plan-only and --report-only are the two ends"},
        {{"--report-only", "--meshes", "10", "--plan-only"}, "--plan-only and --report-only are the two ends"},
        {{"--report-only"}, "--meshes is required"},
        {{"--meshes", "10", "--mesh", "10"}, "unknown option '--mesh'"},
        {{"--meshes", "10", "-j", "2"}, "unknown option '-j'"},
        {{"--meshes", "10", "estudo"}, "unexpected argument 'estudo'"},
    };
    for (const auto& [args, named] : cases) {
        SCOPED_TRACE(named);
        try {
            parse(args);
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& error) {
            EXPECT_NE(std::string(error.what()).find(named), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos) << "one line";
        }
    }
}

// The longest title the program keeps whole: 90 Latin-1 characters, some of
// them two bytes in UTF-8.
TEST(CommandLine, TitleOfNinetyCharacters) {
    std::string title;
    for (int i = 0; i < 45; ++i) title += "aé";
    EXPECT_EQ(parse({"--meshes", "10", "--title", title}).options.title, title);
}

}  // namespace
}  // namespace kestrelfold::study
