#pragma once

// JPEG pictures through libjpeg (the main window's stone background): damaged data throws, never exits.

#include <QByteArray>
#include <QImage>
#include <stdexcept>

/** A JPEG stream that could not be decoded or encoded; the message says why. */
class EJpegError : public std::runtime_error {
public:
  explicit EJpegError(const std::string& message) : std::runtime_error(message) {}
};

/** Largest picture DecodeJpeg accepts, in pixels, so a forged header cannot ask for gigabytes. */
constexpr long long MaxJpegPixels = 64LL * 1024 * 1024;

/**
 * Decodes a JPEG stream with libjpeg into an RGB32 image. Any damage libjpeg notices, including a stream that
 * ends early or a warning about corrupt data, throws EJpegError; the program never exits on bad data.
 */
QImage DecodeJpeg(const QByteArray& data);

/** Reads and decodes a JPEG file (a path or a ":/..." resource); throws EJpegError when it cannot. */
QImage LoadJpeg(const QString& path);

/** Encodes an image as a baseline JPEG of the given quality (1-100) with libjpeg. */
QByteArray EncodeJpeg(const QImage& image, int quality);
