#pragma once
// A field: double values at the nodes 0..N of the mesh. Allocation does not
// initialise the values (every step that reads a field has written it
// first); large fields come backed by memory, ready to be written at full
// speed (see field_memory.h).
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

namespace kestrelfold {

class Field {
public:
    Field() = default;
    // FatalError "insufficient virtual memory" when the values cannot be had.
    explicit Field(std::size_t size);
    ~Field();
    Field(Field&& other) noexcept { swap(other); }
    Field& operator=(Field&& other) noexcept {
        Field(std::move(other)).swap(*this);
        return *this;
    }
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    double& operator[](std::int64_t i) { return values_[i]; }
    double operator[](std::int64_t i) const { return values_[i]; }
    std::size_t size() const { return size_; }
    std::span<double> span() { return {values_, size_}; }
    std::span<const double> span() const { return {values_, size_}; }

private:
    void swap(Field& other) noexcept {
        std::swap(values_, other.values_);
        std::swap(size_, other.size_);
    }

    double* values_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace kestrelfold
