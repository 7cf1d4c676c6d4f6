#pragma once

// Links placed on a form, launched with the desktop's default program for their scheme.

#include <QObject>
#include <QString>

/** The scheme a link is launched with. */
enum TURLType { utFile, utFtp, utGopher, utHttp, utHttps, utMailto, utNews, utTelnet, utWais };

/** The prefix a link type puts in front of its address ("http://", "mailto:", ...). */
QString URLTypePrefix(TURLType type);

/**
 * Hands a target to the desktop shell with its default action (owner: the main window) and returns the
 * shell's result code, above 32 on success. The texts are passed whole, however long.
 */
int ShellRun(const QString& file, const QString& parameters, const QString& directory, int showMode);

/**
 * A link placed on a form: an address kept without its scheme, and the type that supplies the scheme when the
 * link is launched. The address is stored exactly as given (a scheme already in it is not removed, so
 * launching puts a second one in front).
 */
class TURL : public QObject {
  Q_OBJECT
public:
  explicit TURL(QObject* owner);

  QString URL() const { return url_; }
  void SetURL(const QString& url) { url_ = url; }
  TURLType URLType() const { return urlType_; }
  void SetURLType(TURLType type) { urlType_ = type; }

  /** The text handed to the shell: the type's prefix followed by the address. */
  QString Target() const { return URLTypePrefix(urlType_) + url_; }

  /**
   * Opens the link with the desktop's default program, without activating it. False, and nothing started,
   * for an empty address; otherwise whether the shell reports success.
   */
  bool Launch();

private:
  QString url_;
  TURLType urlType_ = utHttp;
};
