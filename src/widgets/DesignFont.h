// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QStringList>

// The faces the windows were laid out with. Where a face is missing, the narrow ones fall back
// to a metric twin, which keeps captions inside their boxes better than the desktop's wider
// default sans serif; the heavy one falls back to whatever sans serif has a heavy weight.
namespace DesignFont {
QFont msSansSerif(qreal points, QFont::Weight weight = QFont::Bold);
QFont arial(qreal points, QFont::Weight weight = QFont::Bold);
QFont arialBlack(qreal points);
} // namespace DesignFont
