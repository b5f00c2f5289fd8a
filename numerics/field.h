#pragma once
// A field: double values at the nodes 0..N of the mesh. Allocation does not
// initialise the values (every step that reads a field has written it first),
// so that a field of 10^8 nodes costs no time until it is filled.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace kestrelfold {

class Field {
public:
    Field() = default;
    // FatalError "insufficient virtual memory" when the values cannot be had.
    explicit Field(std::size_t size);

    double& operator[](std::int64_t i) { return values_[i]; }
    double operator[](std::int64_t i) const { return values_[i]; }
    std::size_t size() const { return size_; }
    std::span<double> span() { return {values_.get(), size_}; }
    std::span<const double> span() const { return {values_.get(), size_}; }

private:
    std::unique_ptr<double[]> values_;
    std::size_t size_ = 0;
};

}  // namespace kestrelfold
