// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsText.h"

#include <QTest>

namespace {
const QString sec = QStringLiteral("sec");
}

class SettingsTextTest : public QObject
{
    Q_OBJECT

private slots:
    void valueIsTheRestOfTheLine_data();
    void valueIsTheRestOfTheLine();
    void onlyTheSectionCountsAndTheLastLineWins();
    void damage_data();
    void damage();
    void rewriteKeepsEveryReadableLine_data();
    void rewriteKeepsEveryReadableLine();
    void whatIsWrittenReadsBack_data();
    void whatIsWrittenReadsBack();
};

void SettingsTextTest::valueIsTheRestOfTheLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("value"); // of K; a null string for "not there"
    const auto row = [](const char* name, const QByteArray& line, const QString& value) {
        QTest::newRow(name) << line << value;
    };
    row("quotes", R"(K=notify-send "Time to leave" "Bus at 8:15")",
        R"(notify-send "Time to leave" "Bus at 8:15")");
    row("commas and semicolons", "K=one,two x;y z", "one,two x;y z");
    row("blanks around the equals sign", " \tK \t= \t value \t", "value \t");
    // The writer's form: no blank before '=', so what follows it is all value.
    row("blanks after a bare equals sign are the value's", "K= \tv", " \tv");
    row("more equals signs", "K==a=b", "=a=b");
    row("hash inside", "K=v # not a comment", "v # not a comment");
    row("trailing backslash joins nothing", "K=C:\\dir\\", "C:\\dir\\");
    row("unbalanced quote swallows nothing", "K=\"open", "\"open");
    row("CR LF ends at the CR", "K=v \r", "v ");
    row("lone CR inside stays", "K=a\rb", "a\rb");
    row("empty value", "K=", "");
    row("semicolon comment", ";K=v", QString());
    row("hash comment after blanks", "  #K=v", QString());
    row("keys are case-sensitive", "k=v", QString());
}

void SettingsTextTest::valueIsTheRestOfTheLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, value);
    const SettingsText text("[sec]\n" + line + "\nL=2");
    const SettingsText::Section values = text.section(sec);
    QCOMPARE(values.value(QStringLiteral("K")).value_or(QString()), value);
    QCOMPARE(values.value(QStringLiteral("K")).has_value(), !value.isNull());
    QCOMPARE(values.value(QStringLiteral("L")), QStringLiteral("2")); // the next line is its own
    QVERIFY(!text.isDamaged());
}

void SettingsTextTest::onlyTheSectionCountsAndTheLastLineWins()
{
    const SettingsText text("A=before any section\n"
                            "[other]\nA=other\n"
                            "[ sec ]\nA=1\nB=first\n"
                            "[other]\nB=other\n"
                            "[sec]\nA=2\n");
    const SettingsText::Section values = text.section(sec);
    QCOMPARE(values.value(QStringLiteral("A")), QStringLiteral("2"));
    QCOMPARE(values.value(QStringLiteral("B")), QStringLiteral("first"));
    QVERIFY(!values.value(QStringLiteral("C")));
}

void SettingsTextTest::damage_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("damaged");
    QTest::newRow("settings, comments, blanks")
        << QByteArray("; c\n\n[sec]\n#c\nK=v\n \t\n") << false;
    QTest::newRow("empty key is still key=value") << QByteArray("[sec]\n=v\n") << false;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[sec]\nK=v\n") << false;
    QTest::newRow("line without equals") << QByteArray("[sec]\nK v\n") << true;
    QTest::newRow("unclosed section") << QByteArray("[sec\nK=v\n") << true;
    QTest::newRow("NUL") << QByteArray("[sec]\nK=a\0b\n", 12) << true;
    QTest::newRow("invalid UTF-8") << QByteArray("[sec]\nK=\xC3\x28\n") << true;
}

void SettingsTextTest::damage()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, damaged);
    const SettingsText text(content);
    QCOMPARE(text.isDamaged(), damaged);
    QVERIFY(!SettingsText(text.withChanges(sec, {{"K", "w"}})).isDamaged());
    if (!damaged && content.contains("K=v"))
        QCOMPARE(text.section(sec).value(QStringLiteral("K")), QStringLiteral("v"));
}

void SettingsTextTest::rewriteKeepsEveryReadableLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    // Changes in every row: A=new, N=added.
    QTest::newRow("replaced in place, added after the section's last key")
        << QByteArray("; my clock\n[sec]\nX = kept as typed \nA=old\n\n# next\n[other]\nA=o\n")
        << QByteArray("; my clock\n[sec]\nX = kept as typed \nA=new\nN=added\n\n# next\n"
                      "[other]\nA=o\n");
    QTest::newRow("the last of a repeated key is replaced")
        << QByteArray("[sec]\nA=1\nA=2\n[x]\n[sec]\nB=3\n")
        << QByteArray("[sec]\nA=1\nA=new\n[x]\n[sec]\nB=3\nN=added\n");
    QTest::newRow("unreadable lines are dropped")
        << QByteArray("[sec]\ngarbage\nA=old\n") << QByteArray("[sec]\nA=new\nN=added\n");
    QTest::newRow("section appended when missing")
        << QByteArray("[other]\nA=o") << QByteArray("[other]\nA=o\n\n[sec]\nA=new\nN=added\n");
    QTest::newRow("empty file") << QByteArray() << QByteArray("[sec]\nA=new\nN=added\n");
    QTest::newRow("CR LF kept") << QByteArray("[sec]\r\nA=old\r\n")
                                << QByteArray("[sec]\r\nA=new\r\nN=added\r\n");
    QTest::newRow("empty section")
        << QByteArray("[sec]\n\n[x]\n") << QByteArray("[sec]\nA=new\nN=added\n\n[x]\n");
    QTest::newRow("a value ending in CR on a last line without LF keeps it")
        << QByteArray("[sec]\nA=old\nX=v\r\r") << QByteArray("[sec]\nA=new\nX=v\r\r\nN=added\n");
    // Bad bytes become U+FFFD, so a key hidden behind one stays hidden.
    QTest::newRow("a NUL before a key does not bring it to life")
        << QByteArray("[sec]\n\0X=1\nA=old\n", 17)
        << QByteArray("[sec]\n\xEF\xBF\xBDX=1\nA=new\nN=added\n");
    QTest::newRow("a U+FEFF before a key stays on a line with bad bytes")
        << QByteArray("[sec]\n\xEF\xBB\xBFX=\xFF\nA=old\n")
        << QByteArray("[sec]\n\xEF\xBB\xBFX=\xEF\xBF\xBD\nA=new\nN=added\n");
}

void SettingsTextTest::rewriteKeepsEveryReadableLine()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QCOMPARE(SettingsText(before).withChanges(sec, {{"A", "new"}, {"N", "added"}}), after);
}

void SettingsTextTest::whatIsWrittenReadsBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("as typed") << R"(notify-send "a;b" ,x# \)"
                              << R"(notify-send "a;b" ,x# \)";
    QTest::newRow("trailing blanks") << "v \t"
                                     << "v \t";
    QTest::newRow("leading blanks") << " \tv"
                                    << " \tv";
    QTest::newRow("line breaks become blanks") << "a\nb\r\nc\rd\n"
                                               << "a b c d ";
    QTest::newRow("section-like") << "[sec]"
                                  << "[sec]";
    QTest::newRow("a leading U+FEFF stays")
        << QStringLiteral("\uFEFFv") << QStringLiteral("\uFEFFv");
}

void SettingsTextTest::whatIsWrittenReadsBack()
{
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    const SettingsText written(SettingsText(QByteArray()).withChanges(sec, {{"K", value}}));
    QVERIFY(!written.isDamaged());
    QCOMPARE(written.section(sec).value(QStringLiteral("K")), readBack);
}

QTEST_APPLESS_MAIN(SettingsTextTest)
#include "tst_settingstext.moc"
