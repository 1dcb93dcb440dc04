// SPDX-License-Identifier: GPL-3.0-or-later
#include "QM_UTC_COLORS_WINDOW.h"

#include "ColourButton.h"
#include "ColourValue.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "widgets/BgrColour.h"
#include "widgets/ColourLabel.h"
#include "widgets/FieldLook.h"
#include "widgets/FormControl.h"
#include "widgets/StoredTextField.h"
#include "widgets/TickBox.h"
#include "widgets/TitleLabel.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

namespace {
const Qt::WindowFlags frame =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

struct Swatch
{
    const char* colour;
    qint32 value; // 0x00BBGGRR
    int foregroundLeft, foregroundTop;
    int backgroundLeft, backgroundTop;
};

// The text colours' second row stands lower than the backgrounds'.
constexpr Swatch swatches[] = {
    {"BLACK", 0x000000, 240, 1080, 4800, 1080},   {"WHITE", 0xFFFFFF, 1080, 1080, 5640, 1080},
    {"RED", 0x0000FF, 1920, 1080, 6480, 1080},    {"YELLOW", 0x00FFFF, 2760, 1080, 7320, 1080},
    {"ORANGE", 0x0080FF, 3600, 1080, 8160, 1080}, {"GREEN", 0x00FF00, 240, 1680, 4800, 1560},
    {"BLUE", 0xFF0000, 1080, 1680, 5640, 1560},   {"CYAN", 0xFFFF00, 1920, 1680, 6480, 1560},
    {"PINK", 0x8080FF, 2760, 1680, 7320, 1560},   {"PURPLE", 0xFF00FF, 3600, 1680, 8160, 1560},
};

const char* const foregroundTabOrder[] = {"BLACK",  "GREEN", "WHITE", "BLUE",   "PINK",
                                          "YELLOW", "CYAN",  "RED",   "PURPLE", "ORANGE"};
const char* const backgroundTabOrder[] = {"WHITE", "BLACK", "YELLOW", "RED",  "ORANGE",
                                          "BLUE",  "GREEN", "PINK",   "CYAN", "PURPLE"};

QPushButton* colourButton(QWidget* window, const QString& name, int left, int top, qint32 value)
{
    auto* button = new ColourButton(value, window);
    button->setObjectName(name);
    button->setGeometry(Form::pixels({left, top, 735, 375}));
    return button;
}

QFrame* line(QWidget* window, const char* name, const TwipsRect& at)
{
    auto* divider = Form::place(new QFrame(window), name, at);
    divider->setFrameShape(at.width <= at.height ? QFrame::VLine : QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    return divider;
}

StoredTextField* field(QWidget* window, const char* name, const QString& text, const TwipsRect& at,
                       qint32 background)
{
    auto* control = Form::place(new StoredTextField(window, text), name, at);
    control->setEnabled(false);
    control->setReadOnly(true);
    FieldLook::setFace(control, background);
    control->hide();
    return control;
}

TickBox* manualTickBox(QWidget* window, const char* name, const QString& caption,
                       const TwipsRect& at)
{
    auto* box = Form::place(new TickBox(caption, window), name, at);
    box->hide();
    return box;
}
} // namespace

QM_UTC_COLORS_WINDOW::QM_UTC_COLORS_WINDOW(ColourLabel& clock, SettingsStore& settings,
                                           QWidget* owner)
    : FormDialog(owner, frame, settings,
                 {SettingsKeys::COLORS_WINDOW_Left, SettingsKeys::COLORS_WINDOW_Top,
                  SettingsKeys::COLORS_WINDOW_Width, SettingsKeys::COLORS_WINDOW_Height},
                 DeleteOnClose | SkipTaskbar | KeepOpenOnEscape),
      QM_TITLE_1(TitleLabel::place(this, "QM_TITLE_1", QStringLiteral("QUILL-MARSH"),
                                   {240, 120, 2535, 315})),
      QM_TITLE_2(TitleLabel::place(this, "QM_TITLE_2", QStringLiteral("QM-GLIMMER-DIAL"),
                                   {2880, 120, 3375, 315})),
      QM_TITLE_3(
          TitleLabel::place(this, "QM_TITLE_3", QStringLiteral("QM-UTC"), {6360, 120, 2535, 315})),
      SET_TEXT_COLOR_LABEL(TitleLabel::place(
          this, "SET_TEXT_COLOR_LABEL", QStringLiteral("Set TEXT Color"), {240, 600, 4095, 315})),
      SET_BACKGROUND_COLOR_LABEL(TitleLabel::place(this, "SET_BACKGROUND_COLOR_LABEL",
                                                   QStringLiteral("Set BACKGROUND Color"),
                                                   {4800, 600, 4095, 315})),
      OK_BUTTON(Form::place(new QPushButton(QStringLiteral("OK"), this), "OK_BUTTON",
                            {3840, 2400, 1455, 615})),
      MANUAL_TEXT_COLOR_TICKBOX(manualTickBox(this, "MANUAL_TEXT_COLOR_TICKBOX",
                                              QStringLiteral("Manual TEXT Color"),
                                              {240, 4080, 1815, 375})),
      ENTER_TEXT_COLOR_TEXTBOX(field(this, "ENTER_TEXT_COLOR_TEXTBOX",
                                     QStringLiteral("&H0000FF00&"), {2880, 4080, 1455, 375},
                                     BgrColour::white)),
      SHOW_TEXT_COLOR_TEXTBOX(field(this, "SHOW_TEXT_COLOR_TEXTBOX", QString(),
                                    {240, 4560, 4095, 495}, BgrColour::green)),
      MANUAL_BACKGROUND_COLOR_TICKBOX(manualTickBox(this, "MANUAL_BACKGROUND_COLOR_TICKBOX",
                                                    QStringLiteral("Manual BACKGROUND Color"),
                                                    {4920, 4080, 2535, 375})),
      ENTER_BACKGROUND_COLOR_TEXTBOX(field(this, "ENTER_BACKGROUND_COLOR_TEXTBOX",
                                           QStringLiteral("&H00000000&"), {7560, 4080, 1455, 375},
                                           BgrColour::white)),
      SHOW_BACKGROUND_COLOR_TEXTBOX(field(this, "SHOW_BACKGROUND_COLOR_TEXTBOX", QString(),
                                          {4920, 4560, 4095, 495}, BgrColour::green)),
      m_clock(clock)
{
    setObjectName(QStringLiteral("QM_UTC_COLORS_WINDOW"));
    setWindowTitle(QStringLiteral("QM-UTC - SET TIME CLOCK DISPLAY COLORS"));
    line(this, "PALETTE_DIVIDER_LINE", {4560, 600, 15, 1560});
    line(this, "OK_DIVIDER_LINE", {240, 2160, 8640, 15});
    buildPalettes();
    connectHandlers();
    Form_Load();
}

QM_UTC_COLORS_WINDOW::~QM_UTC_COLORS_WINDOW() = default;

void QM_UTC_COLORS_WINDOW::buildPalettes()
{
    const auto suffixed = [](const char* colour, const char* suffix) {
        return QLatin1String(colour) + QLatin1String(suffix);
    };
    QList<QPushButton*> foreground;
    QList<QPushButton*> background;
    for (const Swatch& swatch : swatches) {
        QPushButton* text = colourButton(this, suffixed(swatch.colour, "_FOREGROUND_COLOR_BUTTON"),
                                         swatch.foregroundLeft, swatch.foregroundTop, swatch.value);
        QPushButton* back = colourButton(this, suffixed(swatch.colour, "_BACKGROUND_COLOR_BUTTON"),
                                         swatch.backgroundLeft, swatch.backgroundTop, swatch.value);
        const qint32 value = swatch.value;
        connect(text, &QPushButton::clicked, this,
                [this, value] { FOREGROUND_COLOR_BUTTON_Click(value); });
        connect(back, &QPushButton::clicked, this,
                [this, value] { BACKGROUND_COLOR_BUTTON_Click(value); });
    }
    for (const char* colour : foregroundTabOrder)
        m_foregroundButtons.append(
            findChild<QPushButton*>(suffixed(colour, "_FOREGROUND_COLOR_BUTTON")));
    for (const char* colour : backgroundTabOrder)
        m_backgroundButtons.append(
            findChild<QPushButton*>(suffixed(colour, "_BACKGROUND_COLOR_BUTTON")));

    QWidget* previous = OK_BUTTON;
    for (QPushButton* button : m_foregroundButtons + m_backgroundButtons) {
        setTabOrder(previous, button);
        previous = button;
    }
    OK_BUTTON->setFocus();
}

void QM_UTC_COLORS_WINDOW::connectHandlers()
{
    using Window = QM_UTC_COLORS_WINDOW;
    connect(MANUAL_TEXT_COLOR_TICKBOX, &TickBox::valueChanged, this,
            &Window::MANUAL_TEXT_COLOR_TICKBOX_Click);
    connect(MANUAL_BACKGROUND_COLOR_TICKBOX, &TickBox::valueChanged, this,
            &Window::MANUAL_BACKGROUND_COLOR_TICKBOX_Click);
    connect(ENTER_TEXT_COLOR_TEXTBOX, &QLineEdit::textChanged, this,
            &Window::ENTER_TEXT_COLOR_TEXTBOX_Change);
    connect(ENTER_BACKGROUND_COLOR_TEXTBOX, &QLineEdit::textChanged, this,
            &Window::ENTER_BACKGROUND_COLOR_TEXTBOX_Change);
    connect(OK_BUTTON, &QPushButton::clicked, this, &Window::OK_BUTTON_Click);
}

void QM_UTC_COLORS_WINDOW::Form_Load()
{
    placeFromStore();
    MANUAL_TEXT_COLOR_TICKBOX->setValue(
        m_settings.readFlag(SettingsKeys::MANUAL_TEXT_COLOR_TICKBOX));
    MANUAL_BACKGROUND_COLOR_TICKBOX->setValue(
        m_settings.readFlag(SettingsKeys::MANUAL_BACKGROUND_COLOR_TICKBOX));
    ENTER_TEXT_COLOR_TEXTBOX->load(m_settings.readText(SettingsKeys::ENTER_TEXT_COLOR_TEXTBOX));
    ENTER_BACKGROUND_COLOR_TEXTBOX->load(
        m_settings.readText(SettingsKeys::ENTER_BACKGROUND_COLOR_TEXTBOX));
    for (const auto& [box, entry] :
         {std::pair{MANUAL_TEXT_COLOR_TICKBOX, ENTER_TEXT_COLOR_TEXTBOX},
          {MANUAL_BACKGROUND_COLOR_TICKBOX, ENTER_BACKGROUND_COLOR_TEXTBOX}})
        FieldLook::setOpen(entry, box->value() == 1);
    m_opened = {MANUAL_TEXT_COLOR_TICKBOX->value(), MANUAL_BACKGROUND_COLOR_TICKBOX->value(),
                ENTER_TEXT_COLOR_TEXTBOX->value(), ENTER_BACKGROUND_COLOR_TEXTBOX->value()};
}

void QM_UTC_COLORS_WINDOW::FOREGROUND_COLOR_BUTTON_Click(qint32 colour)
{
    m_clock.setForeColor(colour);
}

void QM_UTC_COLORS_WINDOW::BACKGROUND_COLOR_BUTTON_Click(qint32 colour)
{
    m_clock.setBackColor(colour);
}

void QM_UTC_COLORS_WINDOW::MANUAL_TEXT_COLOR_TICKBOX_Click()
{
    FieldLook::setOpen(ENTER_TEXT_COLOR_TEXTBOX, MANUAL_TEXT_COLOR_TICKBOX->value() == 1);
}

void QM_UTC_COLORS_WINDOW::MANUAL_BACKGROUND_COLOR_TICKBOX_Click()
{
    FieldLook::setOpen(ENTER_BACKGROUND_COLOR_TEXTBOX,
                       MANUAL_BACKGROUND_COLOR_TICKBOX->value() == 1);
}

void QM_UTC_COLORS_WINDOW::ENTER_TEXT_COLOR_TEXTBOX_Change()
{
    FieldLook::setFace(SHOW_TEXT_COLOR_TEXTBOX, colourValueOf(ENTER_TEXT_COLOR_TEXTBOX->value()));
}

void QM_UTC_COLORS_WINDOW::ENTER_BACKGROUND_COLOR_TEXTBOX_Change()
{
    FieldLook::setFace(SHOW_BACKGROUND_COLOR_TEXTBOX,
                       colourValueOf(ENTER_BACKGROUND_COLOR_TEXTBOX->value()));
}

void QM_UTC_COLORS_WINDOW::OK_BUTTON_Click()
{
    using namespace SettingsKeys;
    SettingsStore::Batch batch(m_settings);
    // What the person left as it opened keeps what the file holds now, hand edits included.
    m_settings.followFile();
    const auto flag = [this](const TickBox* box, const SettingKey& key, qint16 opened) {
        return box->value() != opened ? box->value() : m_settings.readFlag(key);
    };
    const auto text = [this](const StoredTextField* field, const SettingKey& key,
                             const QString& opened) {
        return field->value() != opened ? field->value() : m_settings.readText(key);
    };
    const qint16 manualText = flag(MANUAL_TEXT_COLOR_TICKBOX,
                                   SettingsKeys::MANUAL_TEXT_COLOR_TICKBOX, m_opened.manualText);
    const qint16 manualBackground =
        flag(MANUAL_BACKGROUND_COLOR_TICKBOX, SettingsKeys::MANUAL_BACKGROUND_COLOR_TICKBOX,
             m_opened.manualBackground);
    const QString enteredText = text(ENTER_TEXT_COLOR_TEXTBOX,
                                     SettingsKeys::ENTER_TEXT_COLOR_TEXTBOX, m_opened.enteredText);
    const QString enteredBackground =
        text(ENTER_BACKGROUND_COLOR_TEXTBOX, SettingsKeys::ENTER_BACKGROUND_COLOR_TEXTBOX,
             m_opened.enteredBackground);
    if (manualText == 1)
        m_clock.setForeColor(colourValueOf(enteredText));
    if (manualBackground == 1)
        m_clock.setBackColor(colourValueOf(enteredBackground));

    writePosition();
    // What the clock shows now is the only record of the palette clicks.
    m_settings.writeColour(CLOCK_FORECOLOR, m_clock.foreColor());
    m_settings.writeColour(CLOCK_BACKCOLOR, m_clock.backColor());
    m_settings.writeFlag(SettingsKeys::MANUAL_TEXT_COLOR_TICKBOX, manualText);
    m_settings.writeFlag(SettingsKeys::MANUAL_BACKGROUND_COLOR_TICKBOX, manualBackground);
    m_settings.writeText(SettingsKeys::ENTER_TEXT_COLOR_TEXTBOX, enteredText);
    m_settings.writeText(SettingsKeys::ENTER_BACKGROUND_COLOR_TEXTBOX, enteredBackground);
    accept();
}
