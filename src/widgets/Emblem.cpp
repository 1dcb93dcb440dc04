// SPDX-License-Identifier: GPL-3.0-or-later
#include "Emblem.h"

#include <QBitmap>

static void initEmblemResource()
{
    // The resource lives in a static library, so it must be registered by hand.
    Q_INIT_RESOURCE(qmutc);
}

QPixmap Emblem::pixmap()
{
    static const QPixmap emblem = [] {
        initEmblemResource();
        QPixmap image(QStringLiteral(":/qmutc/emblem.xpm"));
        image.setMask(image.createMaskFromColor(QColor(0, 255, 0), Qt::MaskInColor));
        return image;
    }();
    return emblem;
}

QIcon Emblem::icon()
{
    return QIcon(pixmap());
}
