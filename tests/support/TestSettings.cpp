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

std::optional<QString> TestSettings::rawValue(const QString& key) const
{
    // Read the bytes themselves: a QSettings in this process would share the store's
    // unsaved changes.
    const QString section = QStringLiteral("[%1]").arg(SettingsStore::sectionName());
    bool inSection = false;
    for (const QString& line : QString::fromUtf8(readRaw()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inSection = line.trimmed() == section;
        else if (inSection && line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return std::nullopt;
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
