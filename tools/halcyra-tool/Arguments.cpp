#include "tools/halcyra-tool/Arguments.h"

#include <cstdlib>

namespace halcyra {

bool ParseInteger(const char* text, long minimum, long maximum, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < minimum || parsed > maximum) return false;
  value = static_cast<int>(parsed);
  return true;
}

}  // namespace halcyra
