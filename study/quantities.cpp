#include "study/quantities.h"

namespace kestrelfold::study {

std::string_view csv_name(Quantity q) {
    switch (q) {
    case Quantity::T_meio: return "T_meio";
    case Quantity::T_media: return "T_media";
    case Quantity::inclinacao: return "inclinacao";
    }
    return "";
}

std::string_view label(Quantity q) {
    switch (q) {
    case Quantity::T_meio: return "T(1/2)";
    case Quantity::T_media: return "média de T";
    case Quantity::inclinacao: return "inclinação em x = 1";
    }
    return "";
}

int expansion_order(Quantity q, int m) { return q == Quantity::inclinacao ? m + 1 : 2 * m; }

}  // namespace kestrelfold::study
