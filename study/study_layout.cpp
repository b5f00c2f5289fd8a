#include "study/study_layout.h"

#include <string>

namespace kestrelfold::study {

std::string mesh_folder_name(std::int32_t N) {
    const std::string digits = std::to_string(N);
    std::string name(1, 'N');
    name.append(digits.size() < 10 ? 10 - digits.size() : 0, '0');
    return name += digits;
}

std::string picture_name(std::string_view plot, std::string_view kind) {
    return std::string(plot) + "." + std::string(kind);
}

std::vector<std::string> report_file_names() {
    std::vector<std::string> names = {std::string(kCsvReport), std::string(kTextReport), std::string(kTexReport),
                                      std::string(kPlotScript)};
    for (std::string_view kind : kPictureKinds) {
        for (std::string_view plot : {kErrorPlot, kOrderPlot, kRoundoffPlot}) names.push_back(picture_name(plot, kind));
    }
    return names;
}

}  // namespace kestrelfold::study
