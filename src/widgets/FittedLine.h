// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

// The font for a one-line text that changes every second, such as the time. Measuring a text
// shapes it, so it is measured again only when its form changes: its ASCII digits count as
// one, which the clock's fonts draw at one width.
class FittedLine
{
public:
    FittedLine(const QFont& font, int width) : m_face(font), m_width(width), m_fitted(font) {}

    const QFont& fontFor(const QString& text);

private:
    const QFont m_face;
    const int m_width;
    QString m_form;
    QFont m_fitted;
};
