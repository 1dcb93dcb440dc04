// SPDX-License-Identifier: GPL-3.0-or-later
#include "RingProcess.h"

#include "ProcessLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
const QString programName = QStringLiteral("qm-utc-ring");

QStringList arguments(const SoundRequest& request)
{
    QStringList arguments{QStringLiteral("--file"), request.file, QStringLiteral("--volume"),
                          QString::number(request.volume)};
    if (request.once)
        arguments << QStringLiteral("--once");
    else
        arguments << QStringLiteral("--fade") << QString::number(request.fadeSeconds);
    return arguments;
}
} // namespace

RingProcess::RingProcess(QObject* parent) : SoundPlayer(parent) {}

RingProcess::~RingProcess()
{
    // At the clock's end no event loop is left to reap them later.
    for (QProcess* process : findChildren<QProcess*>()) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    }
}

QString RingProcess::programPath()
{
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {here.filePath(programName),
          QDir::cleanPath(
              here.filePath(QStringLiteral(QMUTC_RING_FROM_BINDIR) + u'/' + programName))}) {
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    }
    return {};
}

void RingProcess::play(const SoundRequest& request)
{
    stop();
    const QString program = programPath();
    if (program.isEmpty()) {
        emit problem(QStringLiteral("%1 is not installed beside the clock, so no alarm sound plays")
                         .arg(programName));
        emit ended();
        return;
    }
    auto* process = new QProcess(this);
    m_process = process;
    m_partialLine.clear();
    process->setProgram(program);
    process->setArguments(arguments(request));
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    const pid_t clock = ::getpid();
    // Between fork and exec: nothing of the clock's open files goes along, and the sound ends
    // with the clock however the clock ends.
    process->setChildProcessModifier([clock] {
        ProcessLauncher::markCloseOnExec();
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != clock)
            ::_exit(1);
    });
    connect(process, &QProcess::readyReadStandardError, this, &RingProcess::readProblems);
    connect(process, &QProcess::finished, this, &RingProcess::finished);
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart || process != m_process)
            return;
        emit problem(QStringLiteral("%1 did not start (%2), so no alarm sound plays")
                         .arg(programName, process->errorString()));
        finished();
    });
    process->start(QIODevice::ReadOnly);
}

void RingProcess::stop()
{
    QProcess* process = m_process;
    m_process = nullptr;
    if (!process)
        return;
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    // Gone at once; the process is reaped when it has ended, without waiting for it here.
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->kill();
}

bool RingProcess::isPlaying() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

void RingProcess::readProblems()
{
    if (!m_process)
        return;
    m_partialLine += m_process->readAllStandardError();
    for (qsizetype end = m_partialLine.indexOf('\n'); end >= 0; end = m_partialLine.indexOf('\n')) {
        const QString line = QString::fromLocal8Bit(m_partialLine.left(end)).trimmed();
        m_partialLine.remove(0, end + 1);
        if (!line.isEmpty())
            emit problem(line);
    }
}

void RingProcess::finished()
{
    readProblems();
    if (m_process) {
        m_process->deleteLater();
        m_process = nullptr;
    }
    emit ended();
}
