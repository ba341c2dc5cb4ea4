// Sizing a buffer whose length comes from a file: a failed allocation becomes a false result
// that the caller reports, not an exception.
#pragma once

#include <cstddef>
#include <new>
#include <stdexcept>
#include <vector>

namespace halcyra {

// Resizes values to count elements (new ones value-initialised); false, with values emptied,
// when the memory cannot be had.
template <typename T>
bool TryResize(std::vector<T>& values, std::size_t count) noexcept {
  try {
    values.resize(count);
    return true;
  } catch (const std::bad_alloc&) {
    values.clear();
    values.shrink_to_fit();
    return false;
  } catch (const std::length_error&) {
    values.clear();
    return false;
  }
}

}  // namespace halcyra
