// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/X11Window.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtTest>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

// Runs only on a real X server with a window manager (tests/x11/test_x11_window.sh starts it
// under Xvfb and openbox) and reads back what the window manager made of the hints.
class tst_X11Window : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hintsOutliveTheNativeWindow_data();
    void hintsOutliveTheNativeWindow();

private:
    // Returns once the window manager has handled everything sent to it before.
    void syncWithWindowManager();

    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_root = 0;
    bool m_openbox = false;
};

namespace {
enum class Change
{
    None,
    FlagChanged,
    HiddenThenShown
};
} // namespace
Q_DECLARE_METATYPE(Change)

namespace {
xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

QList<uint32_t> values(xcb_connection_t* c, xcb_window_t window, const char* name, xcb_atom_t type)
{
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom(c, name), type, 0, 1024), nullptr);
    QList<uint32_t> result;
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            result << data[i];
    }
    std::free(reply);
    return result;
}

// Names of the atoms in an ATOM property.
QStringList atomNames(xcb_connection_t* c, xcb_window_t window, const char* name)
{
    QStringList names;
    for (const uint32_t value : values(c, window, name, XCB_ATOM_ATOM)) {
        auto* reply = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, value), nullptr);
        if (reply)
            names << QString::fromLatin1(xcb_get_atom_name_name(reply),
                                         xcb_get_atom_name_name_length(reply));
        std::free(reply);
    }
    return names;
}

// The window manager's frame around the window; 0 while it is not managed.
xcb_window_t frameOf(xcb_connection_t* c, xcb_window_t window)
{
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    const xcb_window_t parent = tree && tree->parent != tree->root ? tree->parent : 0;
    std::free(tree);
    return parent;
}

// The X window Qt shows; the widget's own id can lag behind it.
xcb_window_t idOf(const QWidget& window)
{
    return static_cast<xcb_window_t>(window.windowHandle()->winId());
}

void makeStripLike(QWidget& window)
{
    window.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    window.setFixedSize(200, 40);
}
} // namespace

void tst_X11Window::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server: run through tests/x11/test_x11_window.sh");
    m_c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    const auto check = values(m_c, m_root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
    if (check.isEmpty())
        QSKIP("needs a window manager");
    auto* name =
        xcb_get_property_reply(m_c,
                               xcb_get_property(m_c, 0, check.front(), atom(m_c, "_NET_WM_NAME"),
                                                atom(m_c, "UTF8_STRING"), 0, 64),
                               nullptr);
    m_openbox = name && QByteArray(static_cast<const char*>(xcb_get_property_value(name)),
                                   xcb_get_property_value_length(name)) == "Openbox";
    std::free(name);

    // Now and then the first window of a test process is never taken in by the window
    // manager (seen without any of the hints too); the tests start after it.
    QWidget first;
    first.show();
    (void)QTest::qWaitFor([&] { return frameOf(m_c, idOf(first)) != 0; }, 1000);
}

void tst_X11Window::syncWithWindowManager()
{
    QCoreApplication::processEvents(); // what the hints do after a show runs from the queue
    const xcb_window_t probe = xcb_generate_id(m_c);
    xcb_create_window(m_c, XCB_COPY_FROM_PARENT, probe, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = probe;
    request.type = atom(m_c, "_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(m_c, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(m_c);
    QTRY_VERIFY(!values(m_c, probe, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL).isEmpty());
    xcb_destroy_window(m_c, probe);
    xcb_flush(m_c);
}

void tst_X11Window::hintsOutliveTheNativeWindow_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("taskbarEntry");
    QTest::newRow("first shown") << Change::None << false;
    QTest::newRow("window flag changed later") << Change::FlagChanged << false;
    QTest::newRow("hidden, then shown") << Change::HiddenThenShown << false;
    QTest::newRow("with a taskbar entry, flag changed") << Change::FlagChanged << true;
}

void tst_X11Window::hintsOutliveTheNativeWindow()
{
    QFETCH(Change, change);
    QFETCH(bool, taskbarEntry);

    QWidget window;
    makeStripLike(window);
    if (!taskbarEntry)
        X11Window::skipTaskbar(&window);
    X11Window::offerCloseOnly(&window);
    window.show();
    QTRY_VERIFY(frameOf(m_c, idOf(window)) != 0);

    switch (change) {
    case Change::None:
        break;
    case Change::FlagChanged:
        window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        window.show();
        break;
    case Change::HiddenThenShown:
        window.hide();
        QTRY_COMPARE(frameOf(m_c, idOf(window)), xcb_window_t(0));
        window.show();
        break;
    }
    syncWithWindowManager();
    if (QTest::currentTestFailed())
        return;
    const xcb_window_t id = idOf(window);
    QVERIFY(frameOf(m_c, id) != 0);

    const QStringList states = atomNames(m_c, id, "_NET_WM_STATE");
    for (const char* skip : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})
        QVERIFY2(states.contains(QLatin1String(skip)) != taskbarEntry, skip);
    if (change == Change::FlagChanged)
        QVERIFY(states.contains(QStringLiteral("_NET_WM_STATE_ABOVE")));

    // Motif functions: move and close only, for window managers that go by them.
    const auto motif = values(m_c, id, "_MOTIF_WM_HINTS", atom(m_c, "_MOTIF_WM_HINTS"));
    QCOMPARE(motif.value(1), 0x4u | 0x20u);

    // The window manager's own word on what the user can do with the window.
    const QStringList actions = atomNames(m_c, id, "_NET_WM_ALLOWED_ACTIONS");
    QVERIFY2(actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE")),
             qPrintable(actions.join(' ')));
    QVERIFY(actions.contains(QStringLiteral("_NET_WM_ACTION_MOVE")));
    for (const char* denied : {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                               "_NET_WM_ACTION_MAXIMIZE_VERT", "_NET_WM_ACTION_FULLSCREEN"})
        QVERIFY2(!actions.contains(QLatin1String(denied)), denied);
    // Openbox keeps a minimise box on windows that have a taskbar entry to come back from.
    if (m_openbox)
        QCOMPARE(actions.contains(QStringLiteral("_NET_WM_ACTION_MINIMIZE")), taskbarEntry);
}

QTEST_MAIN(tst_X11Window)
#include "tst_x11window.moc"
