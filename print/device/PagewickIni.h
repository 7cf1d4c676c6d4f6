#pragma once

// The last print job's settings in Pagewick.Ini, by which the preview and later prints of its pages go.

#include <QString>

/**
 * The print library's settings store "Pagewick.Ini", section "Printer": the settings of the last print job,
 * written at the start of every job and read by the preview and by later printing of the recorded pages.
 * Every access opens and closes the store; nothing is cached, but for one case: values a write could not
 * store (a full disk) are what this run reads instead of the store's older ones, until a write succeeds, so a
 * job whose settings were not saved still previews and prints by its own settings. Such a write fails with an
 * Exception and leaves the store's file as it was.
 */
namespace PagewickIni {

inline const QString StoreName = QStringLiteral("Pagewick.Ini");
inline const QString Section = QStringLiteral("Printer");

/** The value of an identifier of section "Printer", or the fallback. */
QString ReadString(const QString& ident, const QString& fallback);
/**
 * A whole-number value in strict decimal (digits and an optional "-", nothing else); fails with
 * "'<text>' is not a valid integer value" when the stored text is not one.
 */
int ReadInteger(const QString& ident, const QString& fallback);
void WriteString(const QString& ident, const QString& value);

/** Readers with the library's defaults. */
int PageHeight();          // "PageHeight", 3112
int PageWidth();           // "PageWidth", 2400
QString Orientation();     // "Orientation", "Portrait"
bool IsPortrait();         // exactly "Portrait"
int ViewBackground();      // "View Background", 1234
QString PreviewHeading();  // "Preview Heading", "Tarnvale Preview"
int PrinterIndex();        // "PrinterIndex", -1
QString ZoomFactor();      // "ZoomFactor", "100.0"
QString Directory();       // "Directory", "."

/**
 * The nine settings of one job, written in this order: PageHeight, PageWidth, Orientation, View Background,
 * Preview Heading, PrinterName, PrinterIndex, ZoomFactor, Directory. Identifiers new to the store are added
 * in that order; those already in it keep their place, and everything else in the file stays as it was.
 */
struct JobSettings {
  int PageHeight = 0;
  int PageWidth = 0;
  bool Landscape = false;
  int ViewBackground = 0;
  QString PreviewHeading;
  QString PrinterName;
  int PrinterIndex = 0;
  double ZoomFactor = 100.0;
  QString Directory;
};
void WriteJob(const JobSettings& settings);

}  // namespace PagewickIni
