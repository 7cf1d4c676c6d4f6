#include "platform/HelpViewer.h"
#include "platform/SysUtils.h"

#include <QFileInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace {
bool HasAnchor(const QTextDocument& document, const QString& name) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      if (fragment.fragment().charFormat().anchorNames().contains(name)) return true;
    }
  }
  return false;
}
}  // namespace

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  browser_->setOpenExternalLinks(true);
  resize(600, 480);
}

QString THelpViewer::ShowTopic(const QString& path, const QString& topic) {
  topic_.clear();
  if (!QFileInfo(path).isFile())
    return QStringLiteral("Cannot find the help file \"%1\".").arg(ShownName(path));
  const QUrl page = path.startsWith(QLatin1String(":/"))
                        ? QUrl(QStringLiteral("qrc") + path)
                        : QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
  browser_->setSource(page, QTextDocument::HtmlResource);
  if (browser_->document()->isEmpty())
    return QStringLiteral("The help file \"%1\" cannot be read.").arg(ShownName(path));
  if (topic.isEmpty() || !HasAnchor(*browser_->document(), topic)) {
    browser_->verticalScrollBar()->setValue(0);
    return QStringLiteral("The help topic \"%1\" does not exist in \"%2\".")
        .arg(topic, QFileInfo(path).fileName());
  }
  topic_ = topic;
  browser_->scrollToAnchor(topic);
  return {};
}
