// The particle effects a sprite can carry: fifty rose petals rising in arcs from the bottom of
// the screen, or one or three bats fluttering in the middle of it. Each particle is a small
// picture of its own with a frame animation; positions are screen pixels (fractions kept).
#pragma once

#include <array>
#include <memory>
#include <random>

#include "graphics/CDIBitmap.h"
#include "graphics/GraphicsContext.h"

namespace halcyra {

class ParticleField {
 public:
  static constexpr int kMaxPictures = 10;
  static constexpr int kMaxParticles = 50;
  // The modes a sprite is given: each "load" mode prepares a field, its "show" mode (one more)
  // shows it.
  static constexpr int kPetalMode = 1;
  static constexpr int kShowPetalsMode = 2;
  static constexpr int kOneBatMode = 8;
  static constexpr int kShowOneBatMode = 9;
  static constexpr int kThreeBatsMode = 10;
  static constexpr int kShowThreeBatsMode = 11;

  // One particle as it is to be drawn.
  struct View {
    CDIBitmap* picture = nullptr;
    int frame = 0;
    float x = 0.0f;
    float y = 0.0f;
  };

  // context and random are borrowed for the field's life; random draws every random number.
  ParticleField(const GraphicsContext& context, std::minstd_rand& random)
      : context_(&context), random_(&random) {}

  // Loads the pictures and places the particles of mode kPetalMode ("cg\\_Bara1.psd" to
  // "_Bara5.psd", 50 petals), kOneBatMode ("cg\\_BatFly1.psd", one bat) or kThreeBatsMode
  // ("_BatFly1.psd" and "_BatFly2.psd", three bats). False, with the field emptied, when a
  // picture cannot be loaded (the surface reports it) or the mode is none of these.
  bool Prepare(int mode);
  void Release();
  bool HasPictures() const { return pictureCount_ > 0; }

  // One frame: every particle moves and counts down to its next animation frame.
  void Advance();

  // Device loss: the pictures drop their textures and make them again.
  void ReleaseTextures();
  void RestoreTextures();

  int Count() const { return particleCount_; }
  View ViewOf(int index) const;

 private:
  enum class Kind { kNone, kPetal, kBat };
  struct Particle {
    float x = 0.0f;
    float y = 0.0f;
    int picture = 0;
    int frame = 0;
    int countdown = 1;
    bool leftwards = false;
    // Petals.
    bool falling = false;
    float speed = 0.0f;
    float arcAngle = 0.0f;
    float arcStep = 0.0f;
    float arcHeight = 0.0f;
    // Bats.
    int age = 0;
    float velocityX = 0.0f;
    float phase = 0.0f;
    float phaseStep = 0.0f;
    float swing = 0.0f;
  };

  bool LoadPictures(const char* pattern, int count);
  int Random(int modulo) const;
  void ResetPetal(Particle& petal) const;
  void ResetBat(Particle& bat) const;
  void MovePetal(Particle& petal) const;
  void MoveBat(Particle& bat) const;
  void AnimateFrame(Particle& particle) const;

  const GraphicsContext* context_;
  std::minstd_rand* random_;
  Kind kind_ = Kind::kNone;
  std::array<std::unique_ptr<CDIBitmap>, kMaxPictures> pictures_;
  int pictureCount_ = 0;
  std::array<Particle, kMaxParticles> particles_{};
  int particleCount_ = 0;
};

}  // namespace halcyra
