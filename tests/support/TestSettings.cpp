// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSettings.h"

#include "settings/SettingsStore.h"

#include <QFile>

TestSettings::TestSettings() = default;
TestSettings::~TestSettings() = default;

QString TestSettings::filePath() const
{
    return m_dir.filePath(QStringLiteral("QM_UTC.ini"));
}

void TestSettings::writeRaw(const QByteArray& content) const
{
    QFile file(filePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

void TestSettings::writeValues(const QList<QPair<QString, QString>>& values) const
{
    // Appended as a block of its own, the way a person might add lines by hand; of a key given
    // twice, the later line counts.
    QByteArray block = "\n[" + SettingsStore::sectionName().toUtf8() + "]\n";
    for (const auto& [key, value] : values)
        block += key.toUtf8() + '=' + value.toUtf8() + '\n';
    QFile file(filePath());
    if (file.open(QIODevice::Append))
        file.write(block);
}

QByteArray TestSettings::readRaw() const
{
    QFile file(filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::optional<QString> TestSettings::rawValue(const QString& key) const
{
    // The last line of the key in the program's section, as the store reads it.
    const QString section = QStringLiteral("[%1]").arg(SettingsStore::sectionName());
    bool inSection = false;
    std::optional<QString> value;
    for (const QString& line : QString::fromUtf8(readRaw()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inSection = line.trimmed() == section;
        else if (inSection && line.startsWith(key + QLatin1Char('=')))
            value = line.mid(key.size() + 1);
    }
    return value;
}

QString TestSettings::onDisk(const QString& key) const
{
    return rawValue(key).value_or(QString());
}

bool TestSettings::hasOnDisk(const QString& key) const
{
    return rawValue(key).has_value();
}

SettingsStore& TestSettings::store()
{
    if (!m_store)
        m_store = std::make_unique<SettingsStore>(filePath());
    return *m_store;
}

void TestSettings::reopen()
{
    m_store.reset();
}
