#include "numerics/field.h"

#include <new>

#include "numerics/field_memory.h"
#include "output/fatal_error.h"

namespace kestrelfold {

// Field memory comes as doubles, 8-byte aligned on the heap (16 from
// operator new) and page aligned when mapped; a Quad field holds two of them
// a value, and no double of it is ever read as a double.
template <typename Real>
FieldOf<Real>::FieldOf(std::size_t size) : size_(size) {
    static_assert(alignof(Real) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "field memory is aligned for every value type");
    double* memory = obtain_field_memory(field_doubles<Real>(size));
    if (size != 0 && memory == nullptr) throw FatalError(std::string(kInsufficientMemory));
    values_ = reinterpret_cast<Real*>(memory);
}

template <typename Real>
FieldOf<Real>::~FieldOf() {
    release_field_memory(reinterpret_cast<double*>(values_), field_doubles<Real>(size_));
}

template class FieldOf<double>;
template class FieldOf<Quad>;

}  // namespace kestrelfold
