#include "platform/SvgIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <memory>

namespace {
class SvgIconEngine : public QIconEngine {
public:
  explicit SvgIconEngine(const QString& fileName)
      : fileName_(fileName), renderer_(std::make_shared<QSvgRenderer>(fileName)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    if (!renderer_->isValid()) return;
    painter->save();
    // A disabled button shows its glyph faded, as the desktop fades disabled text.
    if (mode == QIcon::Disabled) painter->setOpacity(painter->opacity() * 0.35);
    renderer_->render(painter, FittedRect(rect));
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  // Asked for the device pixels of the screen the icon is shown on (a 16-pixel icon on a screen of scale 2
  // comes as 32 pixels at scale 2): drawn at that many pixels, never enlarged from fewer.
  QPixmap scaledPixmap(const QSize& pixels, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    if (pixels.isEmpty()) return QPixmap();
    QPixmap picture(pixels);
    picture.fill(Qt::transparent);
    {
      QPainter painter(&picture);
      painter.setRenderHint(QPainter::Antialiasing);
      paint(&painter, QRect(QPoint(0, 0), pixels), mode, state);
    }
    picture.setDevicePixelRatio(scale > 0 ? scale : 1.0);
    return picture;
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }

  QIconEngine* clone() const override { return new SvgIconEngine(*this); }
  QString key() const override { return QStringLiteral("quenary-svg"); }

private:
  // The picture keeps its proportions, centred in the rectangle.
  QRectF FittedRect(const QRect& rect) const {
    QSizeF natural = renderer_->viewBoxF().size();
    if (natural.isEmpty()) return rect;
    natural.scale(rect.size(), Qt::KeepAspectRatio);
    return QRectF(rect.x() + (rect.width() - natural.width()) / 2.0,
                  rect.y() + (rect.height() - natural.height()) / 2.0, natural.width(), natural.height());
  }

  QString fileName_;
  std::shared_ptr<QSvgRenderer> renderer_;
};
}  // namespace

QIcon SvgIcon(const QString& fileName) { return QIcon(new SvgIconEngine(fileName)); }

bool SvgIconIsReadable(const QString& fileName) { return QSvgRenderer(fileName).isValid(); }
