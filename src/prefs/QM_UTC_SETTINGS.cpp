// SPDX-License-Identifier: GPL-3.0-or-later
#include "QM_UTC_SETTINGS.h"

#include "QM_UTC_COLORS_WINDOW.h"
#include "StripControl.h"
#include "alarms/QM_UTC_ALARM_SETTINGS.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/ColourLabel.h"
#include "widgets/FormControl.h"
#include "widgets/TickBox.h"
#include "widgets/TitleLabel.h"

#include <QPushButton>
#include <QVersionNumber>

namespace {
const Qt::WindowFlags settingsFrame =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

TickBox* tickBox(QWidget* window, const char* name, const QString& caption, const TwipsRect& at)
{
    return Form::place(new TickBox(caption, window), name, at);
}

// "Version 1.0": the release's first two numbers.
QString versionCaption()
{
    const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(QMUTC_VERSION));
    return QStringLiteral("Version %1.%2").arg(version.majorVersion()).arg(version.minorVersion());
}

QPushButton* button(QWidget* window, const char* name, const QString& caption, const TwipsRect& at)
{
    return Form::place(new QPushButton(caption, window), name, at);
}
} // namespace

QM_UTC_SETTINGS::QM_UTC_SETTINGS(StripControl& strip, AlarmTrigger& alarms,
                                 CommandLauncher& launcher, SettingsStore& settings, Ringer* ringer)
    : FormDialog(&strip.stripWindow(), settingsFrame, settings,
                 {SettingsKeys::MAIN_SETTINGS_Left, SettingsKeys::MAIN_SETTINGS_Top,
                  SettingsKeys::MAIN_SETTINGS_Width, SettingsKeys::MAIN_SETTINGS_Height},
                 DeleteOnClose | SkipTaskbar | KeepOpenOnEscape),
      QM_TITLE_1(TitleLabel::place(this, "QM_TITLE_1", QStringLiteral("QUILL-MARSH"),
                                   {120, 120, 2295, 315})),
      QM_TITLE_2(TitleLabel::place(this, "QM_TITLE_2", QStringLiteral("GLIMMER-DIAL"),
                                   {2520, 120, 2175, 315})),
      QM_TITLE_3(
          TitleLabel::place(this, "QM_TITLE_3", QStringLiteral("QM-UTC"), {4800, 120, 1455, 315})),
      QM_WBC_VERSION(
          TitleLabel::place(this, "QM_WBC_VERSION", versionCaption(), {6360, 120, 1695, 315})),
      QM_CREATOR(TitleLabel::place(this, "QM_CREATOR", QStringLiteral("Created By Velmar42"),
                                   {120, 480, 4575, 315})),
      AlwaysOnTop_TICKBOX(tickBox(this, "AlwaysOnTop_TICKBOX", QStringLiteral("Always On Top"),
                                  {360, 840, 1455, 375})),
      SHOW_UPTIME_TICKBOX(tickBox(this, "SHOW_UPTIME_TICKBOX", QStringLiteral("Show UpTime"),
                                  {2160, 840, 1335, 375})),
      LARGE_CLOCK_STARTUP_TICKBOX(tickBox(this, "LARGE_CLOCK_STARTUP_TICKBOX",
                                          QStringLiteral("Open Large Clock On Startup"),
                                          {360, 1200, 1575, 495})),
      AUTOSTART_TICKBOX(tickBox(this, "AUTOSTART_TICKBOX", QStringLiteral("Auto Start"),
                                {2160, 1200, 1095, 495})),
      COLORS_BUTTON(
          button(this, "COLORS_BUTTON", QStringLiteral("Clock Colors"), {3600, 960, 975, 615})),
      ALARM_SETTINGS_BUTTON(button(this, "ALARM_SETTINGS_BUTTON", QStringLiteral("Alarm Settings"),
                                   {4920, 960, 1095, 615})),
      OK_BUTTON(button(this, "OK_BUTTON", QStringLiteral("OK"), {6240, 960, 1695, 615})),
      m_strip(strip), m_alarms(alarms), m_launcher(launcher), m_ringer(ringer)
{
    setObjectName(QStringLiteral("QM_UTC_SETTINGS"));
    setWindowTitle(QStringLiteral("QM-UTC - SETTINGS"));
    buildControls();
    connectHandlers();
    Form_Load();
}

QM_UTC_SETTINGS::~QM_UTC_SETTINGS() = default;

void QM_UTC_SETTINGS::buildControls()
{
    // The states the boxes are laid out with; loading them from the store is a change of
    // state like any other wherever the stored value differs.
    AlwaysOnTop_TICKBOX->setValue(1);
    SHOW_UPTIME_TICKBOX->setValue(1);
    LARGE_CLOCK_STARTUP_TICKBOX->setValue(0);
    AUTOSTART_TICKBOX->setValue(0);
    AUTOSTART_TICKBOX->setEnabled(false);
    if (const QString problem = m_strip.keptOnTopProblem(); !problem.isEmpty())
        AlwaysOnTop_TICKBOX->setToolTip(problem.left(1).toUpper() + problem.mid(1) +
                                        QLatin1Char('.'));

    setTabOrder(OK_BUTTON, AlwaysOnTop_TICKBOX);
    setTabOrder(AlwaysOnTop_TICKBOX, ALARM_SETTINGS_BUTTON);
    setTabOrder(ALARM_SETTINGS_BUTTON, COLORS_BUTTON);
    setTabOrder(COLORS_BUTTON, AUTOSTART_TICKBOX);
    setTabOrder(AUTOSTART_TICKBOX, SHOW_UPTIME_TICKBOX);
    setTabOrder(SHOW_UPTIME_TICKBOX, LARGE_CLOCK_STARTUP_TICKBOX);
    OK_BUTTON->setFocus();
}

void QM_UTC_SETTINGS::connectHandlers()
{
    using Window = QM_UTC_SETTINGS;
    connect(AlwaysOnTop_TICKBOX, &TickBox::valueChanged, this, &Window::AlwaysOnTop_TICKBOX_Click);
    connect(SHOW_UPTIME_TICKBOX, &TickBox::valueChanged, this, &Window::SHOW_UPTIME_TICKBOX_Click);
    connect(LARGE_CLOCK_STARTUP_TICKBOX, &TickBox::valueChanged, this,
            &Window::LARGE_CLOCK_STARTUP_TICKBOX_Click);
    connect(AUTOSTART_TICKBOX, &TickBox::valueChanged, this, &Window::AUTOSTART_TICKBOX_Click);
    connect(COLORS_BUTTON, &QPushButton::clicked, this, &Window::COLORS_BUTTON_Click);
    connect(ALARM_SETTINGS_BUTTON, &QPushButton::clicked, this,
            &Window::ALARM_SETTINGS_BUTTON_Click);
    connect(OK_BUTTON, &QPushButton::clicked, this, &Window::OK_BUTTON_Click);
    connect(QM_CREATOR, &ColourLabel::doubleClicked, this, &Window::QM_CREATOR_DblClick);
}

void QM_UTC_SETTINGS::Form_Load()
{
    // The boxes' actions write as they load; their writes reach the disk together.
    SettingsStore::Batch batch(m_settings);
    placeFromStore();
    AlwaysOnTop_TICKBOX->setValue(m_settings.readFlag(SettingsKeys::AlwaysOnTop_TICKBOX));
    // The strip starts counting when this key is missing; here a missing key shows unticked.
    AUTOSTART_TICKBOX->setValue(m_settings.readFlag(SettingsKeys::AUTOSTART_TICKBOX, 0));
    SHOW_UPTIME_TICKBOX->setValue(m_settings.readFlag(SettingsKeys::SHOW_UPTIME_TICKBOX));
    LARGE_CLOCK_STARTUP_TICKBOX->setValue(
        m_settings.readFlag(SettingsKeys::LARGE_CLOCK_STARTUP_TICKBOX));
    offerAutoStartWithUptime();
    m_opened = {AlwaysOnTop_TICKBOX->value(), SHOW_UPTIME_TICKBOX->value(),
                LARGE_CLOCK_STARTUP_TICKBOX->value()};
}

void QM_UTC_SETTINGS::AlwaysOnTop_TICKBOX_Click()
{
    SettingsStore::Batch batch(m_settings);
    const qint16 state = AlwaysOnTop_TICKBOX->value();
    m_strip.setKeptOnTop(state == 1);
    m_settings.writeFlag(SettingsKeys::AlwaysOnTop_TICKBOX, state);
}

void QM_UTC_SETTINGS::SHOW_UPTIME_TICKBOX_Click()
{
    SettingsStore::Batch batch(m_settings);
    offerAutoStartWithUptime();
    m_strip.showUptime(SHOW_UPTIME_TICKBOX->value() == 1);
}

void QM_UTC_SETTINGS::offerAutoStartWithUptime()
{
    // Auto Start is offered only while the uptime shows; shown again, counting stays as it is
    // and Auto Start is the user's to tick again.
    const bool shown = SHOW_UPTIME_TICKBOX->value() == 1;
    AUTOSTART_TICKBOX->setEnabled(shown);
    if (!shown)
        AUTOSTART_TICKBOX->setValue(0);
}

void QM_UTC_SETTINGS::LARGE_CLOCK_STARTUP_TICKBOX_Click()
{
    // Read at the next start-up only.
    SettingsStore::Batch batch(m_settings);
    m_settings.writeFlag(SettingsKeys::LARGE_CLOCK_STARTUP_TICKBOX,
                         LARGE_CLOCK_STARTUP_TICKBOX->value());
}

void QM_UTC_SETTINGS::AUTOSTART_TICKBOX_Click()
{
    SettingsStore::Batch batch(m_settings);
    const qint16 state = AUTOSTART_TICKBOX->value();
    m_strip.setUptimeCounting(state == 1);
    m_settings.writeFlag(SettingsKeys::AUTOSTART_TICKBOX, state);
}

void QM_UTC_SETTINGS::COLORS_BUTTON_Click()
{
    auto* colours = new QM_UTC_COLORS_WINDOW(m_strip.clockLabel(), m_settings, this);
    colours->exec();
}

void QM_UTC_SETTINGS::ALARM_SETTINGS_BUTTON_Click()
{
    // It deletes itself when it closes.
    (new QM_UTC_ALARM_SETTINGS(m_alarms, m_settings, m_launcher, this, m_ringer))->exec();
}

void QM_UTC_SETTINGS::OK_BUTTON_Click()
{
    // Auto Start is not among these: its own action stored it when it changed.
    SettingsStore::Batch batch(m_settings);
    // A box the person left as it opened keeps what the file holds now, hand edits included.
    m_settings.followFile();
    writePosition();
    const auto save = [this](const TickBox* box, const SettingKey& key, qint16 opened) {
        m_settings.writeFlag(key, box->value() != opened ? box->value() : m_settings.readFlag(key));
    };
    save(AlwaysOnTop_TICKBOX, SettingsKeys::AlwaysOnTop_TICKBOX, m_opened[0]);
    save(SHOW_UPTIME_TICKBOX, SettingsKeys::SHOW_UPTIME_TICKBOX, m_opened[1]);
    save(LARGE_CLOCK_STARTUP_TICKBOX, SettingsKeys::LARGE_CLOCK_STARTUP_TICKBOX, m_opened[2]);
    accept();
}

void QM_UTC_SETTINGS::QM_CREATOR_DblClick()
{
    QM_CREATOR->setText(QStringLiteral(QMUTC_HOMEPAGE));
}
