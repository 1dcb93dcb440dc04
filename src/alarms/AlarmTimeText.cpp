// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmTimeText.h"

#include <QStringList>

namespace {
// The two ASCII digits at pos as a number, or -1.
int twoDigits(const QString& text, qsizetype pos)
{
    const QChar tens = text[pos];
    const QChar ones = text[pos + 1];
    if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9')
        return -1;
    return (tens.unicode() - u'0') * 10 + (ones.unicode() - u'0');
}

// One or two decimal digits of any script (an input method may give full-width ones), or -1.
int shortNumber(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 2)
        return -1;
    int value = 0;
    for (const QChar digit : digits) {
        if (!digit.isDigit()) // decimal digits only, no superscripts
            return -1;
        value = value * 10 + digit.digitValue();
    }
    return value;
}
} // namespace

bool isRealAlarmTime(const QString& text)
{
    if (text.size() != 8 || text[2] != u':' || text[5] != u':')
        return false;
    const int hours = twoDigits(text, 0);
    const int minutes = twoDigits(text, 3);
    const int seconds = twoDigits(text, 6);
    return hours >= 0 && hours <= 23 && minutes >= 0 && minutes <= 59 && seconds >= 0 &&
           seconds <= 59;
}

std::optional<QString> completedAlarmTime(const QString& typed)
{
    QString text = typed.trimmed();
    std::optional<bool> afternoon;
    if (text.endsWith(u"am", Qt::CaseInsensitive) || text.endsWith(u"pm", Qt::CaseInsensitive)) {
        afternoon = text.endsWith(u"pm", Qt::CaseInsensitive);
        text = text.chopped(2).trimmed();
    }
    QList<QStringView> parts;
    if (text.contains(u':')) {
        for (const QStringView part : QStringView(text).split(u':'))
            parts.append(part);
    } else if (text.size() <= 6) {
        // From the left: an hour of one digit where the count is odd, then pairs.
        const qsizetype hourDigits = 2 - text.size() % 2;
        parts.append(QStringView(text).left(hourDigits));
        for (qsizetype at = hourDigits; at < text.size(); at += 2)
            parts.append(QStringView(text).mid(at, 2));
    }
    if (parts.isEmpty() || parts.size() > 3)
        return std::nullopt;
    int values[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        values[i] = shortNumber(parts[i]);
        if (values[i] < 0)
            return std::nullopt;
    }
    int& hours = values[0];
    if (afternoon) {
        if (hours < 1 || hours > 12)
            return std::nullopt;
        hours = hours % 12 + (*afternoon ? 12 : 0);
    }
    if (hours > 23 || values[1] > 59 || values[2] > 59)
        return std::nullopt;
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(values[1], 2, 10, QLatin1Char('0'))
        .arg(values[2], 2, 10, QLatin1Char('0'));
}
