#include "numerics/correctly_rounded_exp.h"

#include "numerics/exp_by_double_double.h"
#include "numerics/exp_by_fixed_point.h"

namespace kestrelfold {

double exp_undecided_in_double(double x) {
    if (const std::optional<double> accurate = exp_by_double_double(x)) return *accurate;
    return exp_by_fixed_point(x);
}

}  // namespace kestrelfold
