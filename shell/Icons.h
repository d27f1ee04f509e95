#pragma once
// The toolbar's pictures and the splash window's logos, drawn by the program
// itself so that it needs no image files.

#include <QIcon>
#include <QPixmap>

// The picture of a toolbar button by its key ("New", "Open", "Save", ...).
QIcon ToolbarIcon(const QString& key);

// The program's own icon at a size in pixels: a logger sending out its
// sound on a blue tile. packaging/quorvane.svg draws the same shapes.
QImage ApplicationIcon(int size);
QIcon ApplicationIcons();

// A branding logo: initials on a badge in the entry's colours.
QPixmap BrandingLogo(const QString& initials, const QColor& background, const QColor& foreground,
                     int size = 96);
