// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoredTextField.h"

#include "ElidedField.h"
#include "ShownText.h"

#include <utility>

StoredTextField::StoredTextField(QWidget* parent, const QString& text) : QLineEdit(parent)
{
    ElidedField::attach(this);
    // Before any handler a subclass connects, so that value() is up to date in it.
    connect(this, &QLineEdit::textChanged, this, &StoredTextField::followEdit);
    StoredTextField::load(text);
}

void StoredTextField::load(const QString& stored)
{
    m_stored = stored;
    m_shown = ShownText::cut(stored);
    const bool cut = m_shown != stored;
    m_restAt = cut ? m_shown.size() - 1 : -1;
    m_rest = cut ? stored.mid(m_restAt) : QString();
    m_before = m_shown;
    setText(m_shown);
    setCursorPosition(0);
}

QString StoredTextField::value() const
{
    const QString shown = text();
    if (shown == m_shown)
        return m_stored;
    if (m_restAt < 0)
        return shown;
    return shown.left(m_restAt) + m_rest + shown.mid(m_restAt + 1);
}

void StoredTextField::followEdit(const QString& now)
{
    const QString before = std::exchange(m_before, now);
    if (m_restAt < 0 || now == before)
        return;
    // The change replaced before[first, before.size() - same) with now[first, now.size() -
    // same). The cursor stands right after what was typed or pasted, which places an edit
    // among equal characters: a "…" typed before the "…" is not taken for one after it.
    const qsizetype cursor = cursorPosition();
    qsizetype same = 0;
    while (same < before.size() && same < now.size() - cursor &&
           before.at(before.size() - 1 - same) == now.at(now.size() - 1 - same))
        ++same;
    qsizetype first = 0;
    while (first < qMin(before.size(), now.size()) - same && first < cursor &&
           before.at(first) == now.at(first))
        ++first;
    if (m_restAt >= before.size() - same)
        m_restAt += now.size() - before.size();
    else if (m_restAt >= first)
        m_restAt = -1; // the "…" itself was deleted or typed over
}
