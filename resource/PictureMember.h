// Picture members: from the bytes stored in the picture archive or a loose picture file to the
// plain BMP or PSD bytes that the picture readers parse.
//
// Stored form: when taken from the archive, the first 32 bytes (fewer for a shorter member) are
// scrambled with the engine key. After that, data that begins with "BM" or "8BPS" is the picture
// itself; anything else is a 4-byte little-endian uncompressed length followed by an LZSS stream
// that runs to the end of the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace halcyra {

class CArcFile;

// Bytes at the start of a member that are scrambled when it lives in the picture archive.
inline constexpr std::size_t kPictureScrambledPrefix = 32;
// Largest uncompressed length accepted (256 MiB); anything larger is taken as damaged data.
inline constexpr std::uint32_t kMaxPictureLength = 256u * 1024 * 1024;

// Turns stored bytes into plain picture bytes, in place. headerScrambled: the bytes come from an
// archive whose picture members carry the scrambled prefix (loose files never do).
// A compressed picture is decoded into a buffer of exactly the declared length; when the stream
// ends before filling it, the rest stays zero and the result is still true, as the picture
// readers reject what they cannot parse. False, with bytes unspecified, when compressed data is
// shorter than its 4-byte length or declares more than kMaxPictureLength bytes.
bool DecodePicture(std::vector<std::uint8_t>& bytes, bool headerScrambled);

// Loads the picture at game path gamePath ("cg\\title.bmp"): the loose file when it opens,
// otherwise the member of that file name in pictures (borrowed; its selection and position
// change), whose prefix is unscrambled. A loose file that opens is final: the archive is not
// asked even when reading it fails. Then decodes as DecodePicture. False when neither holds the
// picture, a read comes up short, a loose file exceeds kMaxPictureLength, or decoding fails; out
// is unspecified then.
bool LoadPicture(std::string_view gamePath, CArcFile& pictures, std::vector<std::uint8_t>& out);

}  // namespace halcyra
