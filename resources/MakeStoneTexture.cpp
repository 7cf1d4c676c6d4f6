// Makes the main window's background picture, Stone.jpg: a light grey stone texture of 522 × 259 pixels.
// The picture is committed beside this program; rebuild it with
//   cmake --build <build> --target make_stone_texture && <build>/make_stone_texture resources/Stone.jpg
// The output depends only on the fixed seed below, so a rebuild gives the same picture.

#include "platform/JpegImage.h"

#include <QFile>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {
constexpr int PictureWidth = 522;
constexpr int PictureHeight = 259;
constexpr std::uint32_t Seed = 0x51e7a2u;

// A well-mixed hash of a lattice point, as a number in [0, 1).
double Hash(int x, int y, std::uint32_t salt) {
  std::uint64_t value = static_cast<std::uint32_t>(x) * 0x9E3779B1ull ^
                        static_cast<std::uint32_t>(y) * 0x85EBCA77ull ^
                        (static_cast<std::uint64_t>(salt) << 32);
  value ^= value >> 33;
  value *= 0xff51afd7ed558ccdull;
  value ^= value >> 33;
  value *= 0xc4ceb9fe1a85ec53ull;
  value ^= value >> 33;
  return static_cast<double>(value >> 11) / static_cast<double>(1ull << 53);
}

double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }

// Value noise: hashed lattice values blended smoothly between the lattice points.
double Noise(double x, double y, std::uint32_t salt) {
  const int left = static_cast<int>(std::floor(x));
  const int top = static_cast<int>(std::floor(y));
  const double across = Smooth(x - left);
  const double down = Smooth(y - top);
  const double upper = Hash(left, top, salt) * (1 - across) + Hash(left + 1, top, salt) * across;
  const double lower = Hash(left, top + 1, salt) * (1 - across) + Hash(left + 1, top + 1, salt) * across;
  return upper * (1 - down) + lower * down;
}

// Several octaves of noise, coarse to fine, each half as strong as the one before: the cloudy grain of stone.
double Clouds(double x, double y, double scale, int octaves, std::uint32_t salt) {
  double sum = 0;
  double weight = 1;
  double total = 0;
  for (int octave = 0; octave < octaves; ++octave) {
    sum += weight * Noise(x / scale, y / scale, salt + static_cast<std::uint32_t>(octave));
    total += weight;
    weight *= 0.5;
    scale *= 0.5;
  }
  return sum / total;
}

QImage MakeStone() {
  QImage picture(PictureWidth, PictureHeight, QImage::Format_RGB32);
  for (int y = 0; y < PictureHeight; ++y) {
    for (int x = 0; x < PictureWidth; ++x) {
      const double clouds = Clouds(x, y, 90.0, 6, Seed);
      // Veins run where a second cloud field crosses its middle value.
      const double veinField = Clouds(x * 0.8 + 300, y * 1.6, 140.0, 5, Seed + 100);
      const double vein = std::max(0.0, 1.0 - std::abs(veinField - 0.5) * 28.0);
      const double grain = Hash(x, y, Seed + 200) - 0.5;
      const bool speck = Hash(x, y, Seed + 300) > 0.996;
      double level = 196.0 + (clouds - 0.5) * 58.0 + grain * 10.0 - vein * 18.0 - (speck ? 34.0 : 0.0);
      level = std::clamp(level, 120.0, 240.0);
      const int grey = static_cast<int>(std::lround(level));
      // A touch warmer than neutral grey, as natural stone is.
      picture.setPixel(x, y, qRgb(std::min(255, grey + 2), grey, std::max(0, grey - 4)));
    }
  }
  return picture;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: make_stone_texture OUTPUT.jpg\n");
    return 2;
  }
  try {
    const QByteArray jpeg = EncodeJpeg(MakeStone(), 88);
    QFile output(QString::fromLocal8Bit(argv[1]));
    if (!output.open(QIODevice::WriteOnly) || output.write(jpeg) != jpeg.size()) {
      std::fprintf(stderr, "make_stone_texture: cannot write %s\n", argv[1]);
      return 1;
    }
  } catch (const EJpegError& error) {
    std::fprintf(stderr, "make_stone_texture: %s\n", error.what());
    return 1;
  }
  return 0;
}
