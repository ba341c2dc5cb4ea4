#include "graphics/ParticleField.h"

#include <cmath>
#include <cstdio>

namespace halcyra {
namespace {

constexpr int kPetalCount = 50;
constexpr int kPetalPictures = 5;
constexpr int kPetalFrameInterval = 1;
constexpr int kBatFrameInterval = 4;
constexpr float kScreenWidth = 800.0f;
constexpr float kPetalGround = 600.0f;
constexpr float kBatLeft = 100.0f;
constexpr float kBatRight = 700.0f;
constexpr float kBatTop = 240.0f;
constexpr float kBatBottom = 440.0f;
constexpr int kBatLifetime = 239;  // frames
constexpr float kRadiansPerDegree = 0.017453292f;

}  // namespace

int ParticleField::Random(int modulo) const {
  return static_cast<int>((*random_)() % static_cast<unsigned>(modulo));
}

bool ParticleField::LoadPictures(const char* pattern, int count) {
  for (int i = 0; i < count; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, pattern, i + 1);
    auto picture = std::make_unique<CDIBitmap>(*context_);
    if (!picture->LoadPicture(name)) {
      Release();
      return false;
    }
    pictures_[static_cast<std::size_t>(i)] = std::move(picture);
    pictureCount_ = i + 1;
  }
  return true;
}

bool ParticleField::Prepare(int mode) {
  Release();
  if (mode == kPetalMode) {
    if (!LoadPictures("cg\\_Bara%d.psd", kPetalPictures)) return false;
    kind_ = Kind::kPetal;
    particleCount_ = kPetalCount;
    for (int j = 0; j < kPetalCount; ++j) {
      Particle& petal = particles_[static_cast<std::size_t>(j)];
      petal = Particle{};
      petal.picture = j % kPetalPictures;
      petal.leftwards = j % 2 == 1;
      petal.countdown = kPetalFrameInterval;
      ResetPetal(petal);
    }
    return true;
  }
  if (mode != kOneBatMode && mode != kThreeBatsMode) return false;
  const bool three = mode == kThreeBatsMode;
  if (!LoadPictures("cg\\_BatFly%d.psd", three ? 2 : 1)) return false;
  kind_ = Kind::kBat;
  particleCount_ = three ? 3 : 1;
  for (int i = 0; i < particleCount_; ++i) {
    Particle& bat = particles_[static_cast<std::size_t>(i)];
    bat = Particle{};
    bat.picture = i % 2;
    bat.leftwards = i % 2 == 1;
    bat.countdown = kBatFrameInterval;
    bat.x = kBatLeft + static_cast<float>(Random(static_cast<int>(kBatRight - kBatLeft)));
    bat.y = kBatTop + static_cast<float>(Random(static_cast<int>(kBatBottom - kBatTop)));
    ResetBat(bat);
  }
  return true;
}

void ParticleField::Release() {
  for (auto& picture : pictures_) picture.reset();
  pictureCount_ = 0;
  particleCount_ = 0;
  kind_ = Kind::kNone;
}

void ParticleField::ResetPetal(Particle& petal) const {
  petal.x = kScreenWidth / 2;
  petal.y = kPetalGround;
  petal.falling = false;
  petal.speed = static_cast<float>(Random(10)) / 6.0f + 0.5f;
  petal.arcAngle = 0.0f;
  petal.arcStep = Random(2) == 0 ? 0.5f : 1.0f;
  petal.arcHeight = static_cast<float>(Random(3)) + 3.5f;
}

void ParticleField::ResetBat(Particle& bat) const {
  bat.age = 0;
  bat.velocityX = static_cast<float>(Random(20)) * 0.1f - 1.0f;
  bat.phase = 0.0f;
  bat.phaseStep = Random(2) == 0 ? 10.0f : 30.0f;
  bat.swing = 1.0f;
}

void ParticleField::MovePetal(Particle& petal) const {
  petal.x += petal.leftwards ? -petal.speed : petal.speed;
  if (petal.falling) {
    petal.y += petal.speed;
  } else {
    petal.arcAngle += petal.arcStep;
    petal.y = kPetalGround -
              std::sin(petal.arcAngle * kRadiansPerDegree) * petal.arcAngle * petal.arcHeight;
    petal.falling = petal.arcAngle > 180.0f;
  }
  const float width =
      static_cast<float>(pictures_[static_cast<std::size_t>(petal.picture)]->GetWidth());
  if ((petal.falling && petal.y >= kPetalGround) || petal.x >= kScreenWidth || petal.x <= -width) {
    ResetPetal(petal);
  }
}

void ParticleField::MoveBat(Particle& bat) const {
  ++bat.age;
  bat.x += bat.velocityX;
  bat.phase += bat.phaseStep;
  bat.y += std::sin(bat.phase) * bat.swing;
  const bool leftArea =
      (bat.velocityX < 0 && bat.x < kBatLeft) || (bat.velocityX > 0 && bat.x >= kBatRight) ||
      (bat.swing < 0 && bat.y < kBatTop) || (bat.swing > 0 && bat.y >= kBatBottom);
  if (leftArea || bat.age > kBatLifetime) ResetBat(bat);
}

void ParticleField::AnimateFrame(Particle& particle) const {
  if (--particle.countdown > 0) return;
  particle.countdown = kind_ == Kind::kPetal ? kPetalFrameInterval : kBatFrameInterval;
  const int frames = pictures_[static_cast<std::size_t>(particle.picture)]->GetFrameCount();
  particle.frame = particle.frame + 1 >= frames ? 0 : particle.frame + 1;
}

void ParticleField::Advance() {
  for (int i = 0; i < particleCount_; ++i) {
    Particle& particle = particles_[static_cast<std::size_t>(i)];
    if (kind_ == Kind::kPetal) {
      MovePetal(particle);
    } else {
      MoveBat(particle);
    }
    AnimateFrame(particle);
  }
}

void ParticleField::ReleaseTextures() {
  for (int i = 0; i < pictureCount_; ++i) pictures_[static_cast<std::size_t>(i)]->ReleaseTextures();
}

void ParticleField::RestoreTextures() {
  for (int i = 0; i < pictureCount_; ++i) pictures_[static_cast<std::size_t>(i)]->RestoreTextures();
}

ParticleField::View ParticleField::ViewOf(int index) const {
  const Particle& particle = particles_[static_cast<std::size_t>(index)];
  return View{pictures_[static_cast<std::size_t>(particle.picture)].get(), particle.frame,
              particle.x, particle.y};
}

}  // namespace halcyra
