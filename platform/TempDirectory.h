#pragma once

#include <QString>

/**
 * The program's private per-user folder for temporary files: "quenary" inside $XDG_RUNTIME_DIR when that is
 * set, otherwise "quenary-<uid>" inside $TMPDIR (or /tmp). It is created with mode 0700 and used only when it
 * is a real folder (never followed through a symbolic link) owned by this user with no access for others,
 * so no other user can plant or read files in it.
 *
 * Returns the folder's path, or an empty text when no such folder can be had.
 */
QString PrivateTempDirectory();
