#pragma once

// Hands links and documents to the desktop's own programs, as the help and links windows need.

#include <QString>

class QWidget;

/** Show commands of the shell's execute operation; the desktop decides how a launched program appears. */
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;

/**
 * Result codes of ShellExecute, following the shell's convention that a result above 32 is success.
 */
constexpr int ERROR_FILE_NOT_FOUND = 2;
constexpr int SE_ERR_NOASSOC = 31;
constexpr int ShellExecuteSuccess = 42;

/**
 * Opens a link or document with the desktop's default program (QDesktopServices::openUrl).
 *
 * The file is a URL when it starts with a scheme ("http://...", "mailto:..."), otherwise a local path,
 * taken relative to the directory when it is relative. Only the default action is known: an operation
 * other than empty or "open" gives SE_ERR_NOASSOC. Parameters matter only to programs, which this launcher
 * does not start, and are not passed; the owner and show command are left to the desktop.
 *
 * Returns ShellExecuteSuccess when the desktop took the target, ERROR_FILE_NOT_FOUND for an empty, malformed
 * or missing target, SE_ERR_NOASSOC when nothing on the desktop handles it.
 */
int ShellExecute(QWidget* owner, const QString& operation, const QString& file, const QString& parameters,
                 const QString& directory, int showCommand);
