// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsFile.h"

#include "DamagedCopies.h"
#include "PrivateFiles.h"
#include "SettingsLock.h"
#include "platform/ProblemReport.h"
#include "platform/WriteAccess.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <unistd.h>

SettingsFile::SettingsFile(const QString& filePath, bool readOnly)
    : m_filePath(filePath), m_encodedPath(QFile::encodeName(filePath)), m_readOnly(readOnly)
{}

bool SettingsFile::changedSinceRead() const
{
    return PlainFile::stampAt(m_encodedPath) != m_stamp;
}

std::optional<SettingsText::Section> SettingsFile::read(const QString& section, bool running)
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
        return std::nullopt;
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
    if (text.isDamaged())
        keepIfDamaged(file.content);
    return text.section(section);
}

void SettingsFile::refuseToRead(const QString& reason, bool running)
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

SettingsFile::Saving SettingsFile::save(const QString& section,
                                        const SettingsText::Changes& changes)
{
    Saving saving;
    // Nothing is saved over a file that could not be read: it may hold what the user wants.
    if (m_readOnly || !m_readRefusal.isEmpty() || !mayWrite())
        return saving;
    SettingsLock lock(lockPath());
    if (!takeLock(lock))
        return saving;
    // Start from the file as it is now, so that lines typed into it meanwhile stay.
    const std::optional<PlainFile::Reading> current = readLocked();
    if (!current)
        return saving;
    const SettingsText text(current->content);
    // What cannot be read is dropped by the rewrite: never before a copy of it is kept.
    if (text.isDamaged() && !keepIfDamaged(current->content)) {
        saveFailed(QStringLiteral("it is damaged and no copy of it can be kept; it is not "
                                  "rewritten until one can"));
        return saving;
    }
    saving.found = text.section(section);
    const bool exists = current->outcome == PlainFile::Reading::Outcome::Read;
    m_stamp = exists ? PlainFile::stamp(current->info) : PlainFile::Stamp();

    const QByteArray bytes = text.withChanges(section, changes);
    if (replace(bytes, *current))
        saving.written = SettingsText(bytes).section(section);
    return saving;
}

QString SettingsFile::lockPath() const
{
    return m_filePath + QStringLiteral(".lock");
}

bool SettingsFile::mayWrite()
{
    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (!WriteAccess::makePrivateFolder(folder).isEmpty())
        return saveFailed(QStringLiteral("its folder cannot be made"));
    // Judged before anything is written: a folder opened to others since the start counts too.
    if (struct stat now; ::stat(m_encodedPath.constData(), &now) == 0)
        judgeTrust(now);
    if (const QString refusal = PrivateFiles::writeRefusal(m_filePath); !refusal.isEmpty())
        return saveFailed(refusal);
    return true;
}

bool SettingsFile::takeLock(SettingsLock& lock)
{
    switch (lock.tryLock(m_lockWait)) {
    case SettingsLock::Result::Locked:
        return true;
    case SettingsLock::Result::Busy:
        if (!m_lockFailureReported) {
            m_lockFailureReported = true;
            ProblemReport::report(QStringLiteral("cannot save settings to %1 now: another program "
                                                 "holds %2; the changes are kept and saved "
                                                 "again with the next change")
                                      .arg(m_filePath, lockPath()));
        }
        return false;
    case SettingsLock::Result::Failed:
        return saveFailed(lock.problem());
    }
    return false;
}

std::optional<PlainFile::Reading> SettingsFile::readLocked()
{
    PlainFile::Reading current = PlainFile::read(m_filePath, true);
    switch (current.outcome) {
    case PlainFile::Reading::Outcome::Missing:
        return current;
    case PlainFile::Reading::Outcome::Read:
        break;
    case PlainFile::Reading::Outcome::NotRegular:
    case PlainFile::Reading::Outcome::Failed:
        saveFailed(current.error);
        return std::nullopt;
    }
    judgeTrust(current.info);
    // Our file in its place would look like the user's own and bless what is in it.
    if (current.info.st_uid != ::geteuid()) {
        saveFailed(QStringLiteral("it belongs to another user"));
        return std::nullopt;
    }
    return current;
}

bool SettingsFile::replace(const QByteArray& bytes, const PlainFile::Reading& current)
{
    const bool exists = current.outcome == PlainFile::Reading::Outcome::Read;
    // Others' write permission stays visible to the next start; otherwise the file is private.
    const mode_t mode = m_keepMode && exists ? current.info.st_mode & 07777 : 0600;
    struct stat written;
    if (const int error =
            PlainFile::replace(PrivateFiles::savedFile(m_filePath), bytes, mode, written))
        return saveFailed(QString::fromLocal8Bit(std::strerror(error)));
    // Our own write: no change for changedSinceRead() to find.
    m_stamp = PlainFile::stamp(written);
    return true;
}

bool SettingsFile::saveFailed(const QString& reason)
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

void SettingsFile::judgeTrust(const struct stat& file)
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

bool SettingsFile::keepIfDamaged(const QByteArray& content)
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
