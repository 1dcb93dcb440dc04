// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/ColourValue.h"

#include <QTest>

class ColourValueTest : public QObject
{
    Q_OBJECT

private slots:
    void value_data();
    void value();
};

void ColourValueTest::value_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("value");

    QTest::newRow("stored green") << "&H0000FF00&" << 65280;
    QTest::newRow("stored blue") << "&H00FF0000&" << 16711680;
    QTest::newRow("lower-case hex") << "&hff" << 255;
    QTest::newRow("system colour code") << "&H80000005&" << qint32(0x80000005);
    QTest::newRow("all bits") << "&HFFFFFFFF" << -1;
    QTest::newRow("leading zeros don't count") << "&H0000000000FF" << 255;
    QTest::newRow("40 hex digits keep the low 32 bits")
        << "&H" + QString(32, u'F') + "12345678" << 0x12345678;
    QTest::newRow("octal") << "&O377" << 255;
    QTest::newRow("octal stops at 8") << "&o178" << 15;
    QTest::newRow("hex without digits") << "&H" << 0;
    QTest::newRow("other letter after &") << "&X12" << 0;
    QTest::newRow("decimal") << "255" << 255;
    QTest::newRow("exponent") << "1.5e3" << 1500;
    QTest::newRow("negative exponent") << "25E-1" << 2;
    QTest::newRow("exponent without digits") << "7e+" << 7;
    QTest::newRow("signed") << "-42" << -42;
    QTest::newRow("blanks inside") << " 1 2\t3\n4 " << 1234;
    QTest::newRow("blanks inside hex") << "& H FF" << 255;
    QTest::newRow("stops at a letter") << "12abc" << 12;
    QTest::newRow("leading letter") << "red" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("only a sign") << "-" << 0;
    QTest::newRow("only a point") << "." << 0;
    QTest::newRow("sign before &H") << "-&HFF" << 0;
    QTest::newRow("a carriage return is not a blank") << "1\r2" << 1;
    QTest::newRow("0.5 to even") << "0.5" << 0;
    QTest::newRow("1.5 to even") << "1.5" << 2;
    QTest::newRow("2.5 to even") << "2.5" << 2;
    QTest::newRow("-2.5 to even") << "-2.5" << -2;
    QTest::newRow("just above a half") << "2.5000000000000000000001" << 3;
    QTest::newRow("just below a half") << "0.49999999999999999999" << 0;
    QTest::newRow("tiny") << "1e-400" << 0;
    QTest::newRow("smallest") << "-2147483648.4" << qint32(-2147483647 - 1);
    QTest::newRow("above the range") << "2147483648" << 2147483647;
    QTest::newRow("huge") << "1e400" << 2147483647;
    QTest::newRow("exponent beyond 64 bits") << "1e99999999999999999999999" << 2147483647;
    QTest::newRow("many digits") << QString(400, u'9') << 2147483647;
}

void ColourValueTest::value()
{
    QFETCH(QString, text);
    QFETCH(qint32, value);
    QCOMPARE(colourValueOf(text), value);
}

QTEST_APPLESS_MAIN(ColourValueTest)
#include "tst_colourvalue.moc"
