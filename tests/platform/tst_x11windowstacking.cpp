// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/X11WindowStacking.h"

#include <QAbstractEventDispatcher>
#include <QMap>
#include <QtTest>

namespace {
constexpr xcb_window_t root = 1;
constexpr xcb_window_t checkWindow = 50;

// An X server with an EWMH window manager, as far as the stacking asks it: atoms by name,
// properties a test sets, and every client message written out as
// "<window> <type>: <data...>", atoms by name.
class FakeRoot final : public X11Root
{
public:
    FakeRoot()
    {
        setProperty(root, "_NET_SUPPORTING_WM_CHECK", {checkWindow});
        setProperty(checkWindow, "_NET_SUPPORTING_WM_CHECK", {checkWindow});
        setSupported({"_NET_ACTIVE_WINDOW", "_NET_WM_STATE", "_NET_WM_STATE_ABOVE",
                      "_NET_CLIENT_LIST_STACKING"});
    }

    xcb_window_t window() const override { return rootWindow; }
    xcb_atom_t atom(const char* name) override { return atomOf(QByteArray(name)); }
    QList<quint32> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t,
                              quint32) override
    {
        if (window == root && property == atomOf("_NET_ACTIVE_WINDOW"))
            ++activeReads;
        return properties.value({window, property});
    }
    bool followPropertyNotices() override { return notices; }
    void sendClientMessage(xcb_window_t window, xcb_atom_t type,
                           const std::array<quint32, 5>& data) override
    {
        QStringList words{QStringLiteral("%1 %2:").arg(window).arg(nameOf(type))};
        for (const quint32 item : data)
            words << (atoms.key(item).isEmpty() ? QString::number(item) : nameOf(item));
        sent << words.join(QLatin1Char(' '));
    }

    xcb_atom_t atomOf(const QByteArray& name)
    {
        if (!atoms.contains(name))
            atoms.insert(name, xcb_atom_t(100 + atoms.size()));
        return atoms.value(name);
    }
    QString nameOf(xcb_atom_t atom) const { return QString::fromLatin1(atoms.key(atom)); }
    void setProperty(xcb_window_t window, const char* name, const QList<quint32>& items)
    {
        properties.insert({window, atomOf(name)}, items);
    }
    void setSupported(const QList<const char*>& names)
    {
        QList<quint32> supported;
        for (const char* name : names)
            supported << atomOf(name);
        setProperty(root, "_NET_SUPPORTED", supported);
    }

    xcb_window_t rootWindow = root;
    bool notices = true;
    QMap<QByteArray, xcb_atom_t> atoms;
    QMap<QPair<xcb_window_t, xcb_atom_t>, QList<quint32>> properties;
    int activeReads = 0;
    QStringList sent;
};

// The message that asks the window manager to put `window` in the above band, or take it out.
QString bandRequest(const QString& step)
{
    const QStringList words = step.split(QLatin1Char(' '));
    return QStringLiteral("%1 _NET_WM_STATE: %2 _NET_WM_STATE_ABOVE 0 1 0")
        .arg(words.at(1),
             words.at(0) == QLatin1String("above") ? QStringLiteral("1") : QStringLiteral("0"));
}

// A property notice as Qt hands the X server's events to the filters of the application.
void notice(FakeRoot& x, xcb_window_t window, const char* property)
{
    xcb_property_notify_event_t event{};
    event.response_type = XCB_PROPERTY_NOTIFY;
    event.window = window;
    event.atom = x.atomOf(property);
    qintptr result = 0;
    QVERIFY(!QAbstractEventDispatcher::instance()->filterNativeEvent(
        QByteArrayLiteral("xcb_generic_event_t"), &event, &result));
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
    void readsTheActiveWindowAgainOnlyWhenItChanged();
};

void tst_X11WindowStacking::onlyUnderAManagerThatOffersBands_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<bool>("offered");
    QTest::newRow("EWMH manager") << "" << true;
    QTest::newRow("no root") << "no root" << false;
    QTest::newRow("no manager") << "no check window" << false;
    QTest::newRow("manager gone, check window left") << "stale check window" << false;
    QTest::newRow("no above band") << "lacks _NET_WM_STATE_ABOVE" << false;
    QTest::newRow("no active window") << "lacks _NET_ACTIVE_WINDOW" << false;
    QTest::newRow("no window states") << "lacks _NET_WM_STATE" << false;
    // It asks more often then, but it still can.
    QTest::newRow("no stacking list") << "lacks _NET_CLIENT_LIST_STACKING" << true;
}

void tst_X11WindowStacking::onlyUnderAManagerThatOffersBands()
{
    QFETCH(QString, server);
    QFETCH(bool, offered);
    auto x = std::make_unique<FakeRoot>();
    if (server == "no root") {
        x->rootWindow = XCB_WINDOW_NONE;
    } else if (server == "no check window") {
        x->properties.clear();
    } else if (server == "stale check window") {
        x->setProperty(checkWindow, "_NET_SUPPORTING_WM_CHECK", {});
    } else if (server.startsWith("lacks ")) {
        QList<const char*> supported{"_NET_ACTIVE_WINDOW", "_NET_WM_STATE", "_NET_WM_STATE_ABOVE",
                                     "_NET_CLIENT_LIST_STACKING"};
        const QByteArray lacking = server.mid(6).toLatin1();
        supported.removeIf([&](const char* name) { return lacking == name; });
        x->setSupported(supported);
    }
    const std::unique_ptr<X11WindowStacking> stacking(
        X11WindowStacking::over(std::move(x), nullptr));
    QCOMPARE(bool(stacking), offered);
}

void tst_X11WindowStacking::asksAgainOnlyOnceTheDesktopHasChanged_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QStringList>("steps"); // "above N", "ordinary N" or "notice WINDOW PROPERTY"
    QTest::addColumn<QStringList>("sent");
    const QString root = QString::number(::root);
    const QString focus = QStringLiteral("notice %1 _NET_ACTIVE_WINDOW").arg(root);
    const QString restacked = QStringLiteral("notice %1 _NET_CLIENT_LIST_STACKING").arg(root);
    QTest::newRow("once until something moves")
        << "" << QStringList{"above 7", "above 7", "above 7"} << QStringList{"above 7"};
    QTest::newRow("again after the focus moved")
        << "" << QStringList{"above 7", focus, "above 7", "above 7"}
        << QStringList{"above 7", "above 7"};
    QTest::newRow("again after the stacking changed")
        << "" << QStringList{"ordinary 7", restacked, "ordinary 7"}
        << QStringList{"ordinary 7", "ordinary 7"};
    QTest::newRow("other notices change nothing")
        << ""
        << QStringList{"above 7", QStringLiteral("notice %1 _NET_WM_NAME").arg(root),
                       "notice 7 _NET_CLIENT_LIST_STACKING", "above 7"}
        << QStringList{"above 7"};
    // Each band remembers its last request alone.
    QTest::newRow("each band its last window")
        << "" << QStringList{"above 7", "ordinary 9", "above 7", "ordinary 9", "above 8", "above 7"}
        << QStringList{"above 7", "ordinary 9", "above 8", "above 7"};
    QTest::newRow("no stacking list: every time")
        << "lacks _NET_CLIENT_LIST_STACKING" << QStringList{"above 7", "above 7"}
        << QStringList{"above 7", "above 7"};
    QTest::newRow("no notices: every time")
        << "no notices" << QStringList{"above 7", "above 7"} << QStringList{"above 7", "above 7"};
}

void tst_X11WindowStacking::asksAgainOnlyOnceTheDesktopHasChanged()
{
    QFETCH(QString, server);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, sent);
    auto owned = std::make_unique<FakeRoot>();
    FakeRoot& x = *owned;
    if (server == "lacks _NET_CLIENT_LIST_STACKING")
        x.setSupported({"_NET_ACTIVE_WINDOW", "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"});
    x.notices = server != "no notices";
    const std::unique_ptr<X11WindowStacking> stacking(
        X11WindowStacking::over(std::move(owned), nullptr));
    QVERIFY(stacking);

    for (const QString& step : std::as_const(steps)) {
        const QStringList words = step.split(QLatin1Char(' '));
        if (words.at(0) == "notice")
            notice(x, words.at(1).toUInt(), qPrintable(words.at(2)));
        else if (words.at(0) == "above")
            stacking->keepAbove(words.at(1).toUInt());
        else
            stacking->dropAbove(words.at(1).toUInt());
    }
    QStringList expected;
    for (const QString& request : std::as_const(sent))
        expected << bandRequest(request);
    QCOMPARE(x.sent, expected);
}

void tst_X11WindowStacking::readsTheActiveWindowAgainOnlyWhenItChanged()
{
    auto owned = std::make_unique<FakeRoot>();
    FakeRoot& x = *owned;
    x.setProperty(root, "_NET_ACTIVE_WINDOW", {42});
    const std::unique_ptr<X11WindowStacking> stacking(
        X11WindowStacking::over(std::move(owned), nullptr));
    QVERIFY(stacking);

    QCOMPARE(stacking->activeWindow(), WId(42));
    x.setProperty(root, "_NET_ACTIVE_WINDOW", {43});
    QCOMPARE(stacking->activeWindow(), WId(42));
    QCOMPARE(x.activeReads, 1);

    notice(x, root, "_NET_ACTIVE_WINDOW");
    QCOMPARE(stacking->activeWindow(), WId(43));
    // No window has the focus.
    x.setProperty(root, "_NET_ACTIVE_WINDOW", {});
    notice(x, root, "_NET_ACTIVE_WINDOW");
    QCOMPARE(stacking->activeWindow(), WId(0));
    QCOMPARE(x.activeReads, 3);
}

QTEST_GUILESS_MAIN(tst_X11WindowStacking)
#include "tst_x11windowstacking.moc"
