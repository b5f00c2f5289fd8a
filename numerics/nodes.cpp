#include "numerics/nodes.h"

#include <stdexcept>
#include <string>

#include "numerics/fontes.h"

namespace kestrelfold {

void require_nodes(const char* kernel, std::int32_t N, std::int32_t smallest_N,
                   std::initializer_list<std::size_t> field_sizes) {
    if (smallest_N < 0) smallest_N = 0;
    if (N < smallest_N) {
        throw std::invalid_argument(std::string(kernel) + ": N = " + std::to_string(N) +
                                    ", at least " + std::to_string(smallest_N) + " needed");
    }
    for (const std::size_t size : field_sizes) {
        if (size < node_count(N)) {
            throw std::invalid_argument(std::string(kernel) + ": a field of " +
                                        std::to_string(size) + " values for N = " +
                                        std::to_string(N));
        }
    }
}

void require_node(const char* kernel, std::int32_t N, std::int64_t i) {
    if (N < 1 || i < 0 || i > N) {
        throw std::invalid_argument(std::string(kernel) + ": node " + std::to_string(i) + " of a mesh of " +
                                    std::to_string(N) + " elements");
    }
}

void require_fonte(const char* kernel, std::int32_t fonte) {
    if (!fonte_valida(fonte)) {
        throw std::invalid_argument(std::string(kernel) + ": fonte = " + std::to_string(fonte) +
                                    ", outside 0 to " + std::to_string(kFonteMaior));
    }
}

}  // namespace kestrelfold
