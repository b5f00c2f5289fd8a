#pragma once
// A layout: the edit descriptors of one formatted write, written as in the
// listings' documentation, e.g. "I8, 4(1P, E23.14)" or
// "/, 7X, \"título = \", A*". Descriptors: /  "literal"  nX  Tc  kP  n(...)
// Aw  A* (width taken from the item when the write reaches it)  Iw  Fw.d  Ew.d.
// Literals are UTF-8 in the source and become ISO 8859-1 bytes when parsed.
// A repeat count may also stand before a data descriptor ("3I2"); descriptor
// letters may be of either case; the comma may be left out after kP and
// around /. A literal's doubled "" stands for one ".
// Parse once (a static const), apply many times.
#include <string>
#include <string_view>
#include <vector>

namespace kestrelfold {

struct Edit {
    enum class Kind { Slash, Literal, X, T, Scale, A, AStar, I, F, E };
    Kind kind;
    int w = 0;         // width (A, I, F, E), count (X), column (T), factor (Scale)
    int d = 0;         // digits after the point (F, E)
    std::string text;  // Literal: Latin-1 bytes
};

class Layout {
public:
    // std::invalid_argument on text that is not a layout, or on a literal
    // with a character outside ISO 8859-1.
    static Layout parse(std::string_view text);
    // Repeat groups are expanded: the edits in the order they act.
    const std::vector<Edit>& edits() const { return edits_; }

private:
    std::vector<Edit> edits_;
};

}  // namespace kestrelfold
