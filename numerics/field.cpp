#include "numerics/field.h"

#include <new>

#include "output/fatal_error.h"

namespace kestrelfold {

Field::Field(std::size_t size) : size_(size) {
    values_.reset(new (std::nothrow) double[size]);
    if (size != 0 && !values_) throw FatalError(std::string(kInsufficientMemory));
}

}  // namespace kestrelfold
