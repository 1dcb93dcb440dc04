#include "SettingsStore.h"

#include "SettingValue.h"
#include "platform/ProblemReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

SettingsStore::Batch::Batch(SettingsStore& store) : m_store(store)
{
    ++m_store.m_batchDepth;
}

SettingsStore::Batch::~Batch()
{
    if (--m_store.m_batchDepth == 0)
        m_store.commit();
}

SettingsStore::SettingsStore(const QString& filePath)
    : m_settings(withoutStaleLock(filePath), QSettings::IniFormat)
{
    const QFileInfo info(filePath);
    if (!info.exists())
        return;
    QFile file(filePath);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        ProblemReport::report(
            QStringLiteral("cannot read the settings file %1; starting with default settings, "
                           "and nothing will be saved to it in this run")
                .arg(filePath));
        m_writeFailureReported = true;
        return;
    }
    keepIfDamaged(file.readAll());
}

SettingsStore::~SettingsStore()
{
    commit();
}

QString SettingsStore::defaultFilePath()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || QDir::isRelativePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/QM_UTC.ini");
}

QString SettingsStore::sectionName()
{
    const QString path =
        QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    const QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? QStringLiteral("qm-utc") : name;
}

std::optional<QString> SettingsStore::stored(const QString& name) const
{
    const QVariant value = m_settings.value(sectionName() + QLatin1Char('/') + name);
    // A hand-edited value with unquoted commas comes back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray)
        return value.toString();
    return std::nullopt;
}

QString SettingsStore::readText(const SettingKey& key) const
{
    return readText(key, key.defaultValue);
}

QString SettingsStore::readText(const SettingKey& key, const QString& defaultValue) const
{
    return stored(key.name).value_or(defaultValue);
}

qint16 SettingsStore::readFlag(const SettingKey& key) const
{
    return readFlag(key, *SettingValue::toFlag(key.defaultValue));
}

qint16 SettingsStore::readFlag(const SettingKey& key, qint16 defaultValue) const
{
    Q_ASSERT(key.kind == SettingKind::Flag);
    const std::optional<QString> text = stored(key.name);
    return text ? SettingValue::toFlag(*text).value_or(defaultValue) : defaultValue;
}

float SettingsStore::readTwips(const SettingKey& key) const
{
    Q_ASSERT(key.kind == SettingKind::Twips);
    const float defaultValue = *SettingValue::toTwips(key.defaultValue);
    const std::optional<QString> text = stored(key.name);
    return text ? SettingValue::toTwips(*text).value_or(defaultValue) : defaultValue;
}

qint32 SettingsStore::readColour(const SettingKey& key) const
{
    Q_ASSERT(key.kind == SettingKind::Colour);
    const qint32 defaultValue = *SettingValue::toColour(key.defaultValue);
    const std::optional<QString> text = stored(key.name);
    return text ? SettingValue::toColour(*text).value_or(defaultValue) : defaultValue;
}

void SettingsStore::writeText(const SettingKey& key, const QString& value)
{
    write(key, value);
}

void SettingsStore::writeFlag(const SettingKey& key, qint16 value)
{
    Q_ASSERT(key.kind == SettingKind::Flag);
    write(key, SettingValue::fromFlag(value));
}

void SettingsStore::writeTwips(const SettingKey& key, float value)
{
    Q_ASSERT(key.kind == SettingKind::Twips);
    write(key, SettingValue::fromTwips(value));
}

void SettingsStore::writeColour(const SettingKey& key, qint32 value)
{
    Q_ASSERT(key.kind == SettingKind::Colour);
    write(key, SettingValue::fromColour(value));
}

void SettingsStore::write(const SettingKey& key, const QString& text)
{
    m_settings.setValue(sectionName() + QLatin1Char('/') + key.name, text);
    if (m_batchDepth == 0)
        commit();
}

void SettingsStore::commit()
{
    m_settings.sync();
    if (m_settings.status() == QSettings::AccessError && !m_writeFailureReported) {
        m_writeFailureReported = true;
        ProblemReport::report(
            QStringLiteral("cannot save settings to %1; changes are kept only until the "
                           "program ends")
                .arg(m_settings.fileName()));
    }
}

QString SettingsStore::withoutStaleLock(const QString& filePath)
{
    // A writer fills its lock file the moment it creates it, so an empty one was left by a
    // process that died; left alone it would stall the next write for half a minute.
    const QFileInfo lock(filePath + QStringLiteral(".lock"));
    if (lock.isFile() && lock.size() == 0)
        QFile::remove(lock.filePath());
    return filePath;
}

namespace {
// The first free name, or the name of a copy already kept of this very content.
QString damagedCopyPath(const QString& filePath, const QByteArray& content)
{
    QString copyPath = filePath + QStringLiteral(".damaged");
    for (int i = 1; QFileInfo::exists(copyPath); ++i) {
        QFile copy(copyPath);
        if (copy.open(QIODevice::ReadOnly) && copy.readAll() == content)
            return copyPath;
        copyPath = filePath + QStringLiteral(".damaged.%1").arg(i);
    }
    return copyPath;
}

// Lines that the INI reader would drop: neither blank, a comment, a section nor key=value.
bool hasUnreadableLines(const QString& text)
{
    bool continued = false;
    for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        const bool readable =
            continued || line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')) ||
            (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) ||
            line.contains(QLatin1Char('='));
        if (!readable)
            return true;
        continued = line.endsWith(QLatin1Char('\\'));
    }
    return false;
}
} // namespace

void SettingsStore::keepIfDamaged(const QByteArray& content)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(content); // the decoder is lazy until converted
    const bool damaged = utf8.hasError() || content.contains('\0') || hasUnreadableLines(decoded);
    if (!damaged)
        return;

    // The next write rewrites the file without what could not be read; keep the original.
    const QString filePath = m_settings.fileName();
    const QString copyPath = damagedCopyPath(filePath, content);
    if (QFileInfo::exists(copyPath) || QFile::copy(filePath, copyPath)) {
        ProblemReport::report(QStringLiteral("the settings file %1 is damaged; what could not be "
                                             "read starts from its default, and the damaged "
                                             "file is kept as %2")
                                  .arg(filePath, copyPath));
    } else {
        ProblemReport::report(QStringLiteral("the settings file %1 is damaged; what could not be "
                                             "read starts from its default")
                                  .arg(filePath));
    }
}
