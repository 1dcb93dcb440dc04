// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/BgrColour.h"
#include "widgets/DesignFont.h"
#include "widgets/LiveTextLabel.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTime>

namespace {
constexpr qint32 green = 0x00FF00;
constexpr qint32 black = 0;

// The strip's labels as they look: centred plain text in the design face.
template <typename Label> void lookLikeTheStrip(Label* label, const QFont& face, int width)
{
    label->setFont(face);
    label->setFixedSize(width, 25);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
}

// What Qt's own label draws for the text: the pixels the strip showed before.
QImage asQLabelDraws(const QString& text, const QFont& face, int width, qint32 fore, qint32 back,
                     QImage::Format format = QImage::Format_RGB32)
{
    QLabel label;
    lookLikeTheStrip(&label, face, width);
    QPalette colours = label.palette();
    colours.setColor(QPalette::WindowText, BgrColour::toColor(fore));
    colours.setColor(QPalette::Window, BgrColour::toColor(back));
    label.setPalette(colours);
    label.setAutoFillBackground(true);
    label.setText(text);
    QImage image(label.size(), format);
    image.fill(Qt::white);
    label.render(&image);
    return image;
}

QFont faceNamed(const QString& family)
{
    QFont face = DesignFont::arial(12);
    if (!family.isEmpty())
        face.setFamilies({family});
    return face;
}

// Counts how much of the label each paint covers.
class PaintWatch : public QObject
{
public:
    QRect lastRepainted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            lastRepainted = static_cast<QPaintEvent*>(event)->region().boundingRect();
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

class LiveTextLabelTest : public QObject
{
    Q_OBJECT

private slots:
    void drawsWhatQLabelDraws_data();
    void drawsWhatQLabelDraws();
    void showsEachNewTextWhole_data();
    void showsEachNewTextWhole();
    void leavesAWidgetOverItAlone();
};

void LiveTextLabelTest::drawsWhatQLabelDraws_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("family");
    QTest::addColumn<qint32>("fore");
    QTest::addColumn<qint32>("back");
    // Windows' images are of either kind, depending on the display.
    QTest::addColumn<QImage::Format>("format");
    const QString design;
    QTest::newRow("24-hour") << "14:05:09" << 93 << design << green << black
                             << QImage::Format_RGB32;
    QTest::newRow("24-hour, image with alpha")
        << "14:05:09" << 93 << design << green << black << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("uptime, image with alpha") << "0d, 0h, 0m, 40s" << 193 << design << green
                                              << black << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("kerned ones") << "11:11:11" << 93 << design << green << black
                                 << QImage::Format_RGB32;
    QTest::newRow("12-hour") << "02:05:09 PM" << 93 << design << green << black
                             << QImage::Format_RGB32;
    QTest::newRow("12-hour without a leading zero")
        << "2:05:09 am" << 93 << design << green << black << QImage::Format_RGB32;
    QTest::newRow("uptime") << "0d, 0h, 0m, 40s" << 193 << design << green << black
                            << QImage::Format_RGB32;
    QTest::newRow("ten years of uptime")
        << "3650d, 23h, 59m, 59s" << 193 << design << green << black << QImage::Format_RGB32;
    QTest::newRow("other colours")
        << "23:59:59" << 93 << design << 0x0000FF << 0xFFFF00 << QImage::Format_RGB32;
    QTest::newRow("system colours") << "23:59:59" << 93 << design << qint32(0x80000012)
                                    << qint32(0x8000000F) << QImage::Format_RGB32;
    QTest::newRow("fallback face")
        << "10:41:17" << 93 << "DejaVu Sans" << green << black << QImage::Format_RGB32;
    QTest::newRow("fallback face, uptime")
        << "12d, 1h, 41m, 7s" << 193 << "DejaVu Sans" << green << black << QImage::Format_RGB32;
    QTest::newRow("empty") << "" << 93 << design << green << black << QImage::Format_RGB32;
    // Drawn by QLabel itself.
    QTest::newRow("letters beyond times")
        << "TIMERS DISABLED" << 193 << design << green << 255 << QImage::Format_RGB32;
    QTest::newRow("wider than the label")
        << "123456789d, 23h, 59m, 59s" << 93 << design << green << black << QImage::Format_RGB32;
    QTest::newRow("spaces at the ends")
        << " 14:05:09 " << 93 << design << green << black << QImage::Format_RGB32;
    QTest::newRow("another script")
        << "14\u664205\u520609\u79d2" << 93 << design << green << black << QImage::Format_RGB32;
}

void LiveTextLabelTest::drawsWhatQLabelDraws()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, family);
    QFETCH(qint32, fore);
    QFETCH(qint32, back);
    QFETCH(QImage::Format, format);
    const QFont face = faceNamed(family);

    LiveTextLabel label(QStringLiteral("LIVE_TIME_LABEL"), nullptr);
    lookLikeTheStrip(&label, face, width);
    label.setForeColor(fore);
    label.setBackColor(back);
    label.setText(text);
    QImage drawn(label.size(), format);
    drawn.fill(Qt::white);
    label.render(&drawn);

    QCOMPARE(drawn, asQLabelDraws(text, face, width, fore, back, format));
}

void LiveTextLabelTest::showsEachNewTextWhole_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("width");
    // How wide a repaint may be after the first text; 0: any width.
    QTest::addColumn<int>("mostRepainted");
    // Set as within one second's tick of the strip: drawn straight into the window's image.
    QTest::addColumn<bool>("held");
    QStringList seconds;
    for (QTime at(10, 58, 50); seconds.size() < 200; at = at.addSecs(7))
        seconds << at.toString(QStringLiteral("HH:mm:ss"));
    for (const bool held : {false, true}) {
        const auto row = [held](const char* name) -> QTestData& {
            return QTest::newRow(held ? qPrintable(QStringLiteral("%1, held").arg(name)) : name);
        };
        row("seconds") << QStringList{"12:58:57", "12:58:58", "12:58:59", "12:59:00"} << 93 << 40
                       << held;
        row("the line's width changes")
            << QStringList{"10:10:09", "10:10:10", "11:11:11", "12:12:12", "01:01:01"} << 93 << 0
            << held;
        row("12-hour, noon") << QStringList{"11:59:58 AM", "11:59:59 AM", "12:00:00 PM",
                                            "12:00:01 PM"}
                             << 93 << 0 << held;
        row("uptime gains a digit") << QStringList{"0d, 0h, 9m, 58s", "0d, 0h, 9m, 59s",
                                                   "0d, 0h, 10m, 0s", "0d, 0h, 10m, 1s"}
                                    << 193 << 0 << held;
        // Glyphs at many places within a pixel: pictures keep being drawn and kept beside
        // those in use.
        row("many seconds") << seconds << 93 << 0 << held;
        row("to a text QLabel draws and back")
            << QStringList{"0d, 0h, 1m, 5s", "TIMERS DISABLED", "0d, 0h, 1m, 6s", "",
                           "0d, 0h, 1m, 7s"}
            << 193 << 0 << held;
    }
}

// What the window shows after each new text is what a label freshly drawn with that text
// shows, however little of it was repainted.
void LiveTextLabelTest::showsEachNewTextWhole()
{
    QFETCH(QStringList, texts);
    QFETCH(int, width);
    QFETCH(int, mostRepainted);
    QFETCH(bool, held);
    const QFont face = faceNamed(QString());

    LiveTextLabel label(QStringLiteral("LIVE_TIME_LABEL"), nullptr);
    lookLikeTheStrip(&label, face, width);
    label.setForeColor(green);
    label.setBackColor(black);
    label.setText(texts.first());
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    PaintWatch watch;
    label.installEventFilter(&watch);
    QScreen* screen = QGuiApplication::primaryScreen();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        watch.lastRepainted = QRect();
        label.holdFlushes(held);
        label.setText(texts.at(i));
        label.holdFlushes(false);
        const QRegion drawn = label.takeUnflushed();
        LiveTextLabel::flush(&label, drawn);
        QCoreApplication::sendPostedEvents();
        const QImage shown =
            screen->grabWindow(label.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY2(shown == asQLabelDraws(texts.at(i), face, width, green, black),
                 qPrintable(texts.at(i)));
        const int repainted = (watch.lastRepainted | drawn.boundingRect()).width();
        if (i > 0 && mostRepainted > 0)
            QVERIFY2(
                repainted > 0 && repainted <= mostRepainted,
                qPrintable(QStringLiteral("%1: %2 px repainted").arg(texts.at(i)).arg(repainted)));
    }
}

// A text drawn straight into the window's image keeps off a widget placed over the label.
void LiveTextLabelTest::leavesAWidgetOverItAlone()
{
    QWidget window;
    auto* label = new LiveTextLabel(QStringLiteral("LIVE_TIME_LABEL"), &window);
    lookLikeTheStrip(label, faceNamed(QString()), 93);
    label->setForeColor(green);
    label->setBackColor(black);
    label->setText(QStringLiteral("12:58:57"));
    auto* cover = new QWidget(&window);
    cover->setGeometry(0, 0, 60, 25);
    cover->setPalette(QPalette(Qt::red));
    cover->setAutoFillBackground(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    label->holdFlushes(true);
    label->setText(QStringLiteral("88:88:88"));
    label->holdFlushes(false);
    LiveTextLabel::flush(&window, label->takeUnflushed());
    const QImage shown = QGuiApplication::primaryScreen()->grabWindow(window.winId()).toImage();
    for (int x = 0; x < 60; ++x)
        for (int y = 0; y < 25; ++y)
            QCOMPARE(shown.pixelColor(x, y), QColor(Qt::red));
}

QTEST_MAIN(LiveTextLabelTest)
#include "tst_livetextlabel.moc"
