// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsStore.h"

#include "DamagedCopies.h"
#include "PlainFile.h"
#include "PrivateFiles.h"
#include "SettingValue.h"
#include "SettingsKeys.h"
#include "SettingsLock.h"
#include "SettingsText.h"
#include "platform/ProblemReport.h"
#include "platform/WriteAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <unistd.h>
#include <utility>

SettingsStore::Batch::Batch(SettingsStore& store) : m_store(store)
{
    ++m_store.m_batchDepth;
}

SettingsStore::Batch::~Batch()
{
    if (--m_store.m_batchDepth == 0)
        m_store.commit();
}

SettingsStore::SettingsStore(const QString& filePath, Access access)
    : m_filePath(filePath), m_encodedPath(QFile::encodeName(filePath)),
      m_readOnly(access == Access::ReadOnly)
{
    readFile(false);
}

SettingsStore::~SettingsStore()
{
    m_listener = nullptr;
    commit();
}

void SettingsStore::followFile()
{
    if (PlainFile::stampAt(m_encodedPath) != m_stamp)
        readFile(true);
    announce();
}

// At start the file is taken as it is; while the clock runs, what changed in it is told to the
// listener and a file that others could have changed is said so.
void SettingsStore::readFile(bool running)
{
    // A link is followed only where nobody else could have made it or chosen where it leads.
    const QString linkProblem = PrivateFiles::linkRefusal(m_filePath);
    const PlainFile::Reading file = PlainFile::read(m_filePath, linkProblem.isEmpty());
    // Taken even when the file cannot be read, so that a file too large is not tried again
    // every second, only once it changes.
    m_stamp = file.outcome == PlainFile::Reading::Outcome::Read ? PlainFile::stamp(file.info)
                                                                : PlainFile::stampAt(m_encodedPath);
    if (file.outcome != PlainFile::Reading::Outcome::Read &&
        file.outcome != PlainFile::Reading::Outcome::Missing) {
        refuseToRead(linkProblem.isEmpty() ? file.error : linkProblem, running);
        return;
    }
    m_readRefusal.clear();
    const SettingsText text(file.content);
    if (file.outcome == PlainFile::Reading::Outcome::Read) {
        if (running) {
            judgeTrust(file.info);
        } else {
            // Decided here without a word: an alarm that would run a command says why it does not.
            m_commandRefusal = PrivateFiles::commandRefusal(m_filePath, file.info);
            // A file others can write keeps its mode, so that our own rewrite cannot hide that.
            m_keepMode = WriteAccess::othersMayWrite(file.info);
        }
    }
    if (running)
        adopt(text.section(sectionName()));
    else
        m_loaded = text.section(sectionName());
    if (text.isDamaged())
        keepIfDamaged(file.content);
}

void SettingsStore::refuseToRead(const QString& reason, bool running)
{
    const QString refusal =
        running ? QStringLiteral("cannot read the settings file %1 any more (%2); the clock "
                                 "keeps the settings it had and saves nothing into the file "
                                 "until it can read it: the file, with your settings in it, "
                                 "stays as it is")
                : QStringLiteral("cannot read the settings file %1 (%2); the clock runs with "
                                 "its default settings and saves nothing into the file until "
                                 "it can read it: the file, with your settings in it, stays "
                                 "as it is");
    if (!m_readRefusal.isEmpty() && running)
        return;
    m_readRefusal = refusal.arg(m_filePath, reason);
    // A save that failed for this very reason has said it already.
    if (!m_saveFailuresReported.contains(reason))
        ProblemReport::report(m_readRefusal);
}

// The file as it is now becomes what the store reads; each key that reads differently from
// then on waits to be told to the listener. A key written in this run and not saved yet keeps
// the run's value.
void SettingsStore::adopt(const SettingsText::Section& current)
{
    for (const SettingKey& key : SettingsKeys::all()) {
        if (!m_pendingIndex.contains(key.name) &&
            m_loaded.value(key.name) != current.value(key.name))
            m_changedOutside.insert(key.name);
    }
    m_loaded = current;
}

void SettingsStore::announce()
{
    // A listener that writes may save, and the save may find more: told in the same loop.
    if (m_announcing)
        return;
    m_announcing = true;
    while (!m_changedOutside.isEmpty()) {
        const QSet<QString> changed = std::exchange(m_changedOutside, {});
        if (m_listener)
            m_listener(changed);
    }
    m_announcing = false;
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
    const auto pending = m_pendingIndex.constFind(name);
    if (pending != m_pendingIndex.cend())
        return m_pending.at(*pending).second;
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
    return storedTwips(key).value_or(*SettingValue::toTwips(key.defaultValue));
}

std::optional<float> SettingsStore::storedTwips(const SettingKey& key) const
{
    Q_ASSERT(key.kind == SettingKind::Twips);
    const std::optional<QString> text = stored(key.name);
    return text ? SettingValue::toTwips(*text) : std::nullopt;
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

void SettingsStore::write(const SettingKey& key, const QString& value)
{
    // Read back at once as the file will hold it, line breaks as blanks.
    const QString text = SettingsText::storable(value);
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
    if (!m_pending.isEmpty() && m_readRefusal.isEmpty() && !m_readOnly && save()) {
        m_pending.clear();
        m_pendingIndex.clear();
    }
    announce();
}

bool SettingsStore::save()
{
    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!WriteAccess::makePrivateFolder(folder).isEmpty())
        return saveFailed(QStringLiteral("its folder cannot be made"));
    // Judged before anything is written: a folder opened to others since the start counts too.
    if (struct stat now; ::stat(QFile::encodeName(m_filePath).constData(), &now) == 0)
        judgeTrust(now);
    if (const QString refusal = PrivateFiles::writeRefusal(m_filePath); !refusal.isEmpty())
        return saveFailed(refusal);

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
        return saveFailed(lock.problem());
    }

    // Start from the file as it is now, so that lines typed into it meanwhile stay.
    const PlainFile::Reading current = PlainFile::read(m_filePath, true);
    switch (current.outcome) {
    case PlainFile::Reading::Outcome::Missing:
    case PlainFile::Reading::Outcome::Read:
        break;
    case PlainFile::Reading::Outcome::NotRegular:
    case PlainFile::Reading::Outcome::Failed:
        return saveFailed(current.error);
    }
    const bool exists = current.outcome == PlainFile::Reading::Outcome::Read;
    if (exists) {
        judgeTrust(current.info);
        // Our file in its place would look like the user's own and bless what is in it.
        if (current.info.st_uid != ::geteuid())
            return saveFailed(QStringLiteral("it belongs to another user"));
    }
    const SettingsText text(current.content);
    // What cannot be read is dropped by the rewrite: never before a copy of it is kept.
    if (text.isDamaged() && !keepIfDamaged(current.content))
        return saveFailed(QStringLiteral("it is damaged and no copy of it can be kept; it is not "
                                         "rewritten until one can"));
    // What another program wrote meanwhile counts from now on, as if followed.
    adopt(text.section(sectionName()));
    m_stamp = exists ? PlainFile::stamp(current.info) : PlainFile::Stamp();

    const QByteArray bytes = text.withChanges(sectionName(), m_pending);
    // Others' write permission stays visible to the next start; otherwise the file is private.
    const mode_t mode = m_keepMode && exists ? current.info.st_mode & 07777 : 0600;
    struct stat written;
    if (const int error =
            PlainFile::replace(PrivateFiles::savedFile(m_filePath), bytes, mode, written))
        return saveFailed(QString::fromLocal8Bit(std::strerror(error)));
    // Our own write: what the store reads now, and no change for followFile() to find.
    m_loaded = SettingsText(bytes).section(sectionName());
    m_stamp = PlainFile::stamp(written);
    return true;
}

bool SettingsStore::saveFailed(const QString& reason)
{
    if (!m_saveFailuresReported.contains(reason)) {
        m_saveFailuresReported.insert(reason);
        ProblemReport::report(QStringLiteral("cannot save settings to %1 (%2); changes are kept "
                                             "while the program runs and saved again with the "
                                             "next change")
                                  .arg(m_filePath, reason));
    }
    return false;
}

void SettingsStore::judgeTrust(const struct stat& file)
{
    const QString refusal = PrivateFiles::commandRefusal(m_filePath, file);
    // Others may have written into it: the rewrite keeps its mode, so that the next start
    // does not take their lines for the user's.
    if (WriteAccess::othersMayWrite(file))
        m_keepMode = true;
    if (refusal.isEmpty() || !m_commandRefusal.isEmpty())
        return;
    m_commandRefusal = refusal;
    ProblemReport::report(
        QStringLiteral("%1 (seen while the clock ran: check the alarm commands in it first)")
            .arg(refusal));
}

bool SettingsStore::keepIfDamaged(const QByteArray& content)
{
    const size_t damage = qHash(content);
    if (m_damageKept.contains(damage))
        return true;

    QString copyPath;
    // A reader that only reads (the command line) leaves the folder as it is.
    QString error = m_readOnly ? QStringLiteral("the file is only read now")
                               : PrivateFiles::writeRefusal(m_filePath);
    const bool kept = error.isEmpty() && DamagedCopies::keep(m_filePath, content, copyPath, error);
    if (kept) {
        m_damageKept.insert(damage);
        ProblemReport::report(QStringLiteral("the settings file %1 is damaged; what could not be "
                                             "read starts from its default, and the damaged "
                                             "file is kept as %2")
                                  .arg(m_filePath, copyPath));
    } else if (!m_damageReported.contains(damage)) {
        ProblemReport::report(QStringLiteral("the settings file %1 is damaged; what could not be "
                                             "read starts from its default, and no copy of it "
                                             "can be kept (%2)")
                                  .arg(m_filePath, error));
    }
    m_damageReported.insert(damage);
    return kept;
}
