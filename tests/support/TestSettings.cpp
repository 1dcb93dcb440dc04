#include "TestSettings.h"

#include "settings/SettingsStore.h"

#include <QFile>
#include <QSettings>

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
    QSettings settings(filePath(), QSettings::IniFormat);
    for (const auto& [key, value] : values)
        settings.setValue(SettingsStore::sectionName() + QLatin1Char('/') + key, value);
}

QByteArray TestSettings::readRaw() const
{
    QFile file(filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString TestSettings::onDisk(const QString& key) const
{
    QSettings settings(filePath(), QSettings::IniFormat);
    return settings.value(SettingsStore::sectionName() + QLatin1Char('/') + key).toString();
}

bool TestSettings::hasOnDisk(const QString& key) const
{
    QSettings settings(filePath(), QSettings::IniFormat);
    return settings.contains(SettingsStore::sectionName() + QLatin1Char('/') + key);
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
