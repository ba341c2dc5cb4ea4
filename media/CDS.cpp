#include "media/CDS.h"

#include "media/SoundErrorBox.h"

namespace halcyra {
namespace {

constexpr int kMinOutputRate = 8000;
constexpr int kMaxOutputRate = 192000;

}  // namespace

CDS::CDS(AudioDevice& device, SoundErrorReporter& reporter)
    : device_(device), reporter_(reporter) {}

bool CDS::OpenDevice(int channels, int sampleRate, int bits) {
  ReleaseDevice();
  if (channels != AudioDevice::kChannels || bits != AudioDevice::kBitsPerSample ||
      sampleRate < kMinOutputRate || sampleRate > kMaxOutputRate) {
    ShowError(101, kDsBadFormat);
    return false;
  }
  mixer_.SetOutputRate(static_cast<std::uint32_t>(sampleRate));
  if (!device_.Open(sampleRate, mixer_)) {
    ShowError(76, kDsNoDriver);
    return false;
  }
  return true;
}

void CDS::ReleaseDevice() { device_.Close(); }

std::unique_ptr<SoundBuffer> CDS::CreateBuffer(const WaveFormat& format, std::uint32_t bytes,
                                               std::uint32_t& errorCode) {
  return SoundBuffer::Create(device_, mixer_, format, bytes, errorCode);
}

void CDS::ShowError(int step, std::uint32_t code) {
  reporter_.Report(SoundErrorBox::DirectSound(step, code));
}

}  // namespace halcyra
