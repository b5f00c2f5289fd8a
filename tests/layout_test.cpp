#include "output/layout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrelfold {
namespace {

// One letter per edit, with its numbers: "I8 P1 E23.14 / 'text' 7X T12 A50 A*".
std::string describe(const Layout& layout) {
    std::string out;
    for (const Edit& edit : layout.edits()) {
        if (!out.empty()) out += ' ';
        switch (edit.kind) {
            case Edit::Kind::Slash: out += "/"; break;
            case Edit::Kind::Literal: out += "'" + edit.text + "'"; break;
            case Edit::Kind::X: out += std::to_string(edit.w) + "X"; break;
            case Edit::Kind::T: out += "T" + std::to_string(edit.w); break;
            case Edit::Kind::Scale: out += "P" + std::to_string(edit.w); break;
            case Edit::Kind::A: out += "A" + std::to_string(edit.w); break;
            case Edit::Kind::AStar: out += "A*"; break;
            case Edit::Kind::I: out += "I" + std::to_string(edit.w); break;
            case Edit::Kind::F: out += "F" + std::to_string(edit.w) + "." + std::to_string(edit.d); break;
            case Edit::Kind::E: out += "E" + std::to_string(edit.w) + "." + std::to_string(edit.d); break;
        }
    }
    return out;
}

TEST(LayoutParse, ExpandsGroupsAndKeepsTheOrderOfActions) {
    const struct {
        const char* text;
        const char* edits;
    } cases[] = {
        {"I8, 4(1P, E23.14)", "I8 P1 E23.14 P1 E23.14 P1 E23.14 P1 E23.14"},
        {"/, 7X, \"abc = \", A*, /, /, 1X, \"*** DADOS ***\"", "/ 7X 'abc = ' A* / / 1X '*** DADOS ***'"},
        {"2X, 1P, E40.32, 2X, \"h (m)\", /, \" 1\", 1P, E40.32", "2X P1 E40.32 2X 'h (m)' / ' 1' P1 E40.32"},
        {"/, F14.3, \" = t\"", "/ F14.3 ' = t'"},
        {"\"#\", T7, \"n\", T12, \"x\"", "'#' T7 'n' T12 'x'"},
        {"2(1X, 2(I2, A3))", "1X I2 A3 I2 A3 1X I2 A3 I2 A3"},
        {"3I2", "I2 I2 I2"},
        {"(I2)", "I2"},
        {"X", "1X"},
        {"1PE23.14", "P1 E23.14"},
        {"-1P, E12.4", "P-1 E12.4"},
        {"//\"a\"/\"b\"/", "/ / 'a' / 'b' /"},
        {"i8 , 1p , e23.14", "I8 P1 E23.14"},
        {"\"say \"\"hi\"\"\"", "'say \"hi\"'"},
        {"A0", "A0"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describe(Layout::parse(c.text)), c.edits) << c.text;
    }
}

TEST(LayoutParse, LiteralsBecomeLatin1Bytes) {
    const Layout layout = Layout::parse("\"título = \", \"VARIÁVEIS\", \"SOLUÇÕES\", \"freqüência\", \"nó\"");
    ASSERT_EQ(layout.edits().size(), 5u);
    EXPECT_EQ(layout.edits()[0].text, "t\xEDtulo = ");
    EXPECT_EQ(layout.edits()[1].text, "VARI\xC1VEIS");
    EXPECT_EQ(layout.edits()[2].text, "SOLU\xC7\xD5" "ES");
    EXPECT_EQ(layout.edits()[3].text, "freq\xFC\xEAncia");
    EXPECT_EQ(layout.edits()[4].text, "n\xF3");
}

TEST(LayoutParse, RejectsTextThatIsNotALayout) {
    const char* bad[] = {
        "I8,",         "I",         "E23",       "F14.",     "Q5",         "4(I8",      "I8)",
        "\"abc",       "I8 I8",     "I8 \"a\"",  ",I8",      "I8,,I8",     "2()",       "0(I8)",
        "I0",          "F0.3",      "T0",        "3T5",      "0X",         "P",         "A",
        "I99999",      "9999(9999(I1))",        "\"€\"",    "\"\xff\"",   "\"\xc3\"",  "/,",
    };
    for (const char* text : bad) {
        EXPECT_THROW(Layout::parse(text), std::invalid_argument) << text;
    }
}

// Found by fuzzing: a text of some 3500 '(' overflowed the stack of the
// recursive reader. Groups nest up to 100 levels; deeper is refused.
TEST(LayoutParse, NestingOfGroupsIsBounded) {
    // `count` before the outermost group, `depth` groups around `inner`.
    const auto nested = [](std::string_view count, int depth, std::string_view inner, bool closed) {
        std::string text(count);
        text.append(static_cast<std::size_t>(depth), '(');
        text += inner;
        if (closed) text.append(static_cast<std::size_t>(depth), ')');
        return text;
    };
    struct Case {
        std::string name;
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        {"100 levels", nested("", 100, "I1", true), true},
        {"99 levels after a repeat count", nested("1", 99, "2X", true), true},
        {"101 levels", nested("", 101, "I1", true), false},
        {"3564 open groups, as the fuzzer found", nested("9", 3564, "/", false), false},
        {"100000 levels", nested("", 100000, "I1", true), false},
    };
    for (const Case& c : cases) {
        if (c.accepted) {
            EXPECT_EQ(Layout::parse(c.text).edits().size(), 1u) << c.name;
        } else {
            EXPECT_THROW(Layout::parse(c.text), std::invalid_argument) << c.name;
        }
    }
}

}  // namespace
}  // namespace kestrelfold
