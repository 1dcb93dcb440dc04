#pragma once

#include <QLabel>

// A label whose text and background colours are held as stored colour values, so that what
// was set can be read back exactly (system colour codes included).
class ColourLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ColourLabel(const QString& name, QWidget* parent);

    void setForeColor(qint32 value);
    qint32 foreColor() const { return m_foreColor; }
    void setBackColor(qint32 value);
    qint32 backColor() const { return m_backColor; }

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void applyColours();

    qint32 m_foreColor = 0;
    qint32 m_backColor = 0;
};
