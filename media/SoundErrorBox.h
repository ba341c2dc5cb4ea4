// The two error boxes of the sound classes, built as message-box requests:
//   "MMSystem Error"    file parsing and decoding (CWave, CACM); not tied to the game window;
//   "DirectSound Error" the sound device and its channel buffers (CDS, CDSB); owned by the window.
// Both read "SOURCE (STEP)\nNAME : 0xCODE": the source label, the number of the step that failed
// (each operation documents its numbers), the error's name and its code in eight hex digits.
//
// The codes keep the classic multimedia and DirectSound numbering, so that a box names the kind
// of fault ("MMIOERR_CHUNKNOTFOUND") rather than a bare number. Faults that are not a named
// condition use kFailed; unknown codes are named "未定義のエラー" (undefined error).
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace halcyra {

enum SoundErrorCode : std::uint32_t {
  kSoundFailed = 1,
  // multimedia file I/O
  kMmioFileNotFound = 257,
  kMmioOutOfMemory = 258,
  kMmioCannotRead = 261,
  kMmioChunkNotFound = 265,
  kMmioInvalidFile = 272,
  // audio conversion
  kAcmNotPossible = 512,
  kAcmUnprepared = 514,
  // sound device
  kDsInvalidParam = 0x80070057,
  kDsOutOfMemory = 0x8007000E,
  kDsAllocated = 0x8878000A,
  kDsBadFormat = 0x88780064,
  kDsNoDriver = 0x88780078,
};

class SoundErrorBox {
 public:
  static MessageBoxRequest MMSystem(int step, std::uint32_t code);
  static MessageBoxRequest DirectSound(int step, std::uint32_t code);

  // Names shown in the boxes (Shift-JIS); "未定義のエラー" for a code the table lacks.
  static const char* MMSystemCodeName(std::uint32_t code);
  static const char* DirectSoundCodeName(std::uint32_t code);
};

}  // namespace halcyra
