// SPDX-License-Identifier: GPL-3.0-or-later
#include "QM_UTC_ALARM_NOTIFICATION_WINDOW.h"

#include "LaunchRule.h"
#include "Ringer.h"
#include "platform/Timer.h"
#include "settings/SettingsStore.h"
#include "widgets/DesignFont.h"
#include "widgets/ElidedField.h"
#include "widgets/FlowLabel.h"
#include "widgets/FormControl.h"
#include "widgets/ShownText.h"
#include "widgets/TickBox.h"
#include "widgets/TitleLabel.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {
// A dialog, so that the window manager learns its owner and keeps it above that.
const Qt::WindowFlags frame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

QLineEdit* field(QWidget* parent, const QString& text)
{
    auto* control = new QLineEdit(text, parent);
    control->setAlignment(Qt::AlignCenter);
    return control;
}

// Its beginning where it is too long for the field, the rest in the tooltip.
void showWhole(QLineEdit* field, const QString& text)
{
    field->setText(ShownText::cut(text));
    field->setCursorPosition(0);
    ElidedField::attach(field);
}

// The room right of the two command tick boxes: the launch failure flows there and on under the
// command; an alarm's window keeps its right end for Snooze, and the mark of a missed alarm
// takes the rest.
constexpr TwipsRect besideTickBoxes{4200, 1515, 3015, 390};
constexpr TwipsRect besideSnooze{4200, 1515, 1875, 390};
constexpr TwipsRect underCommand{1440, 2205, 5775, 195};
} // namespace

QM_UTC_ALARM_NOTIFICATION_WINDOW::QM_UTC_ALARM_NOTIFICATION_WINDOW(const Announcement& announcement,
                                                                   SettingsStore& settings,
                                                                   CommandLauncher& launcher,
                                                                   QWidget* owner)
    // Escape dismisses an alarm, but never drops a command typed into the test window.
    : FormDialog(owner, frame, settings, announcement.placement,
                 announcement.commandByHand ? DeleteOnClose | KeepOpenOnEscape : DeleteOnClose),
      QM_UTC_TITLE_1(TitleLabel::place(this, "QM_UTC_TITLE_1", QStringLiteral("QUILL-MARSH"),
                                       {120, 120, 3375, 315})),
      QM_UTC_TITLE_2(TitleLabel::place(this, "QM_UTC_TITLE_2", QStringLiteral("QM-UTC"),
                                       {3600, 120, 1455, 315})),
      ALARM_NOTIFICATION_LABEL(TitleLabel::place(this, "ALARM_NOTIFICATION_LABEL",
                                                 QStringLiteral("ALARM NOTIFICATION"),
                                                 {5160, 120, 3375, 315})),
      EX_LEFT_TEXTBOX(Form::place(field(this, QStringLiteral("!!!")), "EX_LEFT_TEXTBOX",
                                  {240, 600, 975, 885},
                                  {DesignFont::arial(36), Qt::red, Qt::black})),
      EX_RIGHT_TEXTBOX(Form::place(field(this, QStringLiteral("!!!")), "EX_RIGHT_TEXTBOX",
                                   {7440, 600, 975, 900},
                                   {DesignFont::arial(36), Qt::red, Qt::black})),
      ALARM_NAME_TEXTBOX(Form::place(field(this, {}), "ALARM_NAME_TEXTBOX", {1440, 600, 5775, 465},
                                     {DesignFont::arialBlack(14.25), {}, {}})),
      ALARM_NOTIFICATION_MESSAGE_TEXTBOX(Form::place(
          field(this, {}), "ALARM_NOTIFICATION_MESSAGE_TEXTBOX", {1440, 1080, 5775, 420},
          {DesignFont::arialBlack(announcement.messagePoints), {}, {}})),
      ALARM_NUMBER_LEFT_TEXTBOX(Form::place(
          field(this, QStringLiteral("X")), "ALARM_NUMBER_LEFT_TEXTBOX", {480, 1680, 495, 495},
          {DesignFont::arialBlack(14.25), Qt::yellow, Qt::black})),
      ALARM_NUMBER_RIGHT_TEXTBOX(Form::place(
          field(this, QStringLiteral("X")), "ALARM_NUMBER_RIGHT_TEXTBOX", {7680, 1680, 495, 495},
          {DesignFont::arialBlack(14.25), Qt::yellow, Qt::black})),
      ALARM_RUN_COMMAND_TICKBOX(Form::place(new TickBox(QStringLiteral("Run Command"), this),
                                            "ALARM_RUN_COMMAND_TICKBOX", {1440, 1560, 1455, 375})),
      RUN_HIDDEN_TICKBOX(Form::place(new TickBox(QStringLiteral("Run Hidden"), this),
                                     "RUN_HIDDEN_TICKBOX", {3000, 1560, 1455, 375})),
      ALARM_RUN_COMMAND_TEXTBOX(Form::place(
          new QLineEdit(QStringLiteral("Run Command"), this), "ALARM_RUN_COMMAND_TEXTBOX",
          {1440, 1920, 5775, 285}, {DesignFont::msSansSerif(8.25), {}, QColor(224, 224, 224)})),
      RUN_COMMAND_ERROR_LABEL(
          new FlowLabel({Form::pixels(besideTickBoxes), Form::pixels(underCommand)}, 6, this)),
      RUN_NOW_BUTTON(Form::place(new QPushButton(QStringLiteral("RUN NOW"), this), "RUN_NOW_BUTTON",
                                 {240, 2400, 975, 495})),
      ALARM_MESSAGE_AUTO_CLOSE_TICKBOX(Form::place(new TickBox(QStringLiteral("Auto Close"), this),
                                                   "ALARM_MESSAGE_AUTO_CLOSE_TICKBOX",
                                                   {1440, 2400, 735, 495})),
      AUTOCLOSE_IN_TB(Form::place(field(this, QStringLiteral("AUTOCLOSE:")), "AUTOCLOSE_IN_TB",
                                  {2400, 2400, 1935, 465},
                                  {DesignFont::arialBlack(12), Qt::cyan, Qt::black})),
      AUTOCLOSE_COUNTDOWN_TB(Form::place(field(this, {}), "AUTOCLOSE_COUNTDOWN_TB",
                                         {4440, 2400, 615, 465},
                                         {DesignFont::arialBlack(12), Qt::cyan, Qt::black})),
      START_STOP_BUTTON(Form::place(new QPushButton(AutoCloseCountdown::startCaption(), this),
                                    "START_STOP_BUTTON", {5280, 2400, 975, 495})),
      OK_BUTTON(Form::place(new QPushButton(QStringLiteral("OK"), this), "OK_BUTTON",
                            {6480, 2400, 1935, 495})),
      SNOOZE_BUTTON(Form::place(new QPushButton(QStringLiteral("Snooze"), this), "SNOOZE_BUTTON",
                                {6135, 1545, 1080, 345})),
      // Over two lines where it names the day.
      MISSED_AT_LABEL(new FlowLabel({Form::pixels({4470, 1515, 1605, 390})}, 6, this)),
      // Where the launch failure would flow; beside it, it takes the room under the command.
      SOUND_PROBLEM_LABEL(
          new FlowLabel({Form::pixels(besideTickBoxes), Form::pixels(underCommand)}, 6, this)),
      ALARM_MESSAGE_AUTOCLOSE_TIMER(
          new Timer(QStringLiteral("ALARM_MESSAGE_AUTOCLOSE_TIMER"), true, this)),
      FLASH_ON_TIMER(new Timer(QStringLiteral("FLASH_ON_TIMER"), true, this)),
      FLASH_OFF_TIMER(new Timer(QStringLiteral("FLASH_OFF_TIMER"), false, this)),
      m_announcement(announcement), m_launcher(launcher)
{
    setObjectName(announcement.windowName);
    setWindowTitle(QStringLiteral("QM-UTC !!! ALARM NOTIFICATION - !!! "));
    // An Enter typed in another program at the moment it appears must not reach RUN NOW.
    setAttribute(Qt::WA_ShowWithoutActivating, !announcement.takesFocus);
    buildControls();
    connectHandlers();
    Form_Load();
    setMissed(m_announcement.missed);
}

QM_UTC_ALARM_NOTIFICATION_WINDOW::~QM_UTC_ALARM_NOTIFICATION_WINDOW() = default;

void QM_UTC_ALARM_NOTIFICATION_WINDOW::buildControls()
{
    for (QLineEdit* readOnly : {EX_LEFT_TEXTBOX, EX_RIGHT_TEXTBOX, ALARM_NAME_TEXTBOX,
                                ALARM_NOTIFICATION_MESSAGE_TEXTBOX, ALARM_RUN_COMMAND_TEXTBOX})
        readOnly->setReadOnly(true);
    for (QLineEdit* tight : {EX_LEFT_TEXTBOX, EX_RIGHT_TEXTBOX, ALARM_NUMBER_LEFT_TEXTBOX,
                             ALARM_NUMBER_RIGHT_TEXTBOX, AUTOCLOSE_IN_TB, AUTOCLOSE_COUNTDOWN_TB})
        tight->setTextMargins(0, 0, 0, 0);
    AUTOCLOSE_COUNTDOWN_TB->setText(m_countdown.field());
    EX_LEFT_TEXTBOX->setAccessibleName(QStringLiteral("Alarm mark, left"));
    EX_RIGHT_TEXTBOX->setAccessibleName(QStringLiteral("Alarm mark, right"));
    ALARM_RUN_COMMAND_TICKBOX->setEnabled(m_announcement.commandByHand);
    RUN_HIDDEN_TICKBOX->setEnabled(false);

    RUN_COMMAND_ERROR_LABEL->setObjectName(QStringLiteral("RUN_COMMAND_ERROR_LABEL"));
    QPalette errorColours = RUN_COMMAND_ERROR_LABEL->palette();
    errorColours.setColor(QPalette::WindowText, Qt::red);
    RUN_COMMAND_ERROR_LABEL->setPalette(errorColours);
    RUN_COMMAND_ERROR_LABEL->hide();

    // An alarm can be put off; the test cannot.
    SNOOZE_BUTTON->setVisible(m_announcement.alarmNumber > 0);
    SNOOZE_BUTTON->setAutoDefault(false);
    MISSED_AT_LABEL->setObjectName(QStringLiteral("MISSED_AT_LABEL"));
    MISSED_AT_LABEL->setFont(DesignFont::msSansSerif(8.25));
    MISSED_AT_LABEL->setPalette(errorColours);
    MISSED_AT_LABEL->hide();
    SOUND_PROBLEM_LABEL->setObjectName(QStringLiteral("SOUND_PROBLEM_LABEL"));
    SOUND_PROBLEM_LABEL->setPalette(errorColours);
    SOUND_PROBLEM_LABEL->hide();

    // Enter acknowledges; only a deliberate click or Space runs the command again.
    OK_BUTTON->setDefault(true);
    RUN_NOW_BUTTON->setAutoDefault(false);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::connectHandlers()
{
    using Window = QM_UTC_ALARM_NOTIFICATION_WINDOW;
    connect(FLASH_ON_TIMER, &Timer::timeout, this, &Window::FLASH_ON_TIMER_Timer);
    connect(FLASH_OFF_TIMER, &Timer::timeout, this, &Window::FLASH_OFF_TIMER_Timer);
    connect(ALARM_MESSAGE_AUTOCLOSE_TIMER, &Timer::timeout, this,
            &Window::ALARM_MESSAGE_AUTOCLOSE_TIMER_Timer);
    connect(ALARM_MESSAGE_AUTO_CLOSE_TICKBOX, &TickBox::valueChanged, this,
            &Window::ALARM_MESSAGE_AUTO_CLOSE_TICKBOX_Click);
    if (m_announcement.commandByHand) {
        connect(ALARM_RUN_COMMAND_TICKBOX, &TickBox::valueChanged, this,
                &Window::ALARM_RUN_COMMAND_TICKBOX_Click);
    }
    connect(START_STOP_BUTTON, &QPushButton::clicked, this, &Window::START_STOP_BUTTON_Click);
    connect(OK_BUTTON, &QPushButton::clicked, this, &Window::OK_BUTTON_Click);
    connect(RUN_NOW_BUTTON, &QPushButton::clicked, this, &Window::RUN_NOW_BUTTON_Click);
    connect(SNOOZE_BUTTON, &QPushButton::clicked, this, &Window::SNOOZE_BUTTON_Click);
    AUTOCLOSE_COUNTDOWN_TB->installEventFilter(this);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::Form_Load()
{
    placeFromStore();

    // A stored 1 differs from the design state, so the box's click reaction runs here.
    if (m_announcement.autoClose)
        ALARM_MESSAGE_AUTO_CLOSE_TICKBOX->setValue(m_settings.readFlag(*m_announcement.autoClose));
    m_openedAutoClose = ALARM_MESSAGE_AUTO_CLOSE_TICKBOX->value();

    showWhole(ALARM_NAME_TEXTBOX, m_announcement.name);
    showWhole(ALARM_NOTIFICATION_MESSAGE_TEXTBOX, m_announcement.message);
    ALARM_RUN_COMMAND_TICKBOX->setValue(m_announcement.runCommand);
    showWhole(ALARM_RUN_COMMAND_TEXTBOX, m_announcement.command);
    RUN_HIDDEN_TICKBOX->setValue(m_announcement.runHidden);
    ALARM_NUMBER_LEFT_TEXTBOX->setText(m_announcement.badge);
    ALARM_NUMBER_RIGHT_TEXTBOX->setText(m_announcement.badge);
    setWindowTitle(ShownText::cut(m_announcement.title));

    m_countdown.resetValue();
    // The flash-on timer is already on, so this starts the flashing.
    ALARM_MESSAGE_AUTOCLOSE_TIMER->setInterval(1000);
    FLASH_ON_TIMER->setInterval(500);
    FLASH_OFF_TIMER->setInterval(500);
    m_countdown.applyTickAtOpening();
    showCountdown();

    RUN_NOW_BUTTON->setEnabled(ALARM_RUN_COMMAND_TICKBOX->value() == 1);
    if (m_announcement.commandByHand)
        ALARM_RUN_COMMAND_TICKBOX_Click();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::Form_Unload()
{
    FormDialog::Form_Unload();
    writeAutoClose();
    // Answered: OK, Snooze, the close box or the end of the countdown.
    if (m_ringer)
        m_ringer->answer(objectName());
    // The window is on its way out; nothing may tick into it or close it a second time.
    for (Timer* timer : {ALARM_MESSAGE_AUTOCLOSE_TIMER, FLASH_ON_TIMER, FLASH_OFF_TIMER})
        timer->setEnabled(false);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::writeAutoClose()
{
    // Only a change the person made here: a hand edit of the file meanwhile stays otherwise.
    const qint16 shown = ALARM_MESSAGE_AUTO_CLOSE_TICKBOX->value();
    if (m_announcement.autoClose && shown != m_openedAutoClose)
        m_settings.writeFlag(*m_announcement.autoClose, shown);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::setExColour(const QColor& colour)
{
    for (QLineEdit* mark : {EX_LEFT_TEXTBOX, EX_RIGHT_TEXTBOX})
        Form::setColours(mark, colour, Qt::black);
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
    m_countdown.autoCloseClicked(ALARM_MESSAGE_AUTO_CLOSE_TICKBOX->value() == 1);
    showCountdown();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::ALARM_RUN_COMMAND_TICKBOX_Click()
{
    const bool on = ALARM_RUN_COMMAND_TICKBOX->value() == 1;
    ALARM_RUN_COMMAND_TEXTBOX->setReadOnly(!on);
    RUN_HIDDEN_TICKBOX->setEnabled(on);
    if (!on)
        RUN_HIDDEN_TICKBOX->setValue(0);
    RUN_NOW_BUTTON->setEnabled(on);
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
    closeByButton();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::SNOOZE_BUTTON_Click()
{
    emit snoozed(m_announcement.alarmNumber);
    closeByButton();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::closeByButton()
{
    {
        SettingsStore::Batch batch(m_settings);
        writePosition();
        writeAutoClose();
    }
    accept();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::RUN_NOW_BUTTON_Click()
{
    // An alarm's own command, not the beginning of it that the field shows.
    const QString command =
        m_announcement.commandByHand ? ALARM_RUN_COMMAND_TEXTBOX->text() : m_announcement.command;
    const QString refusal =
        m_announcement.commandByHand ? QString() : m_announcement.commandRefusal;
    const LaunchResult launch =
        LaunchRule::launch(m_launcher, m_announcement.requester, ALARM_RUN_COMMAND_TICKBOX->value(),
                           RUN_HIDDEN_TICKBOX->value(), command, refusal);
    setLaunchFailure(launch.error);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::setLaunchFailure(const QString& reason)
{
    RUN_COMMAND_ERROR_LABEL->setText(ShownText::cut(reason));
    RUN_COMMAND_ERROR_LABEL->setToolTip(ShownText::tip(reason));
    RUN_COMMAND_ERROR_LABEL->setVisible(!reason.isEmpty());
    layOutProblems();
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::setMissed(const QString& missed)
{
    MISSED_AT_LABEL->setText(missed);
    MISSED_AT_LABEL->setToolTip(missed.isEmpty()
                                    ? QString()
                                    : missed + QStringLiteral(": the clock could not show the "
                                                              "alarm's time, so its command "
                                                              "was not run. RUN NOW runs it."));
    MISSED_AT_LABEL->setVisible(!missed.isEmpty());
    layOutProblems();
    // Left to count down, it would close before anyone saw it; the stored choice stays.
    if (!missed.isEmpty() && m_countdown.timerRunning()) {
        m_countdown.countdownDoubleClicked();
        showCountdown();
    }
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::ring(Ringer& ringer)
{
    if (!m_ringer) {
        m_ringer = &ringer;
        connect(&ringer, &Ringer::problem, this, [this](const QString& reason) {
            if (m_ringer->ringsFor(objectName()))
                showSoundProblem(reason);
        });
    }
    ringer.ring(objectName());
    // Said before this window joined the ring.
    for (const QString& reason : ringer.problems())
        showSoundProblem(reason);
}

void QM_UTC_ALARM_NOTIFICATION_WINDOW::showSoundProblem(const QString& reason)
{
    QStringList shown = SOUND_PROBLEM_LABEL->text().split(QChar::LineSeparator, Qt::SkipEmptyParts);
    if (shown.contains(reason))
        return;
    shown.append(reason);
    const QString text = shown.join(QChar::LineSeparator);
    SOUND_PROBLEM_LABEL->setText(ShownText::cut(text));
    SOUND_PROBLEM_LABEL->setToolTip(ShownText::tip(text));
    SOUND_PROBLEM_LABEL->show();
    layOutProblems();
}

// The launch failure and the sound's problem share the free room; each flows smaller where
// it needs to, and shows whole in its tooltip.
void QM_UTC_ALARM_NOTIFICATION_WINDOW::layOutProblems()
{
    const QList<QRect> areas = freeAreas();
    if (RUN_COMMAND_ERROR_LABEL->isHidden() || SOUND_PROBLEM_LABEL->isHidden() ||
        areas.size() < 2) {
        RUN_COMMAND_ERROR_LABEL->setAreas(areas);
        SOUND_PROBLEM_LABEL->setAreas(areas);
        return;
    }
    RUN_COMMAND_ERROR_LABEL->setAreas({areas.first()});
    SOUND_PROBLEM_LABEL->setAreas(areas.mid(1));
}

QList<QRect> QM_UTC_ALARM_NOTIFICATION_WINDOW::freeAreas() const
{
    if (!MISSED_AT_LABEL->isHidden())
        return {Form::pixels(underCommand)};
    if (!SNOOZE_BUTTON->isHidden())
        return {Form::pixels(besideSnooze), Form::pixels(underCommand)};
    return {Form::pixels(besideTickBoxes), Form::pixels(underCommand)};
}

bool QM_UTC_ALARM_NOTIFICATION_WINDOW::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == AUTOCLOSE_COUNTDOWN_TB && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        AUTOCLOSE_COUNTDOWN_TB_DblClick();
    return FormDialog::eventFilter(watched, event);
}
