// SPDX-License-Identifier: GPL-3.0-or-later
// Loads a settings file holding a 5 MB command, a 4 MB message and 200 000 keys the program
// does not know, reads every key, saves one, and prints how long each step took (best and
// median of the runs).
// Usage: bench_settings_load [RUNS]   (default 5)

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {
QByteArray hugeFile()
{
    QByteArray content = "[" + SettingsStore::sectionName().toUtf8() + "]\n";
    content += "ALARM_1_RUN_COMMAND_TEXTBOX=notify-send \"" + QByteArray(5 << 20, 'c') + "\"\n";
    content += "ALARM_1_MESSAGE_TEXTBOX=" + QByteArray(4 << 20, 'm') + "\n";
    for (int i = 0; i < 200000; ++i)
        content += "UNKNOWN_" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\n";
    return content;
}

// Wall-clock and CPU milliseconds of one step; on a busy machine the CPU time is the steadier.
struct Step
{
    double wall;
    double cpu;
};

class StepTimer
{
public:
    StepTimer() { restart(); }
    void restart()
    {
        m_wall.start();
        m_cpu = cpuMs();
    }
    Step elapsed() const { return {double(m_wall.nsecsElapsed()) / 1e6, cpuMs() - m_cpu}; }

private:
    static double cpuMs()
    {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

void print(const char* what, const std::vector<Step>& steps)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const Step& step : steps) {
        wall.push_back(step.wall);
        cpu.push_back(step.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-26s wall best %6.1f median %6.1f ms   cpu best %6.1f median %6.1f ms\n", what,
                wall.front(), wall[wall.size() / 2], cpu.front(), cpu[cpu.size() / 2]);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QM_UTC.ini"));
    const QByteArray content = hugeFile();
    std::printf("file: %.1f MB\n", double(content.size()) / (1 << 20));

    std::vector<Step> load;
    std::vector<Step> save;
    std::vector<Step> end;
    for (int run = 0; run < runs; ++run) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        file.write(content);
        file.close();

        StepTimer timer;
        auto store = std::make_unique<SettingsStore>(path);
        // The program reads every key it knows at start, the huge ones among them.
        qsizetype read = 0;
        for (const SettingKey& key : SettingsKeys::all())
            read += store->readText(key).size();
        load.push_back(timer.elapsed());
        if (read < (9 << 20))
            return 1;

        timer.restart();
        store->writeFlag(SettingsKeys::AlwaysOnTop_TICKBOX, 0);
        save.push_back(timer.elapsed());
        timer.restart();
        store.reset();
        end.push_back(timer.elapsed());
    }
    print("load and read every key", load);
    print("save (one key, synced)", save);
    print("close (nothing pending)", end);
    return 0;
}
