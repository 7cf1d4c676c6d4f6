#pragma once

// Where a job's page files live and how they are named: a folder of this process alone.

#include <QString>

/** The target of a page device: the printer, the preview, or an HTML file. */
enum TSendTo : unsigned char { poPrinter, poViewer, poHTML };

/**
 * The folder page files live in: the temporary folder of this process alone, made fresh and private on first
 * use and removed when the process ends, so two instances of the program never see each other's pages.
 * Empty when no such folder can be made.
 */
QString PageDirectory();

/**
 * Full path of a page's file in a folder: "PRN%.3d.EMF" (".HTM" for the HTML target) after the folder and
 * one "/" (none added when the folder already ends with one); the bare name when the folder is empty.
 */
QString PageFileNameIn(const QString& directory, int pageNumber, TSendTo target);

/**
 * Full path of a page's file in the page folder. Fails with an Exception when no page folder can be made:
 * pages are never put in the current or any shared folder instead.
 */
QString PageFileNameFor(int pageNumber, TSendTo target);

/**
 * Deletes every page file of the target's kind in the page folder (every "PRN<digits>.EMF", or ".HTM"), also
 * those behind a gap in the numbering, so no page of an earlier job can pass for one of the next.
 */
void DeletePageFiles(TSendTo target);

/** Deletes every page file of the target's kind in the folder, as DeletePageFiles does in the page folder. */
void DeletePageFilesIn(const QString& folder, TSendTo target);
