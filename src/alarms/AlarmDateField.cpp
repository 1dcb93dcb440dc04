// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmDateField.h"

#include "AlarmSlot.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLocale>
#include <QMenu>
#include <QWidgetAction>

AlarmDateField::AlarmDateField(int n, QWidget* parent)
    : QToolButton(parent), m_n(n), m_calendar(new QCalendarWidget)
{
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("ALARM_%1_DATE_MENU").arg(n));
    auto* pick = new QWidgetAction(menu);
    pick->setDefaultWidget(m_calendar);
    menu->addAction(pick);
    menu->addAction(QStringLiteral("Repeat on its days"), this, [this] { choose(std::nullopt); });
    connect(m_calendar, &QCalendarWidget::clicked, this, [this, menu](QDate date) {
        choose(date);
        menu->close();
    });
    // Opened by hand rather than as the button's menu: the row has no room for its arrow.
    connect(this, &QToolButton::clicked, menu,
            [this, menu] { menu->popup(mapToGlobal(rect().bottomLeft())); });
    showValue();
}

void AlarmDateField::load(const QString& stored)
{
    m_stored = stored;
    m_value = stored;
    showValue();
}

void AlarmDateField::choose(std::optional<QDate> date)
{
    const QString chosen = date ? date->toString(Qt::ISODate) : QString();
    // Unchanged in meaning, the stored text stays as it was.
    m_value = AlarmSlot::dateOf(m_stored) == date || (!date && !AlarmSlot::dateOf(m_stored))
                  ? m_stored
                  : chosen;
    showValue();
}

void AlarmDateField::setNow(const QDateTime& now)
{
    m_now = now;
    showValue();
}

void AlarmDateField::setAlarmTime(const QString& time24)
{
    m_alarmTime = time24;
    showValue();
}

void AlarmDateField::showValue()
{
    AlarmSlot slot;
    slot.date = m_value;
    slot.time = m_alarmTime;
    const std::optional<QDate> date = slot.onceDate();
    const bool past = date && m_now.isValid() && slot.isPast(m_now);
    setText(date ? QLocale::c().toString(*date, QStringLiteral("d MMM")) : QStringLiteral("Once"));
    // Greyed, as the rest of the row, while the row is off.
    QPalette shown = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        shown.setColor(group, QPalette::ButtonText,
                       past ? QColor(Qt::red)
                            : QApplication::palette().color(group, QPalette::ButtonText));
    setPalette(shown);
    QString tip;
    if (!date)
        tip = QStringLiteral("Alarm %1 repeats on its days. Click to make it fire once, on a date.")
                  .arg(m_n);
    else
        tip = QStringLiteral("Alarm %1 fires once, on %2 at its time%3. Click to change the date "
                             "or to repeat on its days.")
                  .arg(QString::number(m_n), date->toString(Qt::ISODate),
                       past ? QStringLiteral("; that has passed: it arms nothing") : QString());
    if (!m_value.trimmed().isEmpty() && !date)
        tip = QStringLiteral("\"%1\" is no date such as 2026-12-24: alarm %2 repeats on its days.")
                  .arg(m_value)
                  .arg(m_n);
    setToolTip(tip);
    setAccessibleName(QStringLiteral("Alarm %1 date").arg(m_n));
    setAccessibleDescription(tip);
    if (date)
        m_calendar->setSelectedDate(*date);
}
