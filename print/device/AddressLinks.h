#pragma once

// Finds the web and mail addresses in a printed text, so a PDF can make each a link over its words.

#include <QString>
#include <vector>

/** Where an address stands in a text and the URL it opens. */
struct TAddressSpan {
  qsizetype Start = 0;
  qsizetype Length = 0;
  /** "https://…", "http://…" as written, "https://www.…" for a bare "www.", "mailto:…" for a mail address. */
  QString Target;
};

/**
 * The web addresses ("http://", "https://", "www.") and mail addresses in the text, in their order. An
 * address ends before a blank, a quote or an angle bracket, and without the punctuation that closes a
 * sentence or a bracket around it.
 */
std::vector<TAddressSpan> FindAddresses(const QString& text);
