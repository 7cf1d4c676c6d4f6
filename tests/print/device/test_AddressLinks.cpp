#include "print/device/AddressLinks.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList Found(const QString& text) {
  QStringList found;
  for (const TAddressSpan& span : FindAddresses(text))
    found << text.mid(span.Start, span.Length) + QStringLiteral(" -> ") + span.Target;
  return found;
}

TEST(AddressLinks, WebAndMailAddressesAreFoundWithoutTheSentencesPunctuation) {
  const struct {
    QString Text;
    QStringList Expected;
  } cases[] = {
      {"http://www.quenary.example     http://oracle.example/faq",
       {"http://www.quenary.example -> http://www.quenary.example",
        "http://oracle.example/faq -> http://oracle.example/faq"}},
      {"Write to ada@example.org.", {"ada@example.org -> mailto:ada@example.org"}},
      {"(see www.example.com/a?b=1), or HTTPS://EXAMPLE.COM!",
       {"www.example.com/a?b=1 -> https://www.example.com/a?b=1",
        "HTTPS://EXAMPLE.COM -> HTTPS://EXAMPLE.COM"}},
      {"<https://example.org/x>", {"https://example.org/x -> https://example.org/x"}},
      {"Total 1,234.50 on 2026-01-02", {}},
      {"an @ sign, a half address x@y and http:// alone", {}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Found(text), expected) << text.toStdString();
}

}  // namespace
