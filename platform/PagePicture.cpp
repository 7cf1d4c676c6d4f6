#include "platform/PagePicture.h"

#include "platform/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QPainter>
#include <QRandomGenerator>
#include <array>

namespace {
// A page file is the picture's own byte stream behind a signature, a format number and a keyed digest of
// the stream. Qt's picture reader trusts the records it is given (damaged records that keep its 16-bit
// checksum right were measured to crash it or exhaust memory), so only a stream this process wrote itself
// is ever handed to it. Page files live from recording to printing or preview within one run.
const QByteArray Signature = QByteArrayLiteral("QNRYPAGE");
constexpr char FormatVersion = 1;
constexpr int DigestLength = 32;

const QByteArray& SessionKey() {
  static const QByteArray key = [] {
    std::array<quint32, 8> words{};
    QRandomGenerator::system()->fillRange(words.data(), static_cast<qsizetype>(words.size()));
    return QByteArray(reinterpret_cast<const char*>(words.data()), static_cast<qsizetype>(sizeof(words)));
  }();
  return key;
}

QByteArray Digest(const QByteArray& stream) {
  return QMessageAuthenticationCode::hash(stream, SessionKey(), QCryptographicHash::Blake2b_256);
}
}  // namespace

void PlayPicture(QPainter& painter, const QPicture& picture) {
  const QPaintDevice* device = painter.device();
  painter.save();
  if (device != nullptr && device->logicalDpiX() > 0 && device->logicalDpiY() > 0) {
    painter.scale(static_cast<double>(picture.logicalDpiX()) / device->logicalDpiX(),
                  static_cast<double>(picture.logicalDpiY()) / device->logicalDpiY());
  }
  QPicture playable(picture);  // shares the recording; play() is not const
  playable.play(&painter);
  painter.restore();
}

PagePicture::PagePicture() = default;

PagePicture::~PagePicture() {
  if (painter_) painter_->end();
}

QPainter& PagePicture::BeginRecording() {
  if (painter_) painter_->end();
  picture_ = QPicture();
  painter_ = std::make_unique<QPainter>(&picture_);
  return *painter_;
}

void PagePicture::EndRecording() {
  if (!painter_) return;
  painter_->end();
  painter_.reset();
}

void PagePicture::Save(const QString& fileName) const {
  const auto failed = [&fileName](const QString& reason) {
    return Exception(
        QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(fileName), reason));
  };
  // The picture's own byte stream, as QPicture::save would write it.
  const QByteArray stream(picture_.data(), static_cast<qsizetype>(picture_.size()));
  // Written in place: a page that breaks off half-way no longer matches its digest and is refused when read.
  QFile file(fileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw failed(file.errorString());
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  QByteArray content = Signature;
  content += FormatVersion;
  content += Digest(stream);
  content += stream;
  if (file.write(content) != content.size() || !file.flush()) {
    const QString reason = file.errorString();
    file.close();
    file.remove();
    throw failed(reason);
  }
}

bool PagePicture::Load(const QString& fileName, QString* error) {
  picture_ = QPicture();
  const auto fail = [error](const QString& reason) {
    if (error != nullptr) *error = reason;
    return false;
  };
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return fail(file.errorString());
  const QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) return fail(file.errorString());
  const qsizetype headerLength = Signature.size() + 1 + DigestLength;
  if (data.size() < headerLength || !data.startsWith(Signature) ||
      data.at(Signature.size()) != FormatVersion) {
    return fail(QStringLiteral("\"%1\" is not a page file.").arg(QDir::toNativeSeparators(fileName)));
  }
  QByteArray stream = data.mid(headerLength);
  if (Digest(stream) != data.mid(Signature.size() + 1, DigestLength)) {
    return fail(QStringLiteral("\"%1\" is damaged or was not recorded by this program.")
                    .arg(QDir::toNativeSeparators(fileName)));
  }
  picture_.setData(stream.constData(), static_cast<uint>(stream.size()));
  return true;
}

void PagePicture::Play(QPainter& painter) const { PlayPicture(painter, picture_); }

void PagePicture::PlayInto(QPainter& painter, const QRectF& target, const QSizeF& pageSize) const {
  if (pageSize.width() <= 0 || pageSize.height() <= 0) return;
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(target.width() / pageSize.width(), target.height() / pageSize.height());
  PlayPicture(painter, picture_);
  painter.restore();
}
