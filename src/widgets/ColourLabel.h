// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A label whose text and background colours are held as stored colour values, so that what
// was set can be read back exactly (system colour codes included). It tells when its text or
// colours change, so that a copy of it can follow without polling; set its text through a
// ColourLabel pointer, as QLabel's own setText() does not tell.
class ColourLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ColourLabel(const QString& name, QWidget* parent);

    void setText(const QString& text);
    void clear() { setText(QString()); }

    void setForeColor(qint32 value);
    qint32 foreColor() const { return m_foreColor; }
    void setBackColor(qint32 value);
    qint32 backColor() const { return m_backColor; }

signals:
    void doubleClicked();
    // The text, the text colour or the background is different from before.
    void changed();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The part of the label that a new text repaints, given the text it replaces, and how.
    virtual QRegion changedArea(const QString& before);
    virtual void repaintLater(const QRegion& area) { update(area); }

private:
    void applyColours();

    qint32 m_foreColor = 0;
    qint32 m_backColor = 0;
};
