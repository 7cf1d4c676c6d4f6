#include "platform/ComCtrls.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

TEST(RichEdit, EveryParagraphEndCountsAsOneCharacterOfTheText) {
  TRichEdit edit(nullptr);
  EXPECT_EQ(edit.TextLength(), 0);
  edit.SetText(QStringLiteral("one\ntwo\n\nthree"));
  EXPECT_EQ(edit.TextLength(), 14);
  EXPECT_EQ(edit.Text().size(), edit.TextLength());
  QTextCursor cursor(&edit.Document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertBlock();
  cursor.insertText(QStringLiteral("four"));
  EXPECT_EQ(edit.TextLength(), 19) << "a paragraph added through a cursor";
  EXPECT_EQ(edit.Text(), QStringLiteral("one\ntwo\n\nthree\nfour"));
}
