#include "platform/ShapedTexts.h"

#include <QCoreApplication>
#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <QThread>
#include <algorithm>
#include <memory>

namespace {

// A line as wide as this never wraps, and its text starts at its left edge; the painter lays its one-line
// texts out the same way.
constexpr double UnboundedWidth = 0x01000000;

}  // namespace

bool TShapedTexts::IsPlainLine(const QString& text) {
  return std::none_of(text.begin(), text.end(), [](QChar character) {
    return character.unicode() < 0x20 || character == QChar::LineSeparator ||
           character == QChar::ParagraphSeparator || character.unicode() == 0x7F;
  });
}

int TShapedTexts::FontNumber(const QFont& font, const QPaintDevice* device) {
  const int dpiX = device != nullptr ? device->logicalDpiX() : 0;
  const int dpiY = device != nullptr ? device->logicalDpiY() : 0;
  const QString key = QStringLiteral("%1|%2|%3|%4|%5")
                          .arg(font.toString())
                          .arg(font.kerning() ? 1 : 0)
                          .arg(static_cast<int>(font.hintingPreference()))
                          .arg(dpiX)
                          .arg(dpiY);
  const auto known = numbers_.constFind(key);
  if (known != numbers_.constEnd()) return known.value();
  const auto number = static_cast<int>(fonts_.size());
  fonts_.emplace_back();
  numbers_.insert(key, number);
  return number;
}

void TShapedTexts::Draw(QPainter& painter, int font, const QPointF& baselineStart, const QString& text) {
  if (font < 0 || static_cast<std::size_t>(font) >= fonts_.size() || text.size() > MaximumKeptLength ||
      !IsPlainLine(text)) {
    painter.drawText(baselineStart, text);
    return;
  }
  Texts& texts = fonts_[static_cast<std::size_t>(font)];
  Layout* layout = Met(texts, text);
  if (layout == nullptr) {
    painter.drawText(baselineStart, text);
    Keep(texts, text, Layout());
    return;
  }
  if (!layout->LaidOut) *layout = LayOut(text, painter.font(), painter.device(), painter.layoutDirection());
  const QPointF origin(baselineStart.x(), baselineStart.y() - layout->Ascent);
  for (const QGlyphRun& run : layout->Runs) painter.drawGlyphRun(origin, run);
}

TShapedTexts::Layout TShapedTexts::LayOut(const QString& text, const QFont& font, const QPaintDevice* device,
                                          Qt::LayoutDirection direction) {
  QTextLayout lines(text, font, const_cast<QPaintDevice*>(device));
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
  option.setTextDirection(direction);
  lines.setTextOption(option);
  lines.beginLayout();
  QTextLine line = lines.createLine();
  line.setLineWidth(UnboundedWidth);
  lines.endLayout();
  Layout layout;
  layout.Ascent = line.ascent();
  layout.Runs = lines.glyphRuns();
  layout.LaidOut = true;
  return layout;
}

TShapedTexts::TLine TShapedTexts::LayOutOnce(const QString& text, const QFont& font,
                                             const QPaintDevice* device, Qt::LayoutDirection direction) {
  const Layout once = LayOut(text, font, device, direction);
  return {once.Runs, once.Ascent};
}

bool TShapedTexts::IsLaidOut(int font, const QString& text) const {
  if (font < 0 || static_cast<std::size_t>(font) >= fonts_.size()) return false;
  const Texts& texts = fonts_[static_cast<std::size_t>(font)];
  for (const QHash<QString, Layout>* kept : {&texts.Recent, &texts.Older}) {
    const auto found = kept->constFind(text);
    if (found != kept->constEnd()) return found->LaidOut;
  }
  return false;
}

TShapedTexts::Layout* TShapedTexts::Met(Texts& texts, const QString& text) {
  const auto recent = texts.Recent.find(text);
  if (recent != texts.Recent.end()) return &recent.value();
  const auto older = texts.Older.find(text);
  if (older == texts.Older.end()) return nullptr;
  Layout layout = std::move(older.value());
  texts.Older.erase(older);
  return &Keep(texts, text, std::move(layout));
}

TShapedTexts::Layout& TShapedTexts::Keep(Texts& texts, const QString& text, Layout layout) {
  // A turn: what was met since the last one becomes the older texts, and what was not goes.
  if (kept_ >= MaximumKept) {
    for (Texts& each : fonts_) {
      each.Older = std::move(each.Recent);
      each.Recent = QHash<QString, Layout>();
    }
    kept_ = 0;
  }
  ++kept_;
  return texts.Recent.insert(text, std::move(layout)).value();
}

TShapedTexts* TShapedTexts::ForThisThread() {
  static std::unique_ptr<TShapedTexts> texts;
  // Once let go with the application, never made again: nothing may outlive the application's fonts.
  static bool gone = false;
  const QCoreApplication* application = QCoreApplication::instance();
  if (gone || application == nullptr || QThread::currentThread() != application->thread()) return nullptr;
  if (!texts) {
    texts = std::make_unique<TShapedTexts>();
    // A layout holds the font's glyphs, which must go before the application's fonts do.
    qAddPostRoutine([] {
      texts.reset();
      gone = true;
    });
  }
  return texts.get();
}
