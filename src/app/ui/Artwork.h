#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn rather than loaded: the program icon, the About box logo, the
// splash picture and the toolbar glyphs.

QIcon ProgramIcon();
// The maker's logo for the About box.
QPixmap LogoPixmap();
// The splash picture (211 x 118 dialog units at about two pixels each).
QPixmap SplashPixmap();
// A toolbar button: one character on a rounded tile of `colour`.
QIcon GlyphIcon(const QString& glyph, const QColor& colour);
