#include "study/mesh_list.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <stdexcept>
#include <string>

namespace kestrelfold::study {
namespace {

// The program's smallest mesh: the slope at x = 1 reads three nodes.
constexpr std::int64_t kSmallestN = 2;
constexpr std::int64_t kLargestN = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void refuse_mesh_list(const std::string& why) { throw std::invalid_argument(why); }

// A decimal number of digits only, within [smallest, kLargestN].
std::int64_t number(std::string_view text, std::string_view what, std::int64_t smallest) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || error != std::errc() || stop != end) {
        refuse_mesh_list(std::string(what) + " '" + std::string(text) + "' is not a whole number");
    }
    if (value < smallest || value > kLargestN) {
        refuse_mesh_list(std::string(what) + " = " + std::string(text) + " is outside " + std::to_string(smallest) + " to " +
               std::to_string(kLargestN));
    }
    return value;
}

std::vector<std::int32_t> geometric(std::string_view text) {
    const std::size_t first = text.find(':');
    const std::size_t second = text.find(':', first + 1);
    if (second == std::string_view::npos || text.find(':', second + 1) != std::string_view::npos) {
        refuse_mesh_list("'" + std::string(text) + "' is neither N0:R:K nor a list of N separated by commas");
    }
    std::int64_t N = number(text.substr(0, first), "N0", kSmallestN);
    const std::int64_t R = number(text.substr(first + 1, second - first - 1), "R", 2);
    const std::int64_t K = number(text.substr(second + 1), "K", 1);
    std::vector<std::int32_t> meshes;
    for (std::int64_t k = 0; k < K; ++k) {
        if (N > kLargestN) refuse_mesh_list("mesh " + std::to_string(k + 1) + " of " + std::string(text) + " exceeds N = " + std::to_string(kLargestN));
        meshes.push_back(static_cast<std::int32_t>(N));
        N *= R;  // N <= 2^31 and R < 2^31: no overflow in 64 bits
    }
    return meshes;
}

std::vector<std::int32_t> listed(std::string_view text) {
    std::vector<std::int32_t> meshes;
    for (;;) {
        const std::size_t comma = text.find(',');
        meshes.push_back(static_cast<std::int32_t>(number(text.substr(0, comma), "N", kSmallestN)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    std::sort(meshes.begin(), meshes.end());
    const auto twice = std::adjacent_find(meshes.begin(), meshes.end());
    if (twice != meshes.end()) refuse_mesh_list("N = " + std::to_string(*twice) + " is listed twice");
    return meshes;
}

}  // namespace

std::vector<std::int32_t> parse_mesh_list(std::string_view text) {
    if (text.find(':') != std::string_view::npos) return geometric(text);
    return listed(text);
}

}  // namespace kestrelfold::study
