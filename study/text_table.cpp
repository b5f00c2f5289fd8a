#include "study/text_table.h"

#include <algorithm>

namespace kestrelfold::study {

std::size_t display_width(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

TextTable::TextTable(std::vector<std::string> heads) : left_(heads.size(), false) {
    rows_.push_back(std::move(heads));
}

void TextTable::align_left(std::size_t column) { left_.at(column) = true; }

void TextTable::add_row(std::vector<std::string> cells) {
    cells.resize(rows_.front().size());
    rows_.push_back(std::move(cells));
}

std::string TextTable::text(std::size_t indent) const {
    std::vector<std::size_t> widths(rows_.front().size(), 0);
    for (const auto& row : rows_) {
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], display_width(row[c]));
    }
    std::string out;
    for (const auto& row : rows_) {
        std::string line(indent, ' ');
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string padding(widths[c] - display_width(row[c]), ' ');
            line += std::string(c > 0 ? 2 : 0, ' ') + (left_[c] ? row[c] + padding : padding + row[c]);
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    }
    return out;
}

}  // namespace kestrelfold::study
