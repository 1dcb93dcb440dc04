#include "QM_UTC_ALARM_NOTIFICATION_WINDOW.h"

#include "LaunchRule.h"
#include "platform/ColourLabel.h"
#include "platform/Emblem.h"
#include "platform/Timer.h"
#include "platform/Twips.h"
#include "platform/WindowGeometry.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr qint32 green = 0x00FF00;
constexpr qint32 black = 0;

// The captions were laid out for boxes narrower than one line of text; wrap rather than clip.
class WrappingCheckBox : public QCheckBox
{
public:
    WrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        painter.drawControl(QStyle::CE_CheckBox, option);
        option.text = caption;
        const QRect textRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
        painter.drawItemText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                             option.palette, isEnabled(), caption, QPalette::WindowText);
    }
};

// The layout's faces. The narrow ones fall back to a metric twin, which keeps the captions
// inside their boxes better than the desktop's wider default sans serif; the heavy one falls
// back to whatever sans serif has a heavy weight.
QStringList msSansSerif()
{
    return {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
            QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
}

QStringList arial()
{
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
}

QStringList arialBlack()
{
    return {QStringLiteral("Arial Black")};
}

QFont designFont(const QStringList& families, qreal points, QFont::Weight weight)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

void place(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(QRect(Twips::toPixels(left, top), Twips::toPixelSize(width, height)));
}

template <typename Control> Control* named(Control* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

void setFieldColours(QLineEdit* field, const QColor& text, const QColor& background)
{
    QPalette colours = field->palette();
    colours.setColor(QPalette::Text, text);
    colours.setColor(QPalette::Base, background);
    field->setPalette(colours);
}

// A flag other than 0 or 1 shows as the third state and reads back as 2, so it stays "off"
// for every rule that asks for exactly 1 (a run-hidden 2 launches nothing, as on firing).
void setTick(QCheckBox* box, qint16 value)
{
    if (value == 0) {
        box->setCheckState(Qt::Unchecked);
    } else if (value == 1) {
        box->setCheckState(Qt::Checked);
    } else {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
    }
}

qint16 tickValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}
} // namespace

QM_UTC_ALARM_NOTIFICATION_WINDOW::QM_UTC_ALARM_NOTIFICATION_WINDOW(int n, const AlarmSlot& live,
                                                                   SettingsStore& settings,
                                                                   CommandLauncher& launcher,
                                                                   QWidget* owner)
    : QDialog(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      QM_UTC_TITLE_1(new ColourLabel(QStringLiteral("QM_UTC_TITLE_1"), this)),
      QM_UTC_TITLE_2(new ColourLabel(QStringLiteral("QM_UTC_TITLE_2"), this)),
      ALARM_NOTIFICATION_LABEL(new ColourLabel(QStringLiteral("ALARM_NOTIFICATION_LABEL"), this)),
      EX_LEFT_TEXTBOX(named(new QLineEdit(this), "EX_LEFT_TEXTBOX")),
      EX_RIGHT_TEXTBOX(named(new QLineEdit(this), "EX_RIGHT_TEXTBOX")),
      ALARM_NAME_TEXTBOX(named(new QLineEdit(this), "ALARM_NAME_TEXTBOX")),
      ALARM_NOTIFICATION_MESSAGE_TEXTBOX(
          named(new QLineEdit(this), "ALARM_NOTIFICATION_MESSAGE_TEXTBOX")),
      ALARM_NUMBER_LEFT_TEXTBOX(named(new QLineEdit(this), "ALARM_NUMBER_LEFT_TEXTBOX")),
      ALARM_NUMBER_RIGHT_TEXTBOX(named(new QLineEdit(this), "ALARM_NUMBER_RIGHT_TEXTBOX")),
      ALARM_RUN_COMMAND_TICKBOX(named(new WrappingCheckBox(QStringLiteral("Run Command"), this),
                                      "ALARM_RUN_COMMAND_TICKBOX")),
      RUN_HIDDEN_TICKBOX(
          named(new WrappingCheckBox(QStringLiteral("Run Hidden"), this), "RUN_HIDDEN_TICKBOX")),
      ALARM_RUN_COMMAND_TEXTBOX(named(new QLineEdit(this), "ALARM_RUN_COMMAND_TEXTBOX")),
      RUN_COMMAND_ERROR_LABEL(named(new QLabel(this), "RUN_COMMAND_ERROR_LABEL")),
      RUN_NOW_BUTTON(named(new QPushButton(QStringLiteral("RUN NOW"), this), "RUN_NOW_BUTTON")),
      ALARM_MESSAGE_AUTO_CLOSE_TICKBOX(
          named(new WrappingCheckBox(QStringLiteral("Auto Close"), this),
                "ALARM_MESSAGE_AUTO_CLOSE_TICKBOX")),
      AUTOCLOSE_IN_TB(named(new QLineEdit(this), "AUTOCLOSE_IN_TB")),
      AUTOCLOSE_COUNTDOWN_TB(named(new QLineEdit(this), "AUTOCLOSE_COUNTDOWN_TB")),
      START_STOP_BUTTON(named(new QPushButton(QStringLiteral("START"), this), "START_STOP_BUTTON")),
      OK_BUTTON(named(new QPushButton(QStringLiteral("OK"), this), "OK_BUTTON")),
      ALARM_MESSAGE_AUTOCLOSE_TIMER(
          new Timer(QStringLiteral("ALARM_MESSAGE_AUTOCLOSE_TIMER"), true, this)),
      FLASH_ON_TIMER(new Timer(QStringLiteral("FLASH_ON_TIMER"), true, this)),
      FLASH_OFF_TIMER(new Timer(QStringLiteral("FLASH_OFF_TIMER"), false, this)), m_number(n),
      m_live(live), m_settings(settings), m_launcher(launcher),
      m_keys{SettingsKeys::alarm(SettingsKeys::AlarmField::NOTIFICATION_MESSAGE_Left, n),
             SettingsKeys::alarm(SettingsKeys::AlarmField::NOTIFICATION_MESSAGE_Top, n),
             SettingsKeys::alarm(SettingsKeys::AlarmField::NOTIFICATION_MESSAGE_Width, n),
             SettingsKeys::alarm(SettingsKeys::AlarmField::NOTIFICATION_MESSAGE_Height, n),
             SettingsKeys::alarm(SettingsKeys::AlarmField::MESSAGE_AUTO_CLOSE_TICKBOX, n)},
      m_requester(QStringLiteral("alarm %1").arg(n))
{
    setObjectName(windowName(n));
    setWindowTitle(QStringLiteral("QM-UTC !!! ALARM NOTIFICATION - !!! "));
    setWindowIcon(Emblem::icon());
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();

    connect(FLASH_ON_TIMER, &Timer::timeout, this,
            &QM_UTC_ALARM_NOTIFICATION_WINDOW::FLASH_ON_TIMER_Timer);
    connect(FLASH_OFF_TIMER, &Timer::timeout, this,
            &QM_UTC_ALARM_NOTIFICATION_WINDOW::FLASH_OFF_TIMER_Timer);
    connect(ALARM_MESSAGE_AUTOCLOSE_TIMER, &Timer::timeout, this,
            &QM_UTC_ALARM_NOTIFICATION_WINDOW::ALARM_MESSAGE_AUTOCLOSE_TIMER_Timer);
    // Fires on every real change of state, from the user or from code, as a click would.
    connect(ALARM_MESSAGE_AUTO_CLOSE_TICKBOX, &QCheckBox::stateChanged, this,
            &QM_UTC_ALARM_NOTIFICATION_WINDOW::ALARM_MESSAGE_AUTO_CLOSE_TICKBOX_Click);
    // A stored odd value shows as the third state; the user's clicks only toggle 0 and 1.
    connect(ALARM_MESSAGE_AUTO_CLOSE_TICKBOX, &QCheckBox::clicked, this,
            [this] { ALARM_MESSAGE_AUTO_CLOSE_TICKBOX->setTristate(false); });
    connect(START_STOP_BUTTON, &QPushButton::clicked, this,
            &QM_UTC_ALARM_NOTIFICATION_WINDOW::START_STOP_BUTTON_Click);
    connect(OK_BUTTON, &QPushButton::clicked, this,
            &QM_UTC_ALARM_NOTIFICATION_WINDOW::OK_BUTTON_Click);
    connect(RUN_NOW_BUTTON, &QPushButton::clicked, this,
            &QM_UTC_ALARM_NOTIFICATION_WINDOW::RUN_NOW_BUTTON_Click);
    AUTOCLOSE_COUNTDOWN_TB->installEventFilter(this);

    Form_Load();
}

QM_UTC_ALARM_NOTIFICATION_WINDOW::~QM_UTC_ALARM_NOTIFICATION_WINDOW() = default;

QString QM_UTC_ALARM_NOTIFICATION_WINDOW::windowName(int n)
{
    return QStringLiteral("QM_UTC_ALARM_%1_NOTIFICATION_WINDOW").arg(n);
}

QM_UTC_ALARM_NOTIFICATION_WINDOW* QM_UTC_ALARM_NOTIFICATION_WINDOW::findOpen(int n)
{
    const QString name = windowName(n);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<QM_UTC_ALARM_NOTIFICATION_WINDOW*>(widget);
        if (window && window->objectName() == name && !window->m_unloaded)
            return window;
    }
    return nullptr;
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::buildControls()
{
    // Controls without a face of their own (tick boxes, buttons) use the window's.
    setFont(designFont(msSansSerif(), 8.25, QFont::Normal));
    for (ColourLabel* label : {QM_UTC_TITLE_1, QM_UTC_TITLE_2, ALARM_NOTIFICATION_LABEL}) {
        label->setForeColor(green);
        label->setBackColor(black);
        label->setFont(designFont(msSansSerif(), 9.75, QFont::Bold));
    }
    QM_UTC_TITLE_1->setText(QStringLiteral("QUILL-MARSH"));
    QM_UTC_TITLE_2->setText(QStringLiteral("QM-UTC"));
    ALARM_NOTIFICATION_LABEL->setText(QStringLiteral("ALARM NOTIFICATION"));
    place(QM_UTC_TITLE_1, 120, 120, 3375, 315);
    place(QM_UTC_TITLE_2, 3600, 120, 1455, 315);
    place(ALARM_NOTIFICATION_LABEL, 5160, 120, 3375, 315);

    const QFont marks = designFont(arial(), 36, QFont::Bold);
    for (QLineEdit* mark : {EX_LEFT_TEXTBOX, EX_RIGHT_TEXTBOX}) {
        mark->setText(QStringLiteral("!!!"));
        mark->setFont(marks);
        mark->setReadOnly(true);
        mark->setTextMargins(0, 0, 0, 0);
    }
    setExColour(Qt::red);
    place(EX_LEFT_TEXTBOX, 240, 600, 975, 885);
    place(EX_RIGHT_TEXTBOX, 7440, 600, 975, 900);

    ALARM_NAME_TEXTBOX->setFont(designFont(arialBlack(), 14.25, QFont::Black));
    ALARM_NOTIFICATION_MESSAGE_TEXTBOX->setFont(designFont(arialBlack(), 11.25, QFont::Black));
    for (QLineEdit* field : {ALARM_NAME_TEXTBOX, ALARM_NOTIFICATION_MESSAGE_TEXTBOX})
        field->setReadOnly(true);
    place(ALARM_NAME_TEXTBOX, 1440, 600, 5775, 465);
    place(ALARM_NOTIFICATION_MESSAGE_TEXTBOX, 1440, 1080, 5775, 420);

    const QFont badge = designFont(arialBlack(), 14.25, QFont::Black);
    for (QLineEdit* number : {ALARM_NUMBER_LEFT_TEXTBOX, ALARM_NUMBER_RIGHT_TEXTBOX}) {
        number->setText(QStringLiteral("X"));
        number->setFont(badge);
        number->setTextMargins(0, 0, 0, 0);
        setFieldColours(number, Qt::yellow, Qt::black);
    }
    place(ALARM_NUMBER_LEFT_TEXTBOX, 480, 1680, 495, 495);
    place(ALARM_NUMBER_RIGHT_TEXTBOX, 7680, 1680, 495, 495);

    for (QCheckBox* box : {ALARM_RUN_COMMAND_TICKBOX, RUN_HIDDEN_TICKBOX})
        box->setEnabled(false);
    place(ALARM_RUN_COMMAND_TICKBOX, 1440, 1560, 1455, 375);
    place(RUN_HIDDEN_TICKBOX, 3000, 1560, 1455, 375);

    ALARM_RUN_COMMAND_TEXTBOX->setText(QStringLiteral("Run Command"));
    ALARM_RUN_COMMAND_TEXTBOX->setFont(designFont(msSansSerif(), 8.25, QFont::Bold));
    ALARM_RUN_COMMAND_TEXTBOX->setReadOnly(true);
    setFieldColours(ALARM_RUN_COMMAND_TEXTBOX, palette().color(QPalette::Text),
                    QColor(224, 224, 224));
    place(ALARM_RUN_COMMAND_TEXTBOX, 1440, 1920, 5775, 285);

    // Sits in the free space right of the two command tick boxes, just above the command.
    QPalette errorColours = RUN_COMMAND_ERROR_LABEL->palette();
    errorColours.setColor(QPalette::WindowText, Qt::red);
    RUN_COMMAND_ERROR_LABEL->setPalette(errorColours);
    QFont errorFont = RUN_COMMAND_ERROR_LABEL->font();
    errorFont.setPointSizeF(7);
    RUN_COMMAND_ERROR_LABEL->setFont(errorFont);
    RUN_COMMAND_ERROR_LABEL->setWordWrap(true);
    RUN_COMMAND_ERROR_LABEL->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    RUN_COMMAND_ERROR_LABEL->hide();
    place(RUN_COMMAND_ERROR_LABEL, 4560, 1560, 2655, 360);

    RUN_NOW_BUTTON->setDefault(true);
    place(RUN_NOW_BUTTON, 240, 2400, 975, 495);
    place(ALARM_MESSAGE_AUTO_CLOSE_TICKBOX, 1440, 2400, 735, 495);

    const QFont countdown = designFont(arialBlack(), 12, QFont::Black);
    AUTOCLOSE_IN_TB->setText(QStringLiteral("AUTOCLOSE:"));
    AUTOCLOSE_COUNTDOWN_TB->setText(m_countdown.field());
    for (QLineEdit* field : {AUTOCLOSE_IN_TB, AUTOCLOSE_COUNTDOWN_TB}) {
        field->setFont(countdown);
        field->setTextMargins(0, 0, 0, 0);
        setFieldColours(field, Qt::cyan, Qt::black);
    }
    place(AUTOCLOSE_IN_TB, 2400, 2400, 1935, 465);
    place(AUTOCLOSE_COUNTDOWN_TB, 4440, 2400, 615, 465);

    place(START_STOP_BUTTON, 5280, 2400, 975, 495);
    place(OK_BUTTON, 6480, 2400, 1935, 495);

    for (QLineEdit* field : findChildren<QLineEdit*>())
        field->setAlignment(field == ALARM_RUN_COMMAND_TEXTBOX ? Qt::AlignLeft | Qt::AlignVCenter
                                                               : Qt::AlignCenter);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::Form_Load()
{
    placeFromStore();

    // A stored 1 differs from the design state, so the box's click reaction runs here.
    if (m_keys.autoClose)
        setTick(ALARM_MESSAGE_AUTO_CLOSE_TICKBOX, m_settings.readFlag(*m_keys.autoClose));

    ALARM_NAME_TEXTBOX->setText(m_live.name);
    ALARM_NOTIFICATION_MESSAGE_TEXTBOX->setText(m_live.message);
    setTick(ALARM_RUN_COMMAND_TICKBOX, m_live.run_command);
    ALARM_RUN_COMMAND_TEXTBOX->setText(m_live.command);
    setTick(RUN_HIDDEN_TICKBOX, m_live.run_hidden);

    const QString number = QString::number(m_number);
    ALARM_NUMBER_LEFT_TEXTBOX->setText(number);
    ALARM_NUMBER_RIGHT_TEXTBOX->setText(number);

    setWindowTitle(QStringLiteral("QM-UTC - !!! ALARM NOTIFICATION - !!! - ") +
                   ALARM_NAME_TEXTBOX->text());

    m_countdown.resetValue();
    setTimerIntervals();
    m_countdown.applyTickAtOpening();
    showCountdown();

    RUN_NOW_BUTTON->setEnabled(tickValue(ALARM_RUN_COMMAND_TICKBOX) == 1);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::placeFromStore()
{
    const float left = m_settings.readTwips(m_keys.left);
    const float top = m_settings.readTwips(m_keys.top);
    const float width = m_settings.readTwips(m_keys.width);
    const float height = m_settings.readTwips(m_keys.height);
    m_position.place(this, left, top);
    WindowGeometry::setFixedOuterSize(this, Twips::toPixelSize(width, height));
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::setTimerIntervals()
{
    // The flash-on timer is already on, so this starts the flashing.
    ALARM_MESSAGE_AUTOCLOSE_TIMER->setInterval(1000);
    FLASH_ON_TIMER->setInterval(500);
    FLASH_OFF_TIMER->setInterval(500);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::Form_Unload()
{
    SettingsStore::Batch batch(m_settings);
    writeStoredValues();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::writeStoredValues()
{
    m_settings.writeTwips(m_keys.left, m_position.leftTwips(this));
    m_settings.writeTwips(m_keys.top, m_position.topTwips(this));
    if (m_keys.autoClose)
        m_settings.writeFlag(*m_keys.autoClose, tickValue(ALARM_MESSAGE_AUTO_CLOSE_TICKBOX));
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::done(int result)
{
    unloadOnce();
    QDialog::done(result);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    // A window closed before it was ever shown does not pass through done().
    if (event->isAccepted())
        unloadOnce();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::unloadOnce()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Form_Unload();
    // The window is on its way out; nothing may tick into it or close it a second time.
    for (Timer* timer : {ALARM_MESSAGE_AUTOCLOSE_TIMER, FLASH_ON_TIMER, FLASH_OFF_TIMER})
        timer->setEnabled(false);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::setExColour(Qt::GlobalColor colour)
{
    for (QLineEdit* mark : {EX_LEFT_TEXTBOX, EX_RIGHT_TEXTBOX})
        setFieldColours(mark, colour, Qt::black);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::FLASH_ON_TIMER_Timer()
{
    setExColour(Qt::red);
    FLASH_OFF_TIMER->setEnabled(true);
    FLASH_ON_TIMER->setEnabled(false);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::FLASH_OFF_TIMER_Timer()
{
    // Black on black: the marks vanish.
    setExColour(Qt::black);
    FLASH_OFF_TIMER->setEnabled(false);
    FLASH_ON_TIMER->setEnabled(true);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::showCountdown()
{
    ALARM_MESSAGE_AUTOCLOSE_TIMER->setEnabled(m_countdown.timerRunning());
    START_STOP_BUTTON->setText(m_countdown.caption());
    START_STOP_BUTTON->setEnabled(m_countdown.buttonEnabled());
    AUTOCLOSE_COUNTDOWN_TB->setText(m_countdown.field());
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::ALARM_MESSAGE_AUTOCLOSE_TIMER_Timer()
{
    const bool closeNow = m_countdown.tick();
    showCountdown();
    if (closeNow)
        reject();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::ALARM_MESSAGE_AUTO_CLOSE_TICKBOX_Click()
{
    m_countdown.autoCloseClicked(tickValue(ALARM_MESSAGE_AUTO_CLOSE_TICKBOX) == 1);
    showCountdown();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::START_STOP_BUTTON_Click()
{
    m_countdown.startStopClicked();
    showCountdown();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::AUTOCLOSE_COUNTDOWN_TB_DblClick()
{
    m_countdown.countdownDoubleClicked();
    showCountdown();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::OK_BUTTON_Click()
{
    {
        SettingsStore::Batch batch(m_settings);
        writeStoredValues();
    }
    accept();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::RUN_NOW_BUTTON_Click()
{
    const QString reason =
        LaunchRule::launch(m_launcher, m_requester, tickValue(ALARM_RUN_COMMAND_TICKBOX),
                           tickValue(RUN_HIDDEN_TICKBOX), ALARM_RUN_COMMAND_TEXTBOX->text());
    if (!reason.isEmpty())
        showLaunchFailure(reason);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::showLaunchFailure(const QString& reason)
{
    RUN_COMMAND_ERROR_LABEL->setText(reason);
    RUN_COMMAND_ERROR_LABEL->setToolTip(reason);
    RUN_COMMAND_ERROR_LABEL->show();
}

bool QM_UTC_ALARM_NOTIFICATION_WINDOW::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == AUTOCLOSE_COUNTDOWN_TB && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        AUTOCLOSE_COUNTDOWN_TB_DblClick();
    return QDialog::eventFilter(watched, event);
}
