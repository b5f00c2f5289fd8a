#pragma once
// A field: values of the number type Real (double, or Quad for
// kestrelfold-quad) at the nodes 0..N of the mesh. Allocation does not
// initialise the values (every step that reads a field has written it
// first); large fields come backed by memory, ready to be written at full
// speed (see field_memory.h).
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

#include "numerics/binary128.h"

namespace kestrelfold {

// The doubles of field memory that hold `values` values of Real.
template <typename Real>
constexpr std::size_t field_doubles(std::size_t values) {
    static_assert(sizeof(Real) % sizeof(double) == 0, "a field's values fill whole doubles of its memory");
    return values * (sizeof(Real) / sizeof(double));
}

template <typename Real>
class FieldOf {
public:
    FieldOf() = default;
    // FatalError "insufficient virtual memory" when the values cannot be had.
    explicit FieldOf(std::size_t size);
    ~FieldOf();
    FieldOf(FieldOf&& other) noexcept { swap(other); }
    FieldOf& operator=(FieldOf&& other) noexcept {
        FieldOf(std::move(other)).swap(*this);
        return *this;
    }
    FieldOf(const FieldOf&) = delete;
    FieldOf& operator=(const FieldOf&) = delete;

    Real& operator[](std::int64_t i) { return values_[i]; }
    Real operator[](std::int64_t i) const { return values_[i]; }
    std::size_t size() const { return size_; }
    std::span<Real> span() { return {values_, size_}; }
    std::span<const Real> span() const { return {values_, size_}; }

private:
    void swap(FieldOf& other) noexcept {
        std::swap(values_, other.values_);
        std::swap(size_, other.size_);
    }

    Real* values_ = nullptr;
    std::size_t size_ = 0;
};

using Field = FieldOf<double>;
using QuadField = FieldOf<Quad>;

extern template class FieldOf<double>;
extern template class FieldOf<Quad>;

}  // namespace kestrelfold
