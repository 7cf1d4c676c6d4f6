#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

/**
 * The help window: an HTML help file shown at a topic. A topic is an anchor of the page
 * (<a name="IDH_CONTENTS">), the place a context string of the program jumps to.
 */
class THelpViewer : public QWidget {
  Q_OBJECT
public:
  explicit THelpViewer(QWidget* parent = nullptr);

  /**
   * Loads the help file (a path, or a ":/..." resource) and shows it at the topic. Returns an empty text when
   * the topic is shown, otherwise what went wrong; a page without the topic is shown from its top.
   */
  QString ShowTopic(const QString& path, const QString& topic);

  /** The topic on display, empty when the page is shown from its top. */
  QString Topic() const { return topic_; }
  QTextBrowser& Browser() { return *browser_; }

private:
  QTextBrowser* browser_;
  QString topic_;
};
