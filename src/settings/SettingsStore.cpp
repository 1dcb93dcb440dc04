// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsStore.h"

#include "PrivateFiles.h"
#include "SettingValue.h"
#include "SettingsLock.h"
#include "SettingsText.h"
#include "platform/ProblemReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

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

bool writePrivately(const QString& path, const QByteArray& content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(ownerOnly);
    return file.write(content) == content.size() && file.commit();
}

// A rename survives a power cut only once its folder is on disk too.
void syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

SettingsStore::Batch::Batch(SettingsStore& store) : m_store(store)
{
    ++m_store.m_batchDepth;
}

SettingsStore::Batch::~Batch()
{
    if (--m_store.m_batchDepth == 0)
        m_store.commit();
}

SettingsStore::SettingsStore(const QString& filePath) : m_filePath(filePath)
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
        m_readFailed = true;
        return;
    }
    const QByteArray content = file.readAll();
    // A file others can write keeps its mode, so that our own rewrite cannot hide that.
    m_keepMode = PrivateFiles::othersMayWrite(filePath);
    m_commandRefusal = PrivateFiles::commandRefusal(filePath);
    const SettingsText text(content);
    m_loaded = text.section(sectionName());
    if (text.isDamaged())
        keepIfDamaged(content);
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
    const auto written = m_written.constFind(name);
    if (written != m_written.cend())
        return *written;
    return m_loaded.value(name);
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
    m_written.insert(key.name, text);
    const auto pending = m_pendingIndex.constFind(key.name);
    if (pending != m_pendingIndex.cend()) {
        m_pending[*pending].second = text;
    } else {
        m_pendingIndex.insert(key.name, m_pending.size());
        m_pending.append({key.name, text});
    }
    if (m_batchDepth == 0)
        commit();
}

void SettingsStore::commit()
{
    // Nothing is saved over a file that could not be read: it may hold what the user wants.
    if (m_pending.isEmpty() || m_readFailed)
        return;
    if (save()) {
        m_pending.clear();
        m_pendingIndex.clear();
    }
}

bool SettingsStore::save()
{
    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!PrivateFiles::makeFolder(folder))
        return saveFailed(QStringLiteral("its folder cannot be made"));

    const QString lockPath = m_filePath + QStringLiteral(".lock");
    SettingsLock lock(lockPath);
    switch (lock.tryLock(m_lockWait)) {
    case SettingsLock::Result::Locked:
        break;
    case SettingsLock::Result::Busy:
        if (!m_lockFailureReported) {
            m_lockFailureReported = true;
            ProblemReport::report(QStringLiteral("cannot save settings to %1 now: another program "
                                                 "holds %2; the changes are kept and saved "
                                                 "again with the next change")
                                      .arg(m_filePath, lockPath));
        }
        return false;
    case SettingsLock::Result::Failed:
        return saveFailed(QStringLiteral("cannot make %1").arg(lockPath));
    }

    // Start from the file as it is now, so that lines typed into it meanwhile stay.
    QByteArray current;
    if (QFileInfo::exists(m_filePath)) {
        QFile file(m_filePath);
        if (!file.open(QIODevice::ReadOnly))
            return saveFailed(file.errorString());
        current = file.readAll();
    }
    const SettingsText text(current);
    if (text.isDamaged())
        keepIfDamaged(current);

    QSaveFile out(m_filePath); // writes through a link to its target
    if (!out.open(QIODevice::WriteOnly))
        return saveFailed(out.errorString());
    if (!m_keepMode)
        out.setPermissions(ownerOnly);
    const QByteArray bytes = text.withChanges(sectionName(), m_pending);
    if (out.write(bytes) != bytes.size() || !out.commit())
        return saveFailed(out.errorString());
    syncFolder(QFileInfo(QFileInfo(m_filePath).canonicalFilePath()).absolutePath());
    return true;
}

bool SettingsStore::saveFailed(const QString& reason)
{
    if (!m_saveFailureReported) {
        m_saveFailureReported = true;
        ProblemReport::report(QStringLiteral("cannot save settings to %1 (%2); changes are kept "
                                             "while the program runs and saved again with the "
                                             "next change")
                                  .arg(m_filePath, reason));
    }
    return false;
}

void SettingsStore::keepIfDamaged(const QByteArray& content)
{
    const size_t damage = qHash(content);
    if (m_damageReported.contains(damage))
        return;
    m_damageReported.insert(damage);

    // The next save rewrites the file without what could not be read; keep the original.
    const QString copyPath = damagedCopyPath(m_filePath, content);
    if (QFileInfo::exists(copyPath) || writePrivately(copyPath, content)) {
        ProblemReport::report(QStringLiteral("the settings file %1 is damaged; what could not be "
                                             "read starts from its default, and the damaged "
                                             "file is kept as %2")
                                  .arg(m_filePath, copyPath));
    } else {
        ProblemReport::report(QStringLiteral("the settings file %1 is damaged; what could not be "
                                             "read starts from its default")
                                  .arg(m_filePath));
    }
}
