// The demo game's generated media: every picture and sound is computed, so that the repository
// holds no recorded or drawn files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace halcyra::demo {

// Writes one generated file; false (after saying so on stderr) when it cannot.
bool WriteAsset(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Each family writes its files into the folder given; false when one could not be written.
bool MakeSounds(const std::filesystem::path& out);
bool MakePictures(const std::filesystem::path& out);
// The rule pictures and skies of the screen-effect scene (EffectPictures.cpp).
bool MakeEffectPictures(const std::filesystem::path& out);
// Backgrounds and standing sprites of the scene demo (scr/layers.scr).
bool MakeScenePictures(const std::filesystem::path& out);
// The message window, name window, icon bar and key-wait pictures (WindowPictures.cpp).
bool MakeWindowPictures(const std::filesystem::path& out);

}  // namespace halcyra::demo
