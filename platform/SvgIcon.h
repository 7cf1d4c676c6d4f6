#pragma once

// The programs' icons, drawn from vector pictures so they stay sharp at every size and screen scale.

#include <QIcon>
#include <QString>

/**
 * An icon drawn from a vector picture (an SVG file or resource) at whatever size and screen scale it is asked
 * for, so it never shows as a scaled-up bitmap. A picture that cannot be read gives an icon that draws
 * nothing (isNull() stays false, so callers need no special case).
 */
QIcon SvgIcon(const QString& fileName);

/** Whether the vector picture of that name can be read and drawn. */
bool SvgIconIsReadable(const QString& fileName);
