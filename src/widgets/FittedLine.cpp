// SPDX-License-Identifier: GPL-3.0-or-later
#include "FittedLine.h"

#include "FittedText.h"

const QFont& FittedLine::fontFor(const QString& text)
{
    QString form = text;
    for (QChar& c : form) {
        if (c >= u'0' && c <= u'9')
            c = u'0';
    }
    if (form != m_form) {
        m_form = form;
        m_fitted = FittedText::line(m_face, form, m_width);
    }
    return m_fitted;
}
