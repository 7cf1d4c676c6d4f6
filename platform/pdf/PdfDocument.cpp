#include "platform/pdf/PdfDocument.h"

#include "platform/PageRecording.h"
#include "platform/pdf/PdfFile.h"
#include "platform/pdf/PdfFonts.h"
#include "platform/pdf/PdfImages.h"

#include <QColorSpace>
#include <QCryptographicHash>
#include <QDateTime>
#include <QRawFont>
#include <QTimeZone>
#include <QUrl>
#include <QUuid>
#include <algorithm>
#include <cmath>

// libdeflate's fastest level. Measured on the 60 MB of content streams of the 100 000-entry ledger (2 088
// streams): level 1 writes 8.3 MB in 121 ms, 4 writes 6.9 MB in 216 ms, 6 writes 6.4 MB in 329 ms, 9 writes
// 6.0 MB in 1 434 ms. The print takes about 3.3 s; its file is smaller than Qt's (9.5 MB) at any level, and
// the time is what users of long prints wait for.
const int TPdfDocument::DefaultDeflateLevel = 1;

TPdfDocument::TPdfDocument(QIODevice& device, const TInformation& information, int deflateLevel)
    : file_(std::make_unique<TPdfFile>(device, deflateLevel)),
      fonts_(std::make_unique<TPdfFonts>()),
      images_(std::make_unique<TPdfImages>()),
      information_(information) {
  pagesObject_ = file_->Reserve();
}

TPdfDocument::~TPdfDocument() = default;

bool TPdfDocument::Failed() const { return file_->Failed(); }

void TPdfDocument::BeginPage(const QPageLayout& layout, int resolution) {
  EndPage();
  pageOpen_ = true;
  layout_ = layout;
  resolution_ = resolution > 0 ? resolution : 72;
  content_.clear();
  pageFonts_.clear();
  fontsUsed_.clear();
  picturesUsed_.clear();
  alphasUsed_.clear();
  // Device pixels from the top left of the printable area onto the paper's points, as Qt's writer places
  // them: its margins in whole pixels.
  const double scale = 72.0 / resolution_;
  const QRect printable = layout_.paintRectPixels(resolution_);
  pageObject_ = file_->Reserve();
  toPoints_ = QTransform(scale, 0, 0, -scale, printable.left() * scale,
                         layout_.fullRectPoints().height() - printable.top() * scale);
  links_.clear();
  content_.append("q ");
  for (const double value : {scale, 0.0, 0.0, -scale, printable.left() * scale,
                             layout_.fullRectPoints().height() - printable.top() * scale}) {
    Pdf::AppendNumber(content_, value);
    content_.append(' ');
  }
  content_.append("cm\n");
}

bool TPdfDocument::Play(const QByteArray& recording, const QPaintDevice* layoutDevice, int pageCount) {
  if (!pageOpen_) return false;
  // Played straight into the page's content; a recording that could not be played whole is taken out again.
  const qsizetype before = content_.size();
  content_.append("q\n");
  TPdfPagePlayer player(*this, content_, layoutDevice);
  const bool whole = PlayRecording(player, recording, pageCount);
  player.Finish();
  if (!whole) {
    content_.truncate(before);
    return false;
  }
  content_.append("Q\n");
  return true;
}

void TPdfDocument::DrawPicture(const QImage& picture) {
  if (!pageOpen_ || picture.isNull()) return;
  const QByteArray name = Picture(picture);
  content_.append("q ");
  for (const double value :
       {double(picture.width()), 0.0, 0.0, -double(picture.height()), 0.0, double(picture.height())}) {
    Pdf::AppendNumber(content_, value);
    content_.append(' ');
  }
  content_.append("cm " + name + " Do Q\n");
}

void TPdfDocument::EndPage() {
  if (!pageOpen_) return;
  pageOpen_ = false;
  content_.append("Q\n");
  const int contents = file_->Reserve();
  file_->Stream(contents, QByteArray(), content_);
  QByteArray resources("<< ");
  const auto dictionary = [this, &resources](const char* kind, const std::set<QByteArray>& names) {
    if (names.empty()) return;
    resources.append(kind);
    resources.append(" << ");
    for (const QByteArray& name : names)
      resources.append(name + ' ' + Pdf::Reference(names_.value(name)) + ' ');
    resources.append(">> ");
  };
  dictionary("/Font", fontsUsed_);
  dictionary("/XObject", picturesUsed_);
  dictionary("/ExtGState", alphasUsed_);
  resources.append(">>");
  const QRect paper = layout_.fullRectPoints();
  QByteArray box("[0 0 ");
  Pdf::AppendInteger(box, paper.width());
  box.append(' ');
  Pdf::AppendInteger(box, paper.height());
  box.append(']');
  const int page = pageObject_;
  while (!openElements_.empty()) CloseElement();
  QByteArray annotations;
  if (information_.Tagged) {
    // Screen readers go through the annotations in the order of the structure.
    annotations = " /Tabs /S";
    if (pageMarkedContents_ > 0) {
      const int parents = file_->Reserve();
      file_->CompactObject(parents, '[' + pageParents_ + ']');
      annotations += " /StructParents ";
      Pdf::AppendInteger(annotations, parentTreeKeys_);
      Pdf::AppendInteger(parentTree_, parentTreeKeys_++);
      parentTree_ += ' ' + Pdf::Reference(parents) + ' ';
    }
    pageParents_.clear();
    pageMarkedContents_ = 0;
  }
  if (!links_.empty()) {
    annotations += " /Annots [";
    for (const auto& [object, link] : links_) {
      file_->Object(object, link + " /P " + Pdf::Reference(page) + " >>");
      annotations += Pdf::Reference(object) + ' ';
    }
    annotations += ']';
    links_.clear();
  }
  file_->Object(page, "<< /Type /Page /Parent " + Pdf::Reference(pagesObject_) + " /MediaBox " + box +
                          " /Resources " + resources + " /Contents " + Pdf::Reference(contents) +
                          annotations + " >>");
  pages_.push_back(page);
  content_ = QByteArray();
}

bool TPdfDocument::Finish() {
  EndPage();
  fonts_->WriteAll(*file_, information_.Archival);
  QByteArray kids("[");
  for (const int page : pages_) kids.append(Pdf::Reference(page) + ' ');
  kids.append(']');
  QByteArray count;
  Pdf::AppendInteger(count, static_cast<qint64>(pages_.size()));
  file_->Object(pagesObject_, "<< /Type /Pages /Kids " + kids + " /Count " + count + " >>");
  const QDateTime now = QDateTime::currentDateTimeUtc();
  const int catalogue = file_->Reserve();
  // A viewer shows the title rather than the file's name, and a screen reader reads in the document's
  // language.
  QByteArray catalogueEntries = "<< /Type /Catalog /Pages " + Pdf::Reference(pagesObject_) +
                                " /ViewerPreferences << /DisplayDocTitle true >>";
  const QByteArray language = LanguageTag();
  if (!language.isEmpty()) catalogueEntries += " /Lang (" + language + ")";
  if (const int outline = WriteOutline(); outline != 0)
    catalogueEntries += " /Outlines " + Pdf::Reference(outline) + " /PageMode /UseOutlines";
  // The metadata is plain XML, so that a program that does not read PDF can still find it.
  const int metadata = file_->Reserve();
  file_->RawStream(metadata, "/Type /Metadata /Subtype /XML", Metadata(now));
  catalogueEntries += " /Metadata " + Pdf::Reference(metadata);
  if (information_.Archival)
    catalogueEntries += " /OutputIntents [" + Pdf::Reference(WriteOutputIntent()) + ']';
  if (const int structure = WriteStructureTree(); structure != 0)
    catalogueEntries += " /MarkInfo << /Marked true >> /StructTreeRoot " + Pdf::Reference(structure);
  file_->Object(catalogue, catalogueEntries + " >>");
  const int information = file_->Reserve();
  const QByteArray date = "(D:" + now.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z)";
  QByteArray entries = "<< /Title " + Pdf::TextString(information_.Title);
  for (const auto& [key, value] :
       {std::pair{"Author", &information_.Author}, {"Subject", &information_.Subject}}) {
    if (!value->isEmpty()) entries += QByteArray(" /") + key + ' ' + Pdf::TextString(*value);
  }
  file_->Object(information, entries + " /Creator " + Pdf::TextString(information_.Creator) + " /Producer " +
                                 Pdf::TextString(information_.Producer) + " /CreationDate " + date +
                                 " /ModDate " + date + " >>");
  // The file's identifier tells this file from any other, also one of the same title made the same second.
  QCryptographicHash identifier(QCryptographicHash::Md5);
  identifier.addData(QUuid::createUuid().toRfc4122());
  identifier.addData(information_.Title.toUtf8());
  file_->Finish(catalogue, information, identifier.result());
  return !file_->Failed();
}

QByteArray TPdfDocument::LanguageTag() const {
  // A language tag is letters, digits and hyphens: written as they are, readers that want plain ASCII have
  // it.
  QByteArray language;
  for (const QChar character : information_.Language) {
    if (character.isLetterOrNumber() && character.unicode() < 0x80)
      language += static_cast<char>(character.unicode());
    else if (character == QLatin1Char('-'))
      language += '-';
  }
  return language;
}

QByteArray TPdfDocument::Metadata(const QDateTime& now) const {
  const auto escaped = [](const QString& text) { return text.toHtmlEscaped().toUtf8(); };
  const QByteArray date = now.toString(Qt::ISODate).toLatin1();
  QByteArray xml =
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
      "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
      "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" "
      "xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\" xmlns:pdfuaid=\"http://www.aiim.org/pdfua/ns/id/\">\n"
      "<dc:format>application/pdf</dc:format>\n"
      "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
      escaped(information_.Title) + "</rdf:li></rdf:Alt></dc:title>\n";
  if (!information_.Author.isEmpty())
    xml +=
        "<dc:creator><rdf:Seq><rdf:li>" + escaped(information_.Author) + "</rdf:li></rdf:Seq></dc:creator>\n";
  if (!information_.Subject.isEmpty()) {
    xml += "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" + escaped(information_.Subject) +
           "</rdf:li></rdf:Alt></dc:description>\n";
  }
  if (const QByteArray language = LanguageTag(); !language.isEmpty())
    xml += "<dc:language><rdf:Bag><rdf:li>" + language + "</rdf:li></rdf:Bag></dc:language>\n";
  xml += "<xmp:CreatorTool>" + escaped(information_.Creator) + "</xmp:CreatorTool>\n<xmp:CreateDate>" + date +
         "</xmp:CreateDate>\n<xmp:ModifyDate>" + date + "</xmp:ModifyDate>\n<pdf:Producer>" +
         escaped(information_.Producer) + "</pdf:Producer>\n";
  // The file names the archival standard only when it was written to meet it.
  if (information_.Archival)
    xml += "<pdfaid:part>2</pdfaid:part>\n<pdfaid:conformance>U</pdfaid:conformance>\n";
  // A tagged file names the accessibility standard whose checks its structure passes (see docs/library.md).
  if (information_.Tagged) xml += "<pdfuaid:part>1</pdfuaid:part>\n";
  xml += "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
  return xml;
}

int TPdfDocument::WriteOutputIntent() {
  // The pages' colours are sRGB, the screen's: the profile is Qt's own description of it.
  const QByteArray profile = QColorSpace(QColorSpace::SRgb).iccProfile();
  const int stream = file_->Reserve();
  file_->Stream(stream, "/N 3", profile);
  const int intent = file_->Reserve();
  file_->Object(intent,
                "<< /Type /OutputIntent /S /GTS_PDFA1 /OutputConditionIdentifier (sRGB IEC61966-2.1) "
                "/Info (sRGB IEC61966-2.1) /DestOutputProfile " +
                    Pdf::Reference(stream) + " >>");
  return intent;
}

void TPdfDocument::OutlineEntry(int level, const QPointF& device, const QString& title) {
  if (!pageOpen_) return;
  // A page printed again, as a further copy, leads the outline nowhere new: the first copy has its entries.
  const QPointF at = toPoints_.map(device);
  if (!outlineMade_.insert({level, at.x(), at.y(), title}).second) return;
  outline_.push_back({level, title, pageObject_, at});
}

void TPdfDocument::Link(const QRectF& device, const QString& target) {
  // Only what a reader opens in a browser or a mail program: a page never runs or opens a local file.
  const QUrl url(target);
  const QString scheme = url.scheme().toLower();
  if (!pageOpen_ || !url.isValid() ||
      (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
       scheme != QLatin1String("mailto")))
    return;
  const QRectF area = toPoints_.mapRect(device);
  QByteArray link("<< /Type /Annot /Subtype /Link /Rect [");
  for (const double edge : {area.left(), area.top(), area.right(), area.bottom()}) {
    Pdf::AppendNumber(link, edge);
    link.append(' ');
  }
  // A URI is ASCII: anything else goes percent-encoded, as a browser would send it. The address is also the
  // link's description, which a screen reader says.
  const QByteArray uri = Pdf::ByteString(url.toEncoded());
  link.append("] /Border [0 0 0] /F 4 /Contents " + Pdf::TextString(target) + " /A << /S /URI /URI " + uri +
              " >>");
  const int object = file_->Reserve();
  if (information_.Tagged) {
    // A link is an element of the structure where it stands, naming its annotation.
    if (documentElement_ == 0) documentElement_ = file_->Reserve();
    const int element = file_->Reserve();
    const int parent = openElements_.empty() ? documentElement_ : openElements_.back().Object;
    file_->CompactObject(element, "<< /S /Link /P " + Pdf::Reference(parent) + " /Pg " +
                                      Pdf::Reference(pageObject_) + " /K << /Type /OBJR /Obj " +
                                      Pdf::Reference(object) + " /Pg " + Pdf::Reference(pageObject_) +
                                      " >> >>");
    (openElements_.empty() ? documentKids_ : openElements_.back().Kids) += Pdf::Reference(element) + ' ';
    link.append(" /StructParent ");
    Pdf::AppendInteger(link, parentTreeKeys_);
    Pdf::AppendInteger(parentTree_, parentTreeKeys_++);
    parentTree_ += ' ' + Pdf::Reference(element) + ' ';
  }
  links_.emplace_back(object, link);
}

void TPdfDocument::BeginStructure(const TStructureMark& mark) {
  if (!pageOpen_ || Resume(mark)) return;
  if (documentElement_ == 0) documentElement_ = file_->Reserve();
  // A new element of a key held ends the one held: the next copy of a page begins its table anew.
  if (mark.Key != 0) {
    if (const auto held = held_.find(mark.Key); held != held_.end()) {
      WriteElement(held->second);
      held_.erase(held);
    }
  }
  const int parent = openElements_.empty() ? documentElement_ : openElements_.back().Object;
  openElements_.push_back({file_->Reserve(), parent, pageObject_, mark, QByteArray(), false, false});
}

bool TPdfDocument::Resume(const TStructureMark& mark) {
  if (mark.Key == 0 || !mark.Continued) return false;
  const auto held = held_.find(mark.Key);
  if (held == held_.end() || held->second.Mark.Role != mark.Role) return false;
  openElements_.push_back(std::move(held->second));
  held_.erase(held);
  return true;
}

void TPdfDocument::EndStructure() {
  if (!openElements_.empty()) CloseElement();
}

int TPdfDocument::MarkedContent() {
  const int number = pageMarkedContents_++;
  if (!openElements_.empty()) {
    TElement& element = openElements_.back();
    element.Marked = true;
    if (element.Page == pageObject_) {
      Pdf::AppendInteger(element.Kids, number);
    } else {
      element.Kids += "<< /Type /MCR /Pg " + Pdf::Reference(pageObject_) + " /MCID ";
      Pdf::AppendInteger(element.Kids, number);
      element.Kids += " >>";
    }
    element.Kids += ' ';
    Pdf::AppendInteger(pageParents_, element.Object);
    pageParents_ += " 0 R ";
  } else {
    pageParents_ += "null ";
  }
  return number;
}

void TPdfDocument::CloseElement() {
  TElement element = std::move(openElements_.back());
  openElements_.pop_back();
  if (!element.Named) {
    QByteArray& kids = openElements_.empty() ? documentKids_ : openElements_.back().Kids;
    Pdf::AppendInteger(kids, element.Object);
    kids += " 0 R ";
    element.Named = true;
  }
  if (element.Mark.Key != 0) {
    held_[element.Mark.Key] = std::move(element);
    return;
  }
  WriteElement(element);
}

void TPdfDocument::WriteElement(const TElement& element) {
  // A table cell's element is written for every cell of a long ledger: built in one buffer.
  QByteArray& entry = elementText_;
  entry.resize(0);
  entry.append("<</S");
  entry.append(Pdf::RoleName(element.Mark.Role));
  entry.append("/P ");
  Pdf::AppendInteger(entry, element.Parent);
  // Only an element with marked content of its own needs its page; others name their kids' elements.
  if (element.Marked) {
    entry.append(" 0 R/Pg ");
    Pdf::AppendInteger(entry, element.Page);
  }
  entry.append(" 0 R/K[");
  entry.append(element.Kids);
  entry.append(']');
  if (!element.Mark.Alt.isEmpty()) entry += " /Alt " + Pdf::TextString(element.Mark.Alt);
  if (!element.Mark.ActualText.isEmpty()) entry += " /ActualText " + Pdf::TextString(element.Mark.ActualText);
  if (element.Mark.Scope != 0)
    entry +=
        element.Mark.Scope == 1 ? " /A << /O /Table /Scope /Column >>" : " /A << /O /Table /Scope /Row >>";
  entry.append(">>");
  file_->CompactObject(element.Object, entry);
}

int TPdfDocument::WriteStructureTree() {
  for (const auto& held : held_) WriteElement(held.second);
  held_.clear();
  if (documentElement_ == 0) return 0;
  const int root = file_->Reserve();
  file_->Object(documentElement_, "<< /Type /StructElem /S /Document /P " + Pdf::Reference(root) + " /K [" +
                                      documentKids_ + "] >>");
  const int parentTree = file_->Reserve();
  file_->Object(parentTree, "<< /Nums [" + parentTree_ + "] >>");
  QByteArray next;
  Pdf::AppendInteger(next, parentTreeKeys_);
  file_->Object(root, "<< /Type /StructTreeRoot /K " + Pdf::Reference(documentElement_) + " /ParentTree " +
                          Pdf::Reference(parentTree) + " /ParentTreeNextKey " + next + " >>");
  return root;
}

int TPdfDocument::WriteOutline() {
  if (outline_.empty()) return 0;
  // Each item's parent is the nearest item before it of a lower level; the root holds the rest.
  const int root = file_->Reserve();
  struct Node {
    int Object = 0;
    int Parent = -1;
    int Prev = -1;
    int Next = -1;
    int First = -1;
    int Last = -1;
    int Descendants = 0;
  };
  std::vector<Node> nodes(outline_.size());
  int rootFirst = -1;
  int rootLast = -1;
  std::vector<int> open;  // the items whose later children may still come, deepest last
  for (int index = 0; index < static_cast<int>(outline_.size()); ++index) {
    Node& node = nodes[static_cast<std::size_t>(index)];
    node.Object = file_->Reserve();
    while (!open.empty() && outline_[static_cast<std::size_t>(open.back())].Level >=
                                outline_[static_cast<std::size_t>(index)].Level)
      open.pop_back();
    node.Parent = open.empty() ? -1 : open.back();
    int& last = node.Parent < 0 ? rootLast : nodes[static_cast<std::size_t>(node.Parent)].Last;
    int& first = node.Parent < 0 ? rootFirst : nodes[static_cast<std::size_t>(node.Parent)].First;
    if (last >= 0) {
      nodes[static_cast<std::size_t>(last)].Next = index;
      node.Prev = last;
    } else {
      first = index;
    }
    last = index;
    for (int ancestor = node.Parent; ancestor >= 0;
         ancestor = nodes[static_cast<std::size_t>(ancestor)].Parent)
      ++nodes[static_cast<std::size_t>(ancestor)].Descendants;
    open.push_back(index);
  }
  const auto reference = [&nodes](int index) {
    return Pdf::Reference(nodes[static_cast<std::size_t>(index)].Object);
  };
  for (std::size_t index = 0; index < nodes.size(); ++index) {
    const Node& node = nodes[index];
    const TOutlineItem& item = outline_[index];
    QByteArray entry = "<< /Title " + Pdf::TextString(item.Title) + " /Parent " +
                       (node.Parent < 0 ? Pdf::Reference(root) : reference(node.Parent));
    if (node.Prev >= 0) entry += " /Prev " + reference(node.Prev);
    if (node.Next >= 0) entry += " /Next " + reference(node.Next);
    if (node.First >= 0) {
      entry += " /First " + reference(node.First) + " /Last " + reference(node.Last) + " /Count ";
      Pdf::AppendInteger(entry, node.Descendants);
    }
    entry += " /Dest [" + Pdf::Reference(item.Page) + " /XYZ ";
    Pdf::AppendNumber(entry, item.At.x());
    entry += ' ';
    Pdf::AppendNumber(entry, item.At.y());
    entry += " null] >>";
    file_->Object(node.Object, entry);
  }
  QByteArray rootEntry =
      "<< /Type /Outlines /First " + reference(rootFirst) + " /Last " + reference(rootLast) + " /Count ";
  Pdf::AppendInteger(rootEntry, static_cast<qint64>(nodes.size()));
  file_->Object(root, rootEntry + " >>");
  return root;
}

TPdfFont& TPdfDocument::Font(const QRawFont& raw) {
  TPdfFont& font = fonts_->FontFor(raw, *file_);
  Use(font);
  return font;
}

TShownText* TPdfDocument::Shown(int font, const QString& text) {
  // A document's texts are mostly a few repeated ones (dates, names, titles); the unique ones (amounts) come
  // and go.
  constexpr qsizetype MostKept = 4096;
  const std::pair<int, QString> key(font, text);
  const auto found = shown_.find(key);
  if (found != shown_.end()) return &found.value();
  if (shown_.size() >= MostKept) shown_.clear();
  return &shown_[key];
}

void TPdfDocument::Use(TPdfFont& font) {
  if (std::find(pageFonts_.begin(), pageFonts_.end(), &font) != pageFonts_.end()) return;
  pageFonts_.push_back(&font);
  if (font.Embeddable()) {
    const QByteArray name = '/' + font.ResourceName();
    fontsUsed_.insert(name);
    names_.insert(name, font.Object());
  }
}

QByteArray TPdfDocument::PictureName(int object) {
  const QByteArray name = "/I" + QByteArray::number(object);
  picturesUsed_.insert(name);
  names_.insert(name, object);
  return name;
}

QByteArray TPdfDocument::Picture(const QImage& image) { return PictureName(images_->Picture(image, *file_)); }

QByteArray TPdfDocument::Stencil(const QImage& image) { return PictureName(images_->Stencil(image, *file_)); }

QByteArray TPdfDocument::Alpha(double fill, double stroke) {
  const auto fillStep = static_cast<quint64>(std::lround(fill * 1000));
  const auto strokeStep = static_cast<quint64>(std::lround(stroke * 1000));
  const quint64 key = fillStep << 32 | strokeStep;
  int object = alphas_.value(key, -1);
  if (object < 0) {
    object = file_->Reserve();
    QByteArray state("<< /Type /ExtGState /ca ");
    Pdf::AppendNumber(state, fillStep / 1000.0);
    state.append(" /CA ");
    Pdf::AppendNumber(state, strokeStep / 1000.0);
    state.append(" >>");
    file_->Object(object, state);
    alphas_.insert(key, object);
  }
  const QByteArray name = "/G" + QByteArray::number(object);
  alphasUsed_.insert(name);
  names_.insert(name, object);
  return name;
}
