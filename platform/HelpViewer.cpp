#include "platform/HelpViewer.h"

#include "platform/Shell.h"
#include "platform/SysUtils.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
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

// Room round the text, so it does not stand against the window's edge.
constexpr int TextMargin = 14;

QPushButton* MakeButton(QWidget* parent, const QString& caption, QStyle::StandardPixmap icon) {
  auto* button = new QPushButton(parent->style()->standardIcon(icon), caption, parent);
  button->setAutoDefault(false);
  return button;
}
}  // namespace

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
  back_ = MakeButton(this, QStringLiteral("&Back"), QStyle::SP_ArrowBack);
  forward_ = MakeButton(this, QStringLiteral("&Forward"), QStyle::SP_ArrowForward);
  home_ = MakeButton(this, QStringLiteral("&Home"), QStyle::SP_DirHomeIcon);
  close_ = MakeButton(this, QStringLiteral("&Close"), QStyle::SP_DialogCloseButton);
  back_->setEnabled(false);
  forward_->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back_);
  buttons->addWidget(forward_);
  buttons->addWidget(home_);
  buttons->addStretch();
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(buttons);
  layout->addWidget(browser_);

  // Links are followed here: a topic of the page in the window, anything else by the desktop.
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, &THelpViewer::FollowLink);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this,
          [this] { browser_->document()->setDocumentMargin(TextMargin); });
  connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(home_, &QPushButton::clicked, this, &THelpViewer::GoHome);
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  // Escape, Ctrl+W and the desktop's own keys for closing a window, each once (a key bound twice would do
  // nothing).
  QList<QKeySequence> closeKeys = {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
  for (const QKeySequence& keys : QKeySequence::keyBindings(QKeySequence::Close)) {
    if (!closeKeys.contains(keys)) closeKeys.append(keys);
  }
  for (const QKeySequence& keys : closeKeys) {
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, this, &QWidget::close);
  }
  resize(640, 520);
}

QString THelpViewer::ShowTopic(const QString& path, const QString& topic) {
  topic_.clear();
  if (!QFileInfo(path).isFile())
    return QStringLiteral("Cannot find the help file \"%1\".").arg(ShownName(path));
  const QUrl page = path.startsWith(QLatin1String(":/"))
                        ? QUrl(QStringLiteral("qrc") + path)
                        : QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
  browser_->setSource(page, QTextDocument::HtmlResource);
  browser_->document()->setDocumentMargin(TextMargin);
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

void THelpViewer::ShowOver(const QWidget* window) {
  const QRect around = window != nullptr && window->isVisible() ? window->frameGeometry()
                       : QGuiApplication::primaryScreen() != nullptr
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect();
  if (!isVisible() && around.isValid()) move(around.center() - rect().center());
  show();
  raise();
  activateWindow();
}

void THelpViewer::FollowLink(const QUrl& link) {
  const QUrl target = browser_->source().resolved(link);
  // Pages of the help (a file or a built-in page) open here; web sites and mail addresses are the desktop's.
  if (target.scheme() != QLatin1String("qrc") && target.scheme() != QLatin1String("file")) {
    ShellExecute(this, QString(), target.toString(), QString(), QString(), SW_SHOWNORMAL);
    return;
  }
  browser_->setSource(target);
  topic_ = target.fragment();
}

void THelpViewer::GoHome() {
  QUrl contents = browser_->source();
  if (contents.isEmpty()) return;
  if (HasAnchor(*browser_->document(), ContentsTopic())) {
    contents.setFragment(ContentsTopic());
    browser_->setSource(contents);
    topic_ = ContentsTopic();
  } else {
    browser_->verticalScrollBar()->setValue(0);
  }
}
