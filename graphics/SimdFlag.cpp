#include "graphics/SimdFlag.h"

namespace halcyra {
namespace {

bool& MmxFlag() {
  static bool flag = DetectSimd();
  return flag;
}

}  // namespace

bool DetectSimd() {
#if defined(__x86_64__) || defined(__i386__)
  return __builtin_cpu_supports("sse2");
#else
  return false;
#endif
}

bool HasMmx() { return MmxFlag(); }

void SetHasMmx(bool on) { MmxFlag() = on; }

}  // namespace halcyra
