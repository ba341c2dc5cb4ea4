#include "resource/CMutex.h"

namespace halcyra {

bool CMutex::Create(std::string_view name) { return lock_.Acquire(name); }

void CMutex::Close() { lock_.Release(); }

}  // namespace halcyra
