#pragma once

#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

// Real SQLite files for the data tests, written through a connection of the test's own.

/** Runs the statements on a new or existing database file, in one transaction; fails the test on an error. */
inline void WriteDatabase(const QString& fileName, const QStringList& statements) {
  const QString name = QStringLiteral("test-writer");
  {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    database.setDatabaseName(fileName);
    ASSERT_TRUE(database.open()) << database.lastError().text().toStdString();
    QSqlQuery query(database);
    database.transaction();
    for (const QString& statement : statements) {
      ASSERT_TRUE(query.exec(statement))
          << statement.toStdString() << ": " << query.lastError().text().toStdString();
    }
    ASSERT_TRUE(database.commit()) << database.lastError().text().toStdString();
  }
  QSqlDatabase::removeDatabase(name);
}

/** A small magenta picture as PNG bytes in hex, for a GRAPHIC column's x'...' literal. */
inline QString MagentaPngHex() {
  QImage picture(6, 3, QImage::Format_RGB32);
  picture.fill(Qt::magenta);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  return QString::fromLatin1(png.toHex());
}

/** Inserts `count` rows numbered 1..count into a table ledger(id, payee, amount) created for it. */
inline void WriteNumberedLedger(const QString& fileName, int count) {
  const QString name = QStringLiteral("test-ledger-writer");
  {
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    database.setDatabaseName(fileName);
    ASSERT_TRUE(database.open());
    QSqlQuery query(database);
    ASSERT_TRUE(query.exec(
        QStringLiteral("CREATE TABLE ledger(id INTEGER PRIMARY KEY, payee VARCHAR(40), amount CURRENCY)")));
    database.transaction();
    ASSERT_TRUE(query.prepare(QStringLiteral("INSERT INTO ledger(id, payee, amount) VALUES(?, ?, ?)")));
    for (int row = 1; row <= count; ++row) {
      query.addBindValue(row);
      query.addBindValue(QStringLiteral("payee %1").arg(count - row, 6, 10, QLatin1Char('0')));
      query.addBindValue(row * 1.25);
      ASSERT_TRUE(query.exec());
    }
    ASSERT_TRUE(database.commit());
  }
  QSqlDatabase::removeDatabase(name);
}

/** The values of one field over every record, from the first to the last, read with First/Next. */
template <typename DataSet>
QStringList WalkField(DataSet& dataSet, const QString& fieldName) {
  QStringList values;
  for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
    values.append(dataSet.FieldByName(fieldName)->AsString());
  }
  return values;
}

/** Expects the statement to fail with an EDatabaseError whose message contains every one of the parts. */
#define EXPECT_DATABASE_ERROR(statement, ...)                                    \
  do {                                                                           \
    try {                                                                        \
      statement;                                                                 \
      ADD_FAILURE() << "no error from " #statement;                              \
    } catch (const EDatabaseError& error) {                                      \
      for (const QString& part : QStringList{__VA_ARGS__}) {                     \
        EXPECT_TRUE(error.Message().contains(part))                              \
            << error.Message().toStdString() << " lacks " << part.toStdString(); \
      }                                                                          \
    }                                                                            \
  } while (false)
