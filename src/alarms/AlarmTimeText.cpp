// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmTimeText.h"

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
