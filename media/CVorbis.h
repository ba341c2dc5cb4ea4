// The Vorbis decoder's registration for this process. "ACM" (the classic audio compression
// manager) means here: our own decoder behind CACM, libvorbisfile in the platform layer. Start-up
// registers it once; until then, or when the library cannot be used, CACM refuses Vorbis-in-WAVE
// sounds (its step 140) and PCM sounds still play.
//
// Threading: engine thread only. Failure: LoadDriver returns false; start-up then shows
// kStartUpFailure and goes on.
#pragma once

namespace halcyra {

class CVorbis {
 public:
  // Vorbis ACM が初期化できません (the Vorbis decoder cannot be started), caption "ver 3.03",
  // error icon.
  static constexpr char kStartUpFailure[] =
      "Vorbis ACM \x82\xaa\x8f\x89\x8a\xfa\x89\xbb\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";

  CVorbis() = default;
  ~CVorbis() { UnloadDriver(); }
  CVorbis(const CVorbis&) = delete;
  CVorbis& operator=(const CVorbis&) = delete;

  // Registers the decoder when the library answers; false when it does not.
  bool LoadDriver();
  // Withdraws the registration. Cannot fail; harmless when nothing is registered.
  void UnloadDriver() { loaded_ = false; }
  bool IsLoaded() const { return loaded_; }

 private:
  bool loaded_ = false;
};

}  // namespace halcyra
