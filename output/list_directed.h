#pragma once
// The list-directed write of texts: 80-column records that start with one
// blank; texts of one statement are joined without separators; a text that
// does not fit in what is left of a record starts a new one; a text of more
// than 79 characters is split across records.
#include <initializer_list>
#include <string_view>

#include "output/units.h"

namespace kestrelfold {

void write_list_directed(Unit& unit, std::initializer_list<std::string_view> texts);

}  // namespace kestrelfold
