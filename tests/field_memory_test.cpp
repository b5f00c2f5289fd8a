#include "numerics/field_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "numerics/field.h"
#include "output/fatal_error.h"

namespace kestrelfold {
namespace {

constexpr std::size_t kHugePageValues = (std::size_t{2} << 20) / sizeof(double);

TEST(FieldMemory, EverySizeIsWritableEndToEnd) {
    for (const std::size_t values : {std::size_t{1}, std::size_t{1000}, kHugePageValues - 1, kHugePageValues,
                                     kHugePageValues + 1, 3 * kHugePageValues + 5}) {
        double* memory = obtain_field_memory(values);
        ASSERT_NE(memory, nullptr) << values;
        memory[values - 1] = 2.5;
        memory[0] = 1.5;
        EXPECT_EQ(memory[0], 1.5);
        EXPECT_EQ(memory[values - 1], values == 1 ? 1.5 : 2.5);
        if (values >= kHugePageValues) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(memory) % (std::size_t{2} << 20), 0u) << values;
        }
        release_field_memory(memory, values);
    }
}

TEST(FieldMemory, WhatCannotBeHadIsRefusedNotCrashed) {
    EXPECT_EQ(obtain_field_memory(0), nullptr);
    EXPECT_EQ(obtain_field_memory(SIZE_MAX / sizeof(double)), nullptr);
    EXPECT_EQ(obtain_field_memory(std::size_t{1} << 60), nullptr);
    EXPECT_FALSE(reserve_field_memory(std::size_t{1} << 60, 2));
    try {
        Field field(std::size_t{1} << 60);
        FAIL() << "a field of 2^60 values was had";
    } catch (const FatalError& error) {
        EXPECT_EQ(std::string(error.what()), "insufficient virtual memory");
    }
}

// Reserved blocks are the ones the next requests of that size get (backed
// already); beyond them, requests get fresh memory.
TEST(FieldMemory, ReservedBlocksServeTheNextRequestsOfTheirSize) {
    const std::size_t values = kHugePageValues + 7;
    double* first = obtain_field_memory(values);
    double* second = obtain_field_memory(values);
    ASSERT_TRUE(first && second);
    release_field_memory(first, values);
    release_field_memory(second, values);
    // The two released blocks are kept, and the reserve finds them.
    ASSERT_TRUE(reserve_field_memory(values, 2));
    double* again_1 = obtain_field_memory(values);
    double* again_2 = obtain_field_memory(values);
    double* fresh = obtain_field_memory(values);
    EXPECT_EQ((std::set<double*>{again_1, again_2}), (std::set<double*>{first, second}));
    EXPECT_NE(fresh, first);
    EXPECT_NE(fresh, second);
    // A request of another size never gets a kept block.
    release_field_memory(again_1, values);
    double* other = obtain_field_memory(values + 1);
    EXPECT_NE(other, again_1);
    for (double* memory : {again_2, fresh}) release_field_memory(memory, values);
    release_field_memory(other, values + 1);
    double* last = obtain_field_memory(values);
    release_field_memory(last, values);
}

}  // namespace
}  // namespace kestrelfold
