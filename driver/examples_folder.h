#pragma once
// Where the example input file and plot scripts are, for a message that
// sends a user to them: the installed share/kestrelfold/examples of the
// prefix this program runs from, else the source tree's examples/ that it
// was built from (a program run from its build folder), whichever exists.
#include <string>

namespace kestrelfold {

// "the examples are in /usr/local/share/kestrelfold/examples", or where an
// installation keeps them when neither folder exists.
std::string where_the_examples_are();

}  // namespace kestrelfold
