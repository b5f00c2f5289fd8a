#pragma once
// Texts of the input file saved as UTF-8. The program's files are
// ISO 8859-1, one byte a character, and input texts are copied byte for
// byte: an accented title saved by a UTF-8 editor reaches the listing as two
// Latin-1 characters per letter ("SoluÃ§Ã£o"). Such a text is told apart
// from Latin-1 by its form: Latin-1 letters above ASCII almost never follow
// one another as UTF-8's lead and continuation bytes do.
#include <string_view>

namespace kestrelfold {

// Valid UTF-8 holding at least one character beyond ASCII. A text cut to
// its variable's length may end inside a character: that last, incomplete
// character does not count against it.
bool reads_as_utf8(std::string_view text);

}  // namespace kestrelfold
