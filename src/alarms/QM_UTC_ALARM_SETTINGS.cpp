// SPDX-License-Identifier: GPL-3.0-or-later
#include "QM_UTC_ALARM_SETTINGS.h"

#include "AlarmDateField.h"
#include "AlarmDaysField.h"
#include "AlarmRecord.h"
#include "AlarmRow.h"
#include "AlarmTimeField.h"
#include "AlarmTrigger.h"
#include "DayToggle.h"
#include "notify/QM_UTC_ALARM_NOTIFICATION_WINDOW.h"
#include "notify/Ringer.h"
#include "platform/X11Window.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/DesignFont.h"
#include "widgets/FormControl.h"
#include "widgets/ShownText.h"
#include "widgets/StoredTextField.h"
#include "widgets/TickBox.h"
#include "widgets/TitleLabel.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using SettingsKeys::alarmCount;

namespace {
const Qt::WindowFlags frame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// A line drawn two pixels wide, centred on where it was laid out.
void line(QWidget* window, QFrame::Shape shape, const TwipsRect& along)
{
    auto* drawn = new QFrame(window);
    drawn->setFrameShape(shape);
    drawn->setFrameShadow(QFrame::Sunken);
    drawn->setGeometry(Form::pixels(along));
}
} // namespace

QM_UTC_ALARM_SETTINGS::QM_UTC_ALARM_SETTINGS(AlarmTrigger& alarms, SettingsStore& settings,
                                             CommandLauncher& launcher, QWidget* owner,
                                             Ringer* ringer)
    : FormDialog(owner, frame, settings,
                 {SettingsKeys::ALARM_SETTINGS_Left, SettingsKeys::ALARM_SETTINGS_Top,
                  SettingsKeys::ALARM_SETTINGS_Width, SettingsKeys::ALARM_SETTINGS_Height},
                 DeleteOnClose | KeepOpenOnEscape),
      QM_TITLE_1(TitleLabel::place(this, "QM_TITLE_1", QStringLiteral("QUILL-MARSH"),
                                   {120, 120, 2175, 315})),
      QM_TITLE_2(TitleLabel::place(this, "QM_TITLE_2", QStringLiteral("GLIMMER-DIAL"),
                                   {2400, 120, 2775, 315})),
      QM_TITLE_3(
          TitleLabel::place(this, "QM_TITLE_3", QStringLiteral("QM-UTC"), {8040, 120, 2295, 315})),
      ALARM_SETTINGS_LABEL(TitleLabel::place(
          this, "ALARM_SETTINGS_LABEL", QStringLiteral("ALARM SETTINGS"), {10440, 120, 3015, 315})),
      ENABLE_ALARMS_TICKBOX(Form::place(new TickBox(QStringLiteral("Enable Alarms"), this),
                                        "ENABLE_ALARMS_TICKBOX", {5520, 120, 2415, 255},
                                        {DesignFont::arialBlack(11.25), {}, {}})),
      TEST_ALARM_WINDOW_BUTTON(
          Form::place(new QPushButton(QStringLiteral("Test Alarm Notification Window"), this),
                      "TEST_ALARM_WINDOW_BUTTON", {2160, 7320, 3015, 495})),
      OK_BUTTON(Form::place(new QPushButton(QStringLiteral("OK"), this), "OK_BUTTON",
                            {9120, 7320, 2655, 495})),
      // The sound, in the free room between the two buttons.
      SOUND_LABEL(Form::place(new QLabel(QStringLiteral("Sound"), this), "SOUND_LABEL",
                              {5340, 7440, 540, 255})),
      SOUND_FILE_TEXTBOX(
          Form::place(new StoredTextField(this), "SOUND_FILE_TEXTBOX", {5880, 7425, 1800, 285})),
      SOUND_CHOOSE_BUTTON(Form::place(new QPushButton(QStringLiteral("\u2026"), this),
                                      "SOUND_CHOOSE_BUTTON", {7740, 7380, 360, 375})),
      TRY_SOUND_BUTTON(Form::place(new QPushButton(QStringLiteral("Try"), this), "TRY_SOUND_BUTTON",
                                   {8220, 7320, 780, 495})),
      m_alarms(alarms), m_launcher(launcher), m_ringer(ringer)
{
    setObjectName(QStringLiteral("QM_UTC_ALARM_SETTINGS"));
    setWindowTitle(QStringLiteral("QM-UTC - ALARM SETTINGS"));
    for (int n = 1; n <= alarmCount; ++n)
        m_rows[n - 1] = new AlarmRow(n, this);
    buildLines();
    buildSoundChoice();
    setFocusOrder();

    connect(ENABLE_ALARMS_TICKBOX, &TickBox::valueChanged, this,
            &QM_UTC_ALARM_SETTINGS::ENABLE_ALARMS_TICKBOX_Click);
    connect(TEST_ALARM_WINDOW_BUTTON, &QPushButton::clicked, this,
            &QM_UTC_ALARM_SETTINGS::TEST_ALARM_WINDOW_BUTTON_Click);
    connect(OK_BUTTON, &QPushButton::clicked, this, &QM_UTC_ALARM_SETTINGS::OK_BUTTON_Click);
    connect(SOUND_CHOOSE_BUTTON, &QPushButton::clicked, this,
            &QM_UTC_ALARM_SETTINGS::SOUND_CHOOSE_BUTTON_Click);
    connect(TRY_SOUND_BUTTON, &QPushButton::clicked, this,
            &QM_UTC_ALARM_SETTINGS::TRY_SOUND_BUTTON_Click);
    Form_Load();
}

QM_UTC_ALARM_SETTINGS::~QM_UTC_ALARM_SETTINGS() = default;

void QM_UTC_ALARM_SETTINGS::buildLines()
{
    constexpr int half = 15; // one pixel either side of the laid-out line
    line(this, QFrame::HLine, {120, 480 - half, 13320, 2 * half});
    line(this, QFrame::VLine, {6840 - half, 480, 2 * half, 6600});
    for (int top : {1800, 3120, 4440, 5760, 7080})
        line(this, QFrame::HLine, {120, top - half, 13320, 2 * half});
}

void QM_UTC_ALARM_SETTINGS::buildSoundChoice()
{
    SOUND_FILE_TEXTBOX->setFont(DesignFont::msSansSerif(8.25));
    SOUND_FILE_TEXTBOX->setPlaceholderText(QStringLiteral("the desktop's"));
    showSoundChosen();
    SOUND_CHOOSE_BUTTON->setAccessibleName(QStringLiteral("Choose the sound file"));
    SOUND_CHOOSE_BUTTON->setToolTip(QStringLiteral("Choose the sound file"));
    TRY_SOUND_BUTTON->setToolTip(QStringLiteral("Plays the sound once at the set volume"));
    TRY_SOUND_BUTTON->setEnabled(m_ringer != nullptr);
    connect(SOUND_FILE_TEXTBOX, &QLineEdit::textEdited, this,
            &QM_UTC_ALARM_SETTINGS::showSoundChosen);
    if (m_ringer)
        connect(m_ringer, &Ringer::problem, this, &QM_UTC_ALARM_SETTINGS::showSoundProblem);
}

void QM_UTC_ALARM_SETTINGS::setFocusOrder()
{
    QList<QWidget*> order{OK_BUTTON};
    for (AlarmRow* row : m_rows)
        order << row->TICKBOX << row->NAME_TEXTBOX << row->MESSAGE_TEXTBOX
              << row->DISPLAY_MESSAGE_TICKBOX << row->RUN_COMMAND_TICKBOX
              << row->RUN_COMMAND_TEXTBOX;
    order << ENABLE_ALARMS_TICKBOX;
    for (AlarmRow* row : m_rows) {
        order << row->TIME_TEXTBOX;
        for (QWidget* day : row->DAYS->toggles())
            order << day;
    }
    for (AlarmRow* row : m_rows)
        order << row->MESSAGE_AUTO_CLOSE_TICKBOX;
    order << TEST_ALARM_WINDOW_BUTTON << SOUND_FILE_TEXTBOX << SOUND_CHOOSE_BUTTON
          << TRY_SOUND_BUTTON;
    for (AlarmRow* row : m_rows)
        order << row->RUN_HIDDEN_TICKBOX;
    for (AlarmRow* row : m_rows)
        order << row->NUMBER_TEXTBOX;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    OK_BUTTON->setFocus();
}

void QM_UTC_ALARM_SETTINGS::Form_Load()
{
    placeFromStore();
    // Every tick box that loads a 1 (or any other value but 0) runs its reaction, so the rows
    // come up in the states their flags give them; this order decides those states.
    ENABLE_ALARMS_TICKBOX->setValue(m_settings.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX));
    const AlarmSlots stored = AlarmRecord::read(m_settings);
    for (const AlarmRecord::Field& field : AlarmRecord::fields()) {
        for (AlarmRow* row : m_rows)
            row->load(field, stored[row->number() - 1]);
    }
    // Whether a row's date has passed, as the alarms see the time.
    if (const std::optional<QDateTime> now = m_alarms.lastShown()) {
        for (AlarmRow* row : m_rows)
            row->DATE->setNow(*now);
    }
    SOUND_FILE_TEXTBOX->load(m_settings.readText(SettingsKeys::SOUND_FILE));
    SOUND_FILE_TEXTBOX->setCursorPosition(SOUND_FILE_TEXTBOX->text().size());
    m_opened = edited();
    m_openedMaster = ENABLE_ALARMS_TICKBOX->value();
    m_openedSound = SOUND_FILE_TEXTBOX->value();
}

bool QM_UTC_ALARM_SETTINGS::hasUnsavedEdits() const
{
    return edited() != m_opened ||
           SOUND_FILE_TEXTBOX->value() != m_settings.readText(SettingsKeys::SOUND_FILE);
}

void QM_UTC_ALARM_SETTINGS::closeEvent(QCloseEvent* event)
{
    if (m_dropEdits || !hasUnsavedEdits()) {
        FormDialog::closeEvent(event);
        return;
    }
    event->ignore();
    if (m_question)
        m_question->raise();
    else
        askToDropEdits();
}

void QM_UTC_ALARM_SETTINGS::askToDropEdits()
{
    m_question = new QMessageBox(QMessageBox::Question, windowTitle(),
                                 QStringLiteral("The alarms have changes that are not saved."),
                                 QMessageBox::NoButton, this);
    m_question->setObjectName(QStringLiteral("DROP_CHANGES_QUESTION"));
    m_question->setInformativeText(QStringLiteral("OK in the alarm settings saves them."));
    QPushButton* drop =
        m_question->addButton(QStringLiteral("Drop the changes"), QMessageBox::DestructiveRole);
    QPushButton* keep =
        m_question->addButton(QStringLiteral("Keep editing"), QMessageBox::RejectRole);
    // Enter and Escape both keep what was typed; only a deliberate choice drops it.
    m_question->setDefaultButton(keep);
    m_question->setEscapeButton(keep);
    m_question->setAttribute(Qt::WA_DeleteOnClose);
    X11Window::offerCloseOnly(m_question);
    connect(m_question, &QDialog::finished, this, [this, drop] {
        if (m_question && m_question->clickedButton() == drop) {
            m_dropEdits = true;
            close();
        }
    });
    // Modal to this window alone; the clock and the alarms run on meanwhile.
    m_question->open();
}

void QM_UTC_ALARM_SETTINGS::ENABLE_ALARMS_TICKBOX_Click()
{
    const qint16 value = ENABLE_ALARMS_TICKBOX->value();
    const bool on = value == 1;
    for (AlarmRow* row : m_rows)
        row->TICKBOX->setEnabled(on);
    m_settings.writeFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX, value);
    for (AlarmRow* row : m_rows)
        row->RUN_HIDDEN_TICKBOX->setEnabled(on);
    // At once, OK or not: off stops every alarm; on arms again those the file holds as on.
    m_alarms.setMasterSwitch(on);
    if (on)
        return;
    // The cleared rows reach the file and the live copies only through OK.
    for (AlarmRow* row : m_rows)
        row->TICKBOX->setValue(0);
}

void QM_UTC_ALARM_SETTINGS::TEST_ALARM_WINDOW_BUTTON_Click()
{
    auto* test =
        new QM_UTC_ALARM_NOTIFICATION_WINDOW(Announcement::forTest(), m_settings, m_launcher, this);
    // So that the person hears what an alarm that rings will do.
    if (m_ringer)
        test->ring(*m_ringer);
    test->exec();
}

void QM_UTC_ALARM_SETTINGS::OK_BUTTON_Click()
{
    // One save for the whole of it, the closing step's writes included, so that everything
    // is on disk before the window is gone.
    SettingsStore::Batch batch(m_settings);
    // A time typed in short and not yet left is saved as the field would complete it.
    for (AlarmRow* row : m_rows)
        row->TIME_TEXTBOX->complete();
    // What the person did not change here keeps what the file holds now, hand edits included.
    m_settings.followFile();
    writePosition();
    const qint16 master = ENABLE_ALARMS_TICKBOX->value();
    m_settings.writeFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX,
                         master != m_openedMaster
                             ? master
                             : m_settings.readFlag(SettingsKeys::ENABLE_ALARMS_TICKBOX));
    const AlarmSlots saved = AlarmRecord::edited(m_opened, edited(), AlarmRecord::read(m_settings));
    AlarmRecord::write(m_settings, saved);
    // Written only once chosen here, so that a file without it stays as it was.
    const QString sound = SOUND_FILE_TEXTBOX->value();
    if (sound != m_openedSound && sound != m_settings.readText(SettingsKeys::SOUND_FILE))
        m_settings.writeText(SettingsKeys::SOUND_FILE, sound);
    // The alarm ticks run on this thread too, so none sees an alarm half copied.
    m_alarms.apply(saved);
    accept();
}

AlarmSlots QM_UTC_ALARM_SETTINGS::edited() const
{
    AlarmSlots shown;
    for (AlarmRow* row : m_rows)
        shown[row->number() - 1] = row->slot();
    return shown;
}

void QM_UTC_ALARM_SETTINGS::SOUND_CHOOSE_BUTTON_Click()
{
    const QFileInfo chosen(SOUND_FILE_TEXTBOX->value());
    auto* dialog = new QFileDialog(this, QStringLiteral("QM-UTC - ALARM SOUND"),
                                   chosen.fileName().isEmpty() ? QString() : chosen.absolutePath(),
                                   QStringLiteral("Sounds (*.oga *.ogg *.opus *.flac *.wav *.mp3);;"
                                                  "All files (*)"));
    dialog->setObjectName(QStringLiteral("SOUND_FILE_DIALOG"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        SOUND_FILE_TEXTBOX->setText(file);
        showSoundChosen();
    });
    // Modal to this window alone; the clock and the alarms run on meanwhile.
    dialog->open();
}

void QM_UTC_ALARM_SETTINGS::TRY_SOUND_BUTTON_Click()
{
    if (m_ringer)
        m_ringer->playOnce(SOUND_FILE_TEXTBOX->value());
}

// What went wrong with the sound shows on the field, in red, until another is chosen.
void QM_UTC_ALARM_SETTINGS::showSoundProblem(const QString& reason)
{
    QPalette red = SOUND_FILE_TEXTBOX->palette();
    red.setColor(QPalette::Text, Qt::red);
    SOUND_FILE_TEXTBOX->setPalette(red);
    SOUND_FILE_TEXTBOX->setToolTip(ShownText::cut(reason));
}

void QM_UTC_ALARM_SETTINGS::showSoundChosen()
{
    SOUND_FILE_TEXTBOX->setPalette(QPalette());
    SOUND_FILE_TEXTBOX->setToolTip(
        QStringLiteral("The sound of every alarm with Ring ticked: a sound file (.oga, .ogg, "
                       ".opus, .flac, .wav, .mp3). Empty: the desktop's alarm sound. Its volume, "
                       "fade-in and ring time are SOUND_VOLUME, SOUND_FADE_IN_SECONDS and "
                       "SOUND_RING_MINUTES in the settings file."));
}
