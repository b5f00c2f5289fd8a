# What a build from a fresh clone costs, kept small: most of it is parsing
# the same headers again for every source.
#
# - The program's and the study tool's libraries compile as a few large
#   units, each source of a batch once, one after another in one unit (the
#   headers parsed once a batch). Each source keeps its own includes, so it
#   still compiles alone (the fuzz targets build some of them alone).
# - The tests parse GoogleTest's header once per test program, not once per
#   test source, and are optimised for their own compile time (-Og): their
#   arithmetic is IEEE either way (no contraction, no fast math); the code
#   they test keeps the optimisation of the build.

function(kestrelfold_library_in_batches target sources_per_batch)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${sources_per_batch})
endfunction()

function(kestrelfold_test_program target)
  target_precompile_headers(${target} PRIVATE
    <gtest/gtest.h> <cstdint> <filesystem> <functional> <optional> <stdexcept> <string> <vector>)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Og>)
endfunction()
