#pragma once

// The program's string table, through which a program translates the print library's captions.

#include <QHash>
#include <QString>

/** The program's string table: texts by number, which a program may install to translate library captions. */
void SetStringTable(const QHash<int, QString>& table);

/** The text of that number in the program's string table, or an empty text when it has none. */
QString LoadStr(int identifier);
