#pragma once
// The meshes of a study, from the --meshes text: either N values separated
// by commas ("10,20,40,80") or N0:R:K, K meshes from N0, each R times the
// one before ("10:2:8" is 10, 20, ..., 1280).
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrelfold::study {

// The meshes sorted coarse to fine. std::invalid_argument, its message
// naming the fault, for anything but a list of distinct N from 2 to
// 2147483647 in one of the two forms.
std::vector<std::int32_t> parse_mesh_list(std::string_view text);

}  // namespace kestrelfold::study
