#pragma once

#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

// The logo picture beside the program: the first of Logo.bmp, Logo.jpg and Logo.gif that exists
// and can be read. A null pixmap when there is none.
QPixmap loadLogo(const QString& programDirectory);

// Where the logo stands in an inner area: at its own size and centred when it fits, otherwise
// stretched to the limiting side, keeping its proportions, and centred along the other.
struct LogoPlacement {
    QRect geometry;
    bool stretched = false;
};
LogoPlacement placeLogo(QSize inner, QSize picture);
