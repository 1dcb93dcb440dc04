// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingValue.h"

#include <QTest>

using Flag = std::optional<qint16>;
using Twips = std::optional<float>;
using Colour = std::optional<qint32>;

class SettingValueTest : public QObject
{
    Q_OBJECT

private slots:
    void flags_data();
    void flags();
    void twips_data();
    void twips();
    void colours_data();
    void colours();
    void writtenForms_data();
    void writtenForms();
    void twipsRoundTrip();
};

void SettingValueTest::flags_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Flag>("value");
    QTest::newRow("0") << "0" << Flag(0);
    QTest::newRow("1") << "1" << Flag(1);
    QTest::newRow("2 is a number, counted off by readers") << "2" << Flag(2);
    QTest::newRow("negative") << "-1" << Flag(-1);
    QTest::newRow("blanks around") << " 1 " << Flag(1);
    QTest::newRow("letters") << "yes" << Flag();
    QTest::newRow("empty") << "" << Flag();
    QTest::newRow("fraction") << "1.5" << Flag();
    QTest::newRow("above 16 bits") << "32768" << Flag();
    QTest::newRow("below 16 bits") << "-32769" << Flag();
    QTest::newRow("largest") << "32767" << Flag(32767);
    QTest::newRow("trailing junk") << "1x" << Flag();
}

void SettingValueTest::flags()
{
    QFETCH(QString, text);
    QFETCH(Flag, value);
    QCOMPARE(SettingValue::toFlag(text), value);
}

void SettingValueTest::twips_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Twips>("value");
    QTest::newRow("whole") << "1000" << Twips(1000.0f);
    QTest::newRow("fraction") << "1012.5" << Twips(1012.5f);
    QTest::newRow("negative, off screen") << "-30000" << Twips(-30000.0f);
    QTest::newRow("exponent") << "1e3" << Twips(1000.0f);
    QTest::newRow("letters") << "left" << Twips();
    QTest::newRow("empty") << "" << Twips();
    QTest::newRow("not a number") << "nan" << Twips();
    QTest::newRow("infinite") << "inf" << Twips();
    QTest::newRow("beyond single precision") << "1e39" << Twips();
}

void SettingValueTest::twips()
{
    QFETCH(QString, text);
    QFETCH(Twips, value);
    QCOMPARE(SettingValue::toTwips(text), value);
}

void SettingValueTest::colours_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Colour>("value");
    QTest::newRow("green") << "65280" << Colour(65280);
    QTest::newRow("system window colour") << "-2147483643" << Colour(qint32(0x80000005));
    QTest::newRow("above 32 bits") << "2147483648" << Colour();
    QTest::newRow("hex is not decimal") << "0xFF" << Colour();
    QTest::newRow("letters") << "green" << Colour();
}

void SettingValueTest::colours()
{
    QFETCH(QString, text);
    QFETCH(Colour, value);
    QCOMPARE(SettingValue::toColour(text), value);
}

void SettingValueTest::writtenForms_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("expected");
    QTest::newRow("flag off") << SettingValue::fromFlag(0) << "0";
    QTest::newRow("flag on") << SettingValue::fromFlag(1) << "1";
    QTest::newRow("whole twips") << SettingValue::fromTwips(1000.0f) << "1000";
    QTest::newRow("large twips stay decimal") << SettingValue::fromTwips(100000.0f) << "100000";
    QTest::newRow("fractional twips") << SettingValue::fromTwips(1012.5f) << "1012.5";
    QTest::newRow("negative twips") << SettingValue::fromTwips(-15.0f) << "-15";
    QTest::newRow("green") << SettingValue::fromColour(65280) << "65280";
    QTest::newRow("system colour") << SettingValue::fromColour(qint32(0x8000000F)) << "-2147483633";
}

void SettingValueTest::writtenForms()
{
    QFETCH(QString, written);
    QFETCH(QString, expected);
    QCOMPARE(written, expected);
}

void SettingValueTest::twipsRoundTrip()
{
    for (float value : {0.1f, 1000.3333f, 16777217.0f, -0.0f, 3.4e38f})
        QCOMPARE(SettingValue::toTwips(SettingValue::fromTwips(value)), Twips(value));
}

QTEST_MAIN(SettingValueTest)
#include "tst_settingvalue.moc"
