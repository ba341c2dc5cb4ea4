#include "media/CVorbis.h"

#include "platform/VorbisDecoder.h"

namespace halcyra {

bool CVorbis::LoadDriver() {
  loaded_ = VorbisDecoder::IsLibraryUsable();
  return loaded_;
}

}  // namespace halcyra
