#pragma once
// A text table with columns as wide as their widest cell, counted in
// characters of UTF-8 text, not bytes: numbers right-aligned, so that their
// points line up, words left-aligned.
#include <cstddef>
#include <string>
#include <vector>

namespace kestrelfold::study {

class TextTable {
public:
    explicit TextTable(std::vector<std::string> heads);
    void align_left(std::size_t column);            // a column of words
    void add_row(std::vector<std::string> cells);  // missing cells are blank
    std::string text(std::size_t indent) const;    // every line ends in LF, no trailing blanks

private:
    std::vector<std::vector<std::string>> rows_;  // the heads first
    std::vector<bool> left_;                      // by column
};

// Characters of a UTF-8 text: its bytes that do not continue a character.
std::size_t display_width(const std::string& text);

}  // namespace kestrelfold::study
