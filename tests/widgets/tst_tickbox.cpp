// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TickBox.h"

#include <QSignalSpy>
#include <QTest>

// The state-change rule every window's tick boxes rely on when they are loaded from the store.
class TestTickBox : public QObject
{
    Q_OBJECT

private slots:
    void changesRunTheActionOnce_data()
    {
        QTest::addColumn<qint16>("from");
        QTest::addColumn<qint16>("to");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("actions");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("0 to 1") << qint16(0) << qint16(1) << true << 1 << true;
        QTest::newRow("0 to 1, disabled") << qint16(0) << qint16(1) << false << 1 << true;
        QTest::newRow("1 to 0, disabled") << qint16(1) << qint16(0) << false << 1 << false;
        QTest::newRow("1 to 1") << qint16(1) << qint16(1) << true << 0 << true;
        QTest::newRow("0 to 0") << qint16(0) << qint16(0) << true << 0 << false;
        QTest::newRow("0 to 2 counts off") << qint16(0) << qint16(2) << true << 1 << false;
        QTest::newRow("2 to 3") << qint16(2) << qint16(3) << true << 1 << false;
        QTest::newRow("2 to 2") << qint16(2) << qint16(2) << true << 0 << false;
    }

    void changesRunTheActionOnce()
    {
        QFETCH(qint16, from);
        QFETCH(qint16, to);
        QFETCH(bool, enabled);
        TickBox box(QStringLiteral("Run Hidden"), nullptr);
        box.setValue(from);
        box.setEnabled(enabled);
        QSignalSpy actions(&box, &TickBox::valueChanged);
        box.setValue(to);
        QTEST(int(actions.size()), "actions");
        QCOMPARE(box.value(), to);
        QTEST(box.checkState() == Qt::Checked, "ticked");
        if (!actions.isEmpty())
            QCOMPARE(actions.first().first().value<qint16>(), to);
    }

    void aClickOnAnOddValueGivesAFlag()
    {
        TickBox box(QStringLiteral("Auto Close"), nullptr);
        box.setValue(2);
        box.click();
        QCOMPARE(box.value(), qint16(1));
        box.click();
        QCOMPARE(box.value(), qint16(0));
        box.click();
        QCOMPARE(box.value(), qint16(1));
    }
};

QTEST_MAIN(TestTickBox)
#include "tst_tickbox.moc"
