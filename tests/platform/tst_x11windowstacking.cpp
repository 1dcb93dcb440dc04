// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/X11WindowStacking.h"

#include <QAbstractEventDispatcher>
#include <QMap>
#include <QtTest>

namespace {
constexpr xcb_window_t root = 1;
constexpr xcb_window_t checkWindow = 50;
const QList<const char*> everyFeature{"_NET_ACTIVE_WINDOW", "_NET_WM_STATE", "_NET_WM_STATE_ABOVE",
                                      "_NET_CLIENT_LIST_STACKING"};

// An X server with an EWMH window manager, as far as the stacking asks it. Its log holds each
// read of the active window and each client message, atoms by name.
class FakeRoot final : public X11Root
{
public:
    explicit FakeRoot(const QString& server)
    {
        QList<const char*> features = everyFeature;
        features.removeIf([&](const char* name) { return server == "lacks " + QString(name); });
        for (const char* name : features)
            properties[{root, atom("_NET_SUPPORTED")}] << atom(name);
        if (server != "no manager")
            setProperty(root, "_NET_SUPPORTING_WM_CHECK", {checkWindow});
        if (server != "manager gone")
            setProperty(checkWindow, "_NET_SUPPORTING_WM_CHECK", {checkWindow});
        notices = server != "no notices";
    }

    xcb_window_t window() const override { return root; }
    xcb_atom_t atom(const char* name) override
    {
        return atoms.insert(name, atoms.value(name, xcb_atom_t(100 + atoms.size()))).value();
    }
    QList<quint32> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t,
                              quint32) override
    {
        if (property == atom("_NET_ACTIVE_WINDOW"))
            log << QStringLiteral("read active window");
        return properties.value({window, property});
    }
    bool followPropertyNotices() override { return notices; }
    void sendClientMessage(xcb_window_t window, xcb_atom_t type,
                           const std::array<quint32, 5>& data) override
    {
        QStringList words{QString::number(window), QString::fromLatin1(atoms.key(type))};
        for (const quint32 item : data)
            words << (atoms.key(item).isEmpty() ? QString::number(item) : atoms.key(item));
        log << words.join(QLatin1Char(' '));
    }

    void setProperty(xcb_window_t window, const char* name, const QList<quint32>& items)
    {
        properties[{window, atom(name)}] = items;
    }

    QMap<QByteArray, xcb_atom_t> atoms;
    QMap<QPair<xcb_window_t, xcb_atom_t>, QList<quint32>> properties;
    bool notices = true;
    QStringList log;
};

// A property notice of the root, as Qt hands the X server's events to the application's filters.
void notice(FakeRoot& x, const QString& property, xcb_window_t window = root)
{
    xcb_property_notify_event_t event{};
    event.response_type = XCB_PROPERTY_NOTIFY;
    event.window = window;
    event.atom = x.atom(qPrintable(property));
    qintptr result = 0;
    QVERIFY(!QAbstractEventDispatcher::instance()->filterNativeEvent(
        QByteArrayLiteral("xcb_generic_event_t"), &event, &result));
}

// The request to the window manager to put a window in the above band, or to take it out.
QString above(int window)
{
    return QStringLiteral("%1 _NET_WM_STATE 1 _NET_WM_STATE_ABOVE 0 1 0").arg(window);
}
QString ordinary(int window)
{
    return QStringLiteral("%1 _NET_WM_STATE 0 _NET_WM_STATE_ABOVE 0 1 0").arg(window);
}
} // namespace

class tst_X11WindowStacking : public QObject
{
    Q_OBJECT

private slots:
    void onlyUnderAManagerThatOffersBands_data();
    void onlyUnderAManagerThatOffersBands();
    void asksAgainOnlyOnceTheDesktopHasChanged_data();
    void asksAgainOnlyOnceTheDesktopHasChanged();
};

void tst_X11WindowStacking::onlyUnderAManagerThatOffersBands_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("offered");
    // A manager without the above band (sway) is one to tell the user about.
    QTest::addColumn<bool>("lacksAbove");
    QTest::newRow("EWMH manager") << "" << true << false;
    QTest::newRow("no manager") << "no manager" << false << false;
    QTest::newRow("manager gone, its check window left") << "manager gone" << false << false;
    // Without the stacking list it asks more often, but it can.
    for (const char* feature : everyFeature)
        QTest::addRow("lacks %s", feature) << QStringLiteral("lacks %1").arg(feature)
                                           << (QByteArray(feature) == "_NET_CLIENT_LIST_STACKING")
                                           << (QByteArray(feature) == "_NET_WM_STATE_ABOVE");
}

void tst_X11WindowStacking::onlyUnderAManagerThatOffersBands()
{
    QFETCH(QString, server);
    QFETCH(bool, offered);
    QFETCH(bool, lacksAbove);
    const std::unique_ptr<X11WindowStacking> stacking(
        X11WindowStacking::over(std::make_unique<FakeRoot>(server), nullptr));
    QCOMPARE(bool(stacking), offered);
    FakeRoot x(server);
    QCOMPARE(X11WindowStacking::managerLacksAbove(x), lacksAbove);
}

void tst_X11WindowStacking::asksAgainOnlyOnceTheDesktopHasChanged_data()
{
    QTest::addColumn<QString>("server");
    // "above N", "ordinary N", "active" (read the active window), "focus N" (the manager
    // makes window N active, without a notice), or a notice of the root's property
    // "_NET_..." (of window 7 with " of 7").
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("log");
    const QString read = QStringLiteral("read active window");
    QTest::newRow("once until something moves")
        << "" << QStringList{"above 7", "above 7", "above 7"} << QStringList{above(7)};
    QTest::newRow("again after the focus moved")
        << "" << QStringList{"above 7", "_NET_ACTIVE_WINDOW", "above 7", "above 7"}
        << QStringList{above(7), above(7)};
    QTest::newRow("again after the stacking changed")
        << "" << QStringList{"ordinary 7", "_NET_CLIENT_LIST_STACKING", "ordinary 7"}
        << QStringList{ordinary(7), ordinary(7)};
    QTest::newRow("other notices change nothing")
        << "" << QStringList{"above 7", "_NET_WM_NAME", "_NET_CLIENT_LIST_STACKING of 7", "above 7"}
        << QStringList{above(7)};
    QTest::newRow("each band its last window")
        << "" << QStringList{"above 7", "ordinary 9", "above 7", "ordinary 9", "above 8", "above 7"}
        << QStringList{above(7), ordinary(9), above(8), above(7)};
    QTest::newRow("no stacking list: every time")
        << "lacks _NET_CLIENT_LIST_STACKING" << QStringList{"above 7", "above 7"}
        << QStringList{above(7), above(7)};
    QTest::newRow("no notices: every time")
        << "no notices" << QStringList{"above 7", "above 7"} << QStringList{above(7), above(7)};
    QTest::newRow("active window read once until it changes")
        << ""
        << QStringList{"focus 42", "active",  "focus 43",           "active", "_NET_ACTIVE_WINDOW",
                       "active",   "focus 0", "_NET_ACTIVE_WINDOW", "active", "active"}
        << QStringList{read, "42", "42", read, "43", read, "0", "0"};
}

void tst_X11WindowStacking::asksAgainOnlyOnceTheDesktopHasChanged()
{
    QFETCH(QString, server);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, log);
    auto owned = std::make_unique<FakeRoot>(server);
    FakeRoot& x = *owned;
    const std::unique_ptr<X11WindowStacking> stacking(
        X11WindowStacking::over(std::move(owned), nullptr));
    QVERIFY(stacking);

    for (const QString& step : std::as_const(steps)) {
        const QStringList words = step.split(QLatin1Char(' '));
        const quint32 number = words.last().toUInt();
        if (words.first() == "above")
            stacking->keepAbove(number);
        else if (words.first() == "ordinary")
            stacking->dropAbove(number);
        else if (words.first() == "focus")
            x.setProperty(root, "_NET_ACTIVE_WINDOW", number ? QList{number} : QList<quint32>{});
        else if (words.first() == "active")
            x.log << QString::number(stacking->activeWindow());
        else
            notice(x, words.first(), words.size() > 1 ? number : root);
    }
    QCOMPARE(x.log, log);
}

QTEST_GUILESS_MAIN(tst_X11WindowStacking)
#include "tst_x11windowstacking.moc"
