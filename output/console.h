#pragma once
// The program's own lines on the console: every failure, warning and
// interruption goes to standard error as one line "kestrelfold: <message>".
#include <string_view>

namespace kestrelfold {

void tell_user(std::string_view message);

}  // namespace kestrelfold
