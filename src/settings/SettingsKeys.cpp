// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsKeys.h"

#include <QtGlobal>
#include <iterator>

namespace SettingsKeys {
namespace {
// A default as the table writes it: a number, or a quoted text.
struct DefaultValue
{
    constexpr DefaultValue(int number) : number(number) {}
    constexpr DefaultValue(const char* text) : text(text) {}
    QString toString() const { return text ? QString::fromLatin1(text) : QString::number(number); }

    int number = 0;
    const char* text = nullptr;
};

struct AlarmKey
{
    const char* name;
    SettingKind kind;
    DefaultValue defaultValue;
};

// In the order of AlarmField; constant, so that alarm() is ready before any other global.
constexpr AlarmKey alarmKeys[] = {
#define QMUTC_ALARM_KEY(field, name, kind, defaultValue) {name, SettingKind::kind, defaultValue},
    QMUTC_ALARM_KEYS(QMUTC_ALARM_KEY)
#undef QMUTC_ALARM_KEY
};
static_assert(std::size(alarmKeys) == alarmFieldCount);
} // namespace

#define QMUTC_DEFINE_KEY(identifier, name, kind, defaultValue)                                     \
    const SettingKey identifier{QStringLiteral(name), SettingKind::kind,                           \
                                DefaultValue(defaultValue).toString()};
QMUTC_SETTINGS_KEYS(QMUTC_DEFINE_KEY)
#undef QMUTC_DEFINE_KEY

SettingKey alarm(AlarmField field, int n)
{
    Q_ASSERT(n >= 1 && n <= alarmCount);
    const AlarmKey& key = alarmKeys[int(field)];
    return {QString::fromLatin1(key.name).arg(n), key.kind, key.defaultValue.toString()};
}

const QList<SettingKey>& all()
{
    static const QList<SettingKey> table = [] {
        QList<SettingKey> keys = {
#define QMUTC_LIST_KEY(identifier, name, kind, defaultValue) identifier,
            QMUTC_SETTINGS_KEYS(QMUTC_LIST_KEY)
#undef QMUTC_LIST_KEY
        };
        for (int n = 1; n <= alarmCount; ++n) {
            for (int field = 0; field < alarmFieldCount; ++field)
                keys.append(alarm(AlarmField(field), n));
        }
        return keys;
    }();
    return table;
}
} // namespace SettingsKeys
