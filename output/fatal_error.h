#pragma once
// A failure that ends the run. Nothing in the program tests a status: a
// failed open, read, write or allocation throws FatalError, and main()
// reports it once on stderr, closes every open unit so that the records
// already completed stay in their files, and exits with a non-zero status.
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrelfold {

class FatalError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "what, unit 7, file Kestrelfold.in": the frame of every record-layer message.
std::string unit_message(std::string_view what, int unit, std::string_view file);

inline constexpr std::string_view kInsufficientMemory = "insufficient virtual memory";

}  // namespace kestrelfold
