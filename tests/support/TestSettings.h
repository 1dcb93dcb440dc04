// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

class SettingsStore;

// A throw-away settings file for one test.
class TestSettings
{
public:
    TestSettings();
    ~TestSettings();

    QString filePath() const;
    // Writes the file's raw bytes, as a user or a crash might have left them.
    void writeRaw(const QByteArray& content) const;
    // Writes key=value lines into the program's section.
    void writeValues(const QList<QPair<QString, QString>>& values) const;
    QByteArray readRaw() const;
    // The value as it is on disk now, as written in the file; empty if missing.
    QString onDisk(const QString& key) const;
    bool hasOnDisk(const QString& key) const;

    // A store over the file, kept until reopen(), which stands for a new run of the program.
    SettingsStore& store();
    void reopen();

private:
    std::optional<QString> rawValue(const QString& key) const;

    QTemporaryDir m_dir;
    std::unique_ptr<SettingsStore> m_store;
};
