// SPDX-License-Identifier: GPL-3.0-or-later
#include "ElidedField.h"

#include "ShownText.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextDocument>
#include <QToolTip>

namespace {
// Qt keeps this much room between a field's contents and its text.
constexpr int horizontalMargin = 2;
constexpr int verticalMargin = 1;

QStyleOptionFrame panelOf(const QLineEdit* field)
{
    QStyleOptionFrame panel;
    panel.initFrom(field);
    panel.rect = field->rect();
    panel.lineWidth = field->hasFrame()
                          ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, field)
                          : 0;
    panel.midLineWidth = 0;
    panel.state |= QStyle::State_Sunken;
    if (field->isReadOnly())
        panel.state |= QStyle::State_ReadOnly;
    return panel;
}

QRect textArea(const QLineEdit* field, const QStyleOptionFrame& panel)
{
    const QRect contents =
        field->style()->subElementRect(QStyle::SE_LineEditContents, &panel, field);
    return contents.marginsRemoved(field->textMargins())
        .adjusted(horizontalMargin, verticalMargin, -horizontalMargin, -verticalMargin);
}

bool beingEdited(const QLineEdit* field)
{
    return field->hasFocus() && !field->isReadOnly();
}

bool fits(const QLineEdit* field)
{
    return field->fontMetrics().horizontalAdvance(field->text()) <=
           ElidedField::textRect(field).width();
}
} // namespace

void ElidedField::attach(QLineEdit* field)
{
    field->installEventFilter(new ElidedField(field));
}

QRect ElidedField::textRect(const QLineEdit* field)
{
    return textArea(field, panelOf(field));
}

QString ElidedField::shownText(const QLineEdit* field)
{
    return field->fontMetrics().elidedText(field->text(), Qt::ElideRight,
                                           ElidedField::textRect(field).width());
}

bool ElidedField::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = static_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::Paint && !beingEdited(field) && !fits(field)) {
        QPainter painter(field);
        const QStyleOptionFrame panel = panelOf(field);
        field->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, field);
        painter.setPen(panel.palette.color(QPalette::Text));
        painter.drawText(textArea(field, panel),
                         int(field->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter,
                         shownText(field));
        return true;
    }
    if (event->type() == QEvent::ToolTip && !fits(field)) {
        QString whole = ShownText::tip(field->text());
        if (!field->toolTip().isEmpty())
            whole += Qt::convertFromPlainText(field->toolTip());
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), whole, field);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
