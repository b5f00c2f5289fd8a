#include "output/listed_nodes.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "output/printed_title.h"

namespace kestrelfold {
namespace {

std::vector<std::int32_t> listed(std::int32_t N, std::int32_t freq) {
    std::vector<std::int32_t> nodes;
    for_each_listed_node(N, freq, [&](std::int32_t i) { nodes.push_back(i); });
    return nodes;
}

using Nodes = std::vector<std::int32_t>;

TEST(ListedNodes, StepsThroughInteriorThenLastNode) {
    struct Case { std::int32_t N, freq; Nodes expected; };
    const Case cases[] = {
        {10, 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {10, 3, {0, 3, 6, 9, 10}},
        {10, 4, {0, 4, 8, 10}},
        {10, 5, {0, 5, 10}},
        {10, 10, {0, 10}},
        {10, 50, {0, 10}},
        {1, 1, {0, 1}},
        {1, 2, {0, 1}},
        {1, 7, {0, 1}},
        {2, 1, {0, 1, 2}},
        {7, 2, {0, 2, 4, 6, 7}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(listed(c.N, c.freq), c.expected) << "N = " << c.N << ", freq = " << c.freq;
    }
}

TEST(ListedNodes, StepCountDoesNotOverflowForLargeValues) {
    EXPECT_EQ(listed(10, INT_MAX), (Nodes{0, 10}));
    EXPECT_EQ(listed(INT_MAX, INT_MAX), (Nodes{0, INT_MAX}));
    EXPECT_EQ(listed(INT_MAX - 1, INT_MAX / 2), (Nodes{0, INT_MAX / 2, INT_MAX - 1}));
    // At the largest mesh N + freq - 1 and the node after the last step pass 2^31 - 1.
    EXPECT_EQ(listed(INT_MAX, INT_MAX - 1), (Nodes{0, INT_MAX - 1, INT_MAX}));
    EXPECT_EQ(listed(INT_MAX, 1 << 30), (Nodes{0, 1 << 30, INT_MAX}));
    EXPECT_EQ(listed(INT_MAX, 715827883), (Nodes{0, 715827883, 1431655766, INT_MAX}));
}

TEST(ListedNodes, NoPositiveStepListsOnlyLastNode) {
    EXPECT_EQ(listed(10, 0), (Nodes{10}));
    EXPECT_EQ(listed(10, -3), (Nodes{10}));
}

TEST(PrintedTitle, DropsSurroundingBlanksOnly) {
    struct Case { std::string_view text, expected; };
    const Case cases[] = {
        {"Teste     ", "Teste"},
        {"   Teste de malha   ", "Teste de malha"},
        {"          ", ""},
        {"", ""},
        {"\tTab kept\t  ", "\tTab kept\t"},
        {"a", "a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(printed_title(c.text), c.expected) << "[" << c.text << "]";
        EXPECT_EQ(trimmed_caso(c.text), c.expected) << "[" << c.text << "]";
        EXPECT_EQ(title_width(printed_title(c.text)), static_cast<std::int32_t>(c.expected.size()));
    }
}

}  // namespace
}  // namespace kestrelfold
