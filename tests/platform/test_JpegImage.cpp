#include "platform/JpegImage.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
// A picture with smooth gradients, which JPEG keeps within a few levels.
QImage Gradient(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
  }
  return image;
}

// Offset of the frame header (SOF0, "FF C0") that holds the picture's height and width.
qsizetype FrameHeader(const QByteArray& jpeg) { return jpeg.indexOf(QByteArray("\xFF\xC0", 2)); }
}  // namespace

TEST(JpegImage, RoundTripKeepsSizeAndColours) {
  const QImage original = Gradient(97, 41);
  const QImage decoded = DecodeJpeg(EncodeJpeg(original, 95));
  ASSERT_EQ(decoded.size(), original.size());
  EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
  for (const QPoint point : {QPoint(0, 0), QPoint(48, 20), QPoint(96, 40)}) {
    const QColor expected = original.pixelColor(point);
    const QColor actual = decoded.pixelColor(point);
    EXPECT_NEAR(actual.red(), expected.red(), 8) << point.x() << "," << point.y();
    EXPECT_NEAR(actual.green(), expected.green(), 8);
    EXPECT_NEAR(actual.blue(), expected.blue(), 8);
  }
}

TEST(JpegImage, DamagedStreamsThrowInsteadOfExiting) {
  const QByteArray good = EncodeJpeg(Gradient(64, 64), 90);
  const struct {
    const char* Name;
    QByteArray Data;
  } cases[] = {
      {"empty", QByteArray()},
      {"not a JPEG", QByteArray("GIF89a this is something else entirely")},
      {"header only", good.left(FrameHeader(good) + 4)},
      {"truncated scan", good.left(good.size() * 2 / 3)},
  };
  for (const auto& damaged : cases) {
    EXPECT_THROW(DecodeJpeg(damaged.Data), EJpegError) << damaged.Name;
  }
}

TEST(JpegImage, TruncationIsReportedWithLibjpegsReason) {
  const QByteArray good = EncodeJpeg(Gradient(64, 64), 90);
  try {
    DecodeJpeg(good.left(good.size() - 40));
    FAIL() << "a truncated picture was accepted";
  } catch (const EJpegError& error) {
    EXPECT_NE(std::string(error.what()).find("Premature end"), std::string::npos) << error.what();
  }
}

TEST(JpegImage, ForgedHugeSizeIsRefusedBeforeAllocating) {
  QByteArray forged = EncodeJpeg(Gradient(16, 16), 90);
  const qsizetype header = FrameHeader(forged);
  ASSERT_GE(header, 0);
  // Height and width follow the marker, its length and the sample precision: 65000 × 65000 pixels.
  for (const qsizetype offset : {header + 5, header + 7}) {
    forged[offset] = static_cast<char>(0xFD);
    forged[offset + 1] = static_cast<char>(0xE8);
  }
  try {
    DecodeJpeg(forged);
    FAIL() << "a 65000 x 65000 picture was accepted";
  } catch (const EJpegError& error) {
    EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos) << error.what();
  }
}

TEST(JpegImage, LoadJpegReadsFilesAndNamesAMissingOne) {
  ScratchDirectory scratch;
  QFile file(scratch.File(QStringLiteral("picture.jpg")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(EncodeJpeg(Gradient(30, 20), 80));
  file.close();
  EXPECT_EQ(LoadJpeg(file.fileName()).size(), QSize(30, 20));

  const QString missing = scratch.File(QStringLiteral("missing.jpg"));
  try {
    LoadJpeg(missing);
    FAIL() << "a missing file was read";
  } catch (const EJpegError& error) {
    EXPECT_NE(QString::fromUtf8(error.what()).indexOf(missing), -1) << error.what();
  }
}
