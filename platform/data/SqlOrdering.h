#pragma once

// Lets queries written with ASCENDING and DESCENDING run on SQLite, which knows only ASC and DESC.

#include <QString>

/**
 * The statement with the framework's spelled-out ordering words ASCENDING and DESCENDING (in any case) as
 * SQLite's ASC and DESC, which are all SQLite knows. Quoted text, quoted names and comments are copied as
 * they stand, so only the bare words change.
 */
QString WithSqliteOrderingWords(const QString& statement);
