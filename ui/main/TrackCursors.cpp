#include "ui/main/TrackCursors.h"

#include <QPixmap>

QCursor trackCursor(int image)
{
    static const char* const files[] = {":/cursor_clear.xpm", ":/cursor_blocked.xpm", ":/cursor_forbidden.xpm"};
    if (image < 1 || image > 3)
        return QCursor(Qt::ArrowCursor);
    const QPixmap pixmap(QString::fromLatin1(files[image - 1]));
    if (pixmap.isNull())
        return QCursor(Qt::CrossCursor);
    return QCursor(pixmap, pixmap.width() / 2, pixmap.height() / 2);
}
