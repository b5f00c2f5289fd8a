#include "numerics/field.h"

#include "numerics/field_memory.h"
#include "output/fatal_error.h"

namespace kestrelfold {

Field::Field(std::size_t size) : values_(obtain_field_memory(size)), size_(size) {
    if (size != 0 && values_ == nullptr) throw FatalError(std::string(kInsufficientMemory));
}

Field::~Field() { release_field_memory(values_, size_); }

}  // namespace kestrelfold
