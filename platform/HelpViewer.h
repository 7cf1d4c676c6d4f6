#pragma once

// The help window, showing the program's HTML help page at the topic the user asked about.

#include <QString>
#include <QWidget>

class QPushButton;
class QTextBrowser;

/**
 * The help window: an HTML help file shown at a topic. A topic is an anchor of the page
 * (<a name="IDH_CONTENTS">), the place a context string of the program jumps to. It has the manners of a
 * desktop help viewer: Back and Forward through the topics visited, Home for the contents topic, Close (and
 * Escape or Ctrl+W), margins round the text; a link to a web site or a mail address goes to the desktop's
 * own program through the shell launch.
 */
class THelpViewer : public QWidget {
  Q_OBJECT
public:
  explicit THelpViewer(QWidget* parent = nullptr);

  /** The topic Home goes to: the page's contents. */
  static QString ContentsTopic() { return QStringLiteral("IDH_CONTENTS"); }

  /**
   * Loads the help file (a path, or a ":/..." resource) and shows it at the topic. Returns an empty text when
   * the topic is shown, otherwise what went wrong; a page without the topic is shown from its top.
   */
  QString ShowTopic(const QString& path, const QString& topic);
  /** Shows the window centred on that window (on the screen when there is none), in front. */
  void ShowOver(const QWidget* window);

  /** The topic on display, empty when the page is shown from its top. */
  QString Topic() const { return topic_; }
  QTextBrowser& Browser() { return *browser_; }
  QPushButton& BackButton() { return *back_; }
  QPushButton& ForwardButton() { return *forward_; }
  QPushButton& HomeButton() { return *home_; }
  QPushButton& CloseButton() { return *close_; }

private:
  void FollowLink(const QUrl& link);
  void GoHome();

  QTextBrowser* browser_;
  QPushButton* back_;
  QPushButton* forward_;
  QPushButton* home_;
  QPushButton* close_;
  QString topic_;
};
