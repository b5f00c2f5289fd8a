#include "study/study_layout.h"

#include <string>

namespace kestrelfold::study {

std::string mesh_folder_name(std::int32_t N) {
    const std::string digits = std::to_string(N);
    std::string name(1, 'N');
    name.append(digits.size() < 10 ? 10 - digits.size() : 0, '0');
    return name += digits;
}

}  // namespace kestrelfold::study
