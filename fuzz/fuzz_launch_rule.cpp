// SPDX-License-Identifier: GPL-3.0-or-later
// An alarm's command through the launch rule and the splitting into words, nothing started.
//
// Input: the flags, the launcher's answer and an optional refusal come from the end; the rest
// is the command line.
#include "FuzzCheck.h"
#include "ProblemCapture.h"
#include "notify/LaunchRule.h"

#include <QProcess>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {
// Splits as the real launcher does and answers as told.
class SplittingLauncher final : public CommandLauncher
{
public:
    LaunchResult launch(const QString& commandLine, LaunchStyle style) override
    {
        ++launches;
        lastCommand = commandLine;
        lastStyle = style;
        words = QProcess::splitCommand(commandLine);
        if (words.isEmpty())
            return {false, QStringLiteral("the command is empty")};
        return {start, error};
    }

    bool start = true;
    QString error;
    int launches = 0;
    QString lastCommand;
    LaunchStyle lastStyle = LaunchStyle::Normal;
    QStringList words;
};

// The words written so that splitting gives them back: each in quotes, a quote as three.
QString quoted(const QStringList& words)
{
    QStringList parts;
    for (QString word : words)
        parts.append(u'"' + word.replace(u'"', QStringLiteral("\"\"\"")) + u'"');
    return parts.join(u' ');
}

void checkWords(const QString& command, const QStringList& words)
{
    for (const QString& word : words)
        FUZZ_CHECK(!word.isEmpty(), "no empty words");
    if (!command.contains(u'"')) {
        QStringList plain{QString()};
        for (QChar c : command) {
            if (!c.isSpace())
                plain.last() += c;
            else if (!plain.last().isEmpty())
                plain.append(QString());
        }
        if (plain.last().isEmpty())
            plain.removeLast();
        FUZZ_CHECK(words == plain, "without quotes the words are what lies between blanks");
    }
    FUZZ_CHECK(QProcess::splitCommand(quoted(words)) == words, "quoted words split back");
}

qint16 flagFrom(FuzzedDataProvider& provider)
{
    // Mostly the values that matter, sometimes anything.
    const int pick = provider.ConsumeIntegralInRange(0, 3);
    return pick < 3 ? qint16(pick - 1) : provider.ConsumeIntegral<qint16>();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const qint16 runCommand = flagFrom(provider);
    const qint16 runHidden = flagFrom(provider);
    SplittingLauncher launcher;
    launcher.start = provider.ConsumeBool();
    const int errorLength = provider.ConsumeIntegralInRange(0, 3) * 300;
    launcher.error = QString(errorLength, u'e');
    const QString refusal = provider.ConsumeBool()
                                ? QStringLiteral("the settings file can be changed by other users")
                                : QString();
    const QString requester =
        QStringLiteral("alarm %1").arg(provider.ConsumeIntegralInRange(1, 10));
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QString command = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    ProblemCapture problems;
    const QString reason =
        LaunchRule::launch(launcher, requester, runCommand, runHidden, command, refusal);

    const bool wanted = runCommand == 1 && (runHidden == 0 || runHidden == 1);
    FUZZ_CHECK(LaunchRule::style(runCommand, runHidden).has_value() == wanted, "the rule");
    FUZZ_CHECK(launcher.launches == (wanted && refusal.isEmpty() ? 1 : 0), "launched once");
    if (launcher.launches == 1) {
        FUZZ_CHECK(launcher.lastCommand == command, "the command as stored");
        FUZZ_CHECK(launcher.lastStyle ==
                       (runHidden == 1 ? LaunchStyle::Hidden : LaunchStyle::Normal),
                   "the style the flag asks for");
        checkWords(command, launcher.words);
    }

    const bool started = launcher.launches == 1 && !launcher.words.isEmpty() && launcher.start;
    FUZZ_CHECK(reason.isEmpty() == (!wanted || started), "a reason exactly when it failed");
    if (wanted && !refusal.isEmpty())
        FUZZ_CHECK(reason == refusal, "the refusal is the reason");
    FUZZ_CHECK(reason.size() <= 400 + 32, "a reason quotes at most 400 characters");
    FUZZ_CHECK(problems.lines.size() == (reason.isEmpty() ? 0 : 1), "one line per failure");
    if (!reason.isEmpty()) {
        const QString& line = problems.lines.first();
        FUZZ_CHECK(line.startsWith(requester + QStringLiteral(": cannot start the command \"") +
                                   command.left(200)),
                   "the line names who asked and the command's beginning");
        FUZZ_CHECK(line.endsWith(reason), "the line gives the reason");
        FUZZ_CHECK(line.size() <= requester.size() + 200 + reason.size() + 64,
                   "the line quotes at most 200 characters of the command");
    }
    return 0;
}
