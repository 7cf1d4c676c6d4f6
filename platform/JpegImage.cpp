#include "platform/JpegImage.h"
#include "platform/SysUtils.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

// libjpeg reports a fatal error by calling error_exit, which must not return. The default one exits the
// program; ours jumps back to the decoding routine instead. The routines that set the jump point keep no
// object with a destructor in their own frame (everything lives in a state record of the caller), so the jump
// skips no destructor.

namespace {
struct ErrorManager {
  jpeg_error_mgr Base;  // first, so libjpeg's pointer to it is also a pointer to the whole record
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ExitWithError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->Message);
  std::longjmp(manager->Jump, 1);
}

// Warnings mean corrupt or truncated data that libjpeg would paper over with grey; such a picture is refused.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0) ExitWithError(info);
}

void IgnoreOutput(j_common_ptr) {}

void InstallErrorManager(ErrorManager& manager) {
  jpeg_std_error(&manager.Base);
  manager.Base.error_exit = ExitWithError;
  manager.Base.emit_message = EmitMessage;
  manager.Base.output_message = IgnoreOutput;
  manager.Message[0] = '\0';
}

struct DecodeState {
  jpeg_decompress_struct Info;
  ErrorManager Errors;
  QImage Image;
};

void AllocateImage(DecodeState* state, int width, int height) {
  state->Image = QImage(width, height, QImage::Format_RGB888);
}

bool DecodeInto(DecodeState* state, const unsigned char* data, unsigned long size) {
  InstallErrorManager(state->Errors);
  state->Info.err = &state->Errors.Base;
  if (setjmp(state->Errors.Jump) != 0) {
    jpeg_destroy_decompress(&state->Info);
    return false;
  }
  jpeg_create_decompress(&state->Info);
  jpeg_mem_src(&state->Info, data, size);
  jpeg_read_header(&state->Info, TRUE);
  const long long pixels = static_cast<long long>(state->Info.image_width) * state->Info.image_height;
  if (pixels <= 0 || pixels > MaxJpegPixels) {
    std::snprintf(state->Errors.Message, sizeof state->Errors.Message, "Picture too large: %u x %u pixels",
                  state->Info.image_width, state->Info.image_height);
    jpeg_destroy_decompress(&state->Info);
    return false;
  }
  state->Info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&state->Info);
  AllocateImage(state, static_cast<int>(state->Info.output_width),
                static_cast<int>(state->Info.output_height));
  if (state->Image.isNull() || state->Info.output_components != 3) {
    std::snprintf(state->Errors.Message, sizeof state->Errors.Message,
                  "Cannot hold a picture of %u x %u pixels", state->Info.output_width,
                  state->Info.output_height);
    jpeg_destroy_decompress(&state->Info);
    return false;
  }
  while (state->Info.output_scanline < state->Info.output_height) {
    JSAMPROW row = state->Image.scanLine(static_cast<int>(state->Info.output_scanline));
    jpeg_read_scanlines(&state->Info, &row, 1);
  }
  jpeg_finish_decompress(&state->Info);
  jpeg_destroy_decompress(&state->Info);
  return true;
}

struct EncodeState {
  jpeg_compress_struct Info;
  ErrorManager Errors;
  unsigned char* Buffer;
  unsigned long Size;
};

bool EncodeInto(EncodeState* state, const QImage* image, int quality) {
  InstallErrorManager(state->Errors);
  state->Info.err = &state->Errors.Base;
  if (setjmp(state->Errors.Jump) != 0) {
    jpeg_destroy_compress(&state->Info);
    return false;
  }
  jpeg_create_compress(&state->Info);
  jpeg_mem_dest(&state->Info, &state->Buffer, &state->Size);
  state->Info.image_width = static_cast<JDIMENSION>(image->width());
  state->Info.image_height = static_cast<JDIMENSION>(image->height());
  state->Info.input_components = 3;
  state->Info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&state->Info);
  jpeg_set_quality(&state->Info, quality, TRUE);
  jpeg_start_compress(&state->Info, TRUE);
  while (state->Info.next_scanline < state->Info.image_height) {
    // libjpeg's row type is not const, but compression only reads the rows.
    JSAMPROW row = const_cast<JSAMPROW>(image->constScanLine(static_cast<int>(state->Info.next_scanline)));
    jpeg_write_scanlines(&state->Info, &row, 1);
  }
  jpeg_finish_compress(&state->Info);
  jpeg_destroy_compress(&state->Info);
  return true;
}
}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
  if (data.isEmpty()) throw EJpegError("Not a JPEG picture: the data is empty");
  DecodeState state;
  std::memset(&state.Info, 0, sizeof state.Info);
  if (!DecodeInto(&state, reinterpret_cast<const unsigned char*>(data.constData()),
                  static_cast<unsigned long>(data.size()))) {
    throw EJpegError(std::string("Cannot decode the JPEG picture: ") + state.Errors.Message);
  }
  return state.Image.convertToFormat(QImage::Format_RGB32);
}

QImage LoadJpeg(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw EJpegError(
        QStringLiteral("Cannot read \"%1\": %2").arg(ShownName(path), file.errorString()).toStdString());
  }
  return DecodeJpeg(file.readAll());
}

QByteArray EncodeJpeg(const QImage& image, int quality) {
  if (image.isNull()) throw EJpegError("Cannot encode an empty picture as JPEG");
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  EncodeState state;
  std::memset(&state.Info, 0, sizeof state.Info);
  state.Buffer = nullptr;
  state.Size = 0;
  const bool encoded = EncodeInto(&state, &rgb, quality < 1 ? 1 : quality > 100 ? 100 : quality);
  QByteArray result;
  if (encoded)
    result = QByteArray(reinterpret_cast<const char*>(state.Buffer), static_cast<qsizetype>(state.Size));
  std::free(state.Buffer);
  if (!encoded) throw EJpegError(std::string("Cannot encode the JPEG picture: ") + state.Errors.Message);
  return result;
}
