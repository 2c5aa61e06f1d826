// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window's form: every preference, the shortcut, the blacklist and About.
#include "views/settings_view.h"

#include "app/app_model.h"
#include "i18n/text_catalogue.h"
#include "views/blacklist_editor.h"
#include "views/hot_key_recorder.h"
#include "views/settings_section.h"
#include "views/symbol_button.h"
#include "views/theme.h"
#include "views/toggle_switch.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <array>

namespace nabrix {

namespace {

struct RetentionChoice {
    int days;
    const char* key;
};

// 0 keeps the history forever.
constexpr std::array<RetentionChoice, 4> retentionChoices{{
    //% "7 days"
    {7, QT_TRID_NOOP("settings.retention.7")},
    //% "30 days"
    {30, QT_TRID_NOOP("settings.retention.30")},
    //% "90 days"
    {90, QT_TRID_NOOP("settings.retention.90")},
    //% "Forever"
    {0, QT_TRID_NOOP("settings.retention.forever")},
}};

QLabel* secondaryLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(Theme::font(11));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Theme::secondaryText());
    label->setPalette(palette);
    return label;
}

ToggleSwitch* toggle(const char* objectName, const QString& label, bool checked)
{
    auto* control = new ToggleSwitch(label);
    control->setObjectName(QString::fromLatin1(objectName));
    control->setChecked(checked);
    return control;
}

} // namespace

SettingsView::SettingsView(AppModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    // A click on the form's background takes the focus, which ends a recording.
    setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 24);
    layout->setSpacing(22);
    layout->addWidget(makeHistorySection());
    layout->addWidget(makePrivacySection());
    layout->addWidget(makeShortcutsSection());
    layout->addWidget(makeBehaviorSection());
    layout->addWidget(makeAboutSection());
    layout->addStretch();
    connectSettings();
}

SettingsView::~SettingsView() = default;

QSize SettingsView::sizeHint() const
{
    return {620, QWidget::sizeHint().height()};
}

QString SettingsView::versionLine(const QString& version, const QString& buildNumber)
{
    //: %1 is the version number, %2 the build number.
    //% "Version %1 (%2)"
    return catalogue::text("settings.version")
        .arg(version, buildNumber.isEmpty() ? QStringLiteral("1") : buildNumber);
}

QWidget* SettingsView::makeHistorySection()
{
    //% "History"
    auto* section =
        new SettingsSection(QStringLiteral("clock"), catalogue::text("settings.history"));
    m_retentionPicker = new QComboBox;
    m_retentionPicker->setObjectName(QStringLiteral("retentionPicker"));
    //% "Keep history"
    m_retentionPicker->setAccessibleName(catalogue::text("settings.retention"));
    for (const RetentionChoice& choice : retentionChoices)
        m_retentionPicker->addItem(catalogue::text(choice.key), choice.days);
    m_retentionPicker->setCurrentIndex(m_retentionPicker->findData(m_model.retentionDays()));
    connect(m_retentionPicker, &QComboBox::activated, this, [this](int index) {
        m_model.setRetentionDays(m_retentionPicker->itemData(index).toInt());
    });
    //% "Keep history"
    section->addLabeledRow(catalogue::text("settings.retention"), m_retentionPicker);

    auto* clearRow = new QWidget;
    auto* clearLayout = new QHBoxLayout(clearRow);
    clearLayout->setContentsMargins(6, 4, 12, 4);
    //% "Clear history now"
    auto* clearNow = new QPushButton(catalogue::text("settings.clearNow"), clearRow);
    clearNow->setObjectName(QStringLiteral("clearNowButton"));
    clearNow->setFlat(true);
    clearNow->setFont(Theme::font(13));
    clearNow->setCursor(Qt::PointingHandCursor);
    QPalette destructive = clearNow->palette();
    destructive.setColor(QPalette::ButtonText, Theme::destructive());
    clearNow->setPalette(destructive);
    connect(clearNow, &QPushButton::clicked, this, &SettingsView::confirmClearNow);
    clearLayout->addWidget(clearNow);
    clearLayout->addStretch();
    section->addRow(clearRow);

    //% "Older items are deleted automatically."
    section->setFooter({catalogue::text("settings.retention.footer")});
    return section;
}

QWidget* SettingsView::makePrivacySection()
{
    //% "Privacy"
    auto* section =
        new SettingsSection(QStringLiteral("hand.raised"), catalogue::text("settings.privacy"));
    //% "Detect sensitive content"
    m_sensitiveDetection =
        toggle("sensitiveDetectionToggle", catalogue::text("settings.sensitiveDetection"),
               m_model.sensitiveDetectionEnabled());
    connect(m_sensitiveDetection, &ToggleSwitch::clicked, &m_model,
            &AppModel::setSensitiveDetectionEnabled);
    //% "Detect sensitive content"
    section->addLabeledRow(catalogue::text("settings.sensitiveDetection"), m_sensitiveDetection);

    //% "Hide sensitive content"
    m_hideSensitive = toggle("hideSensitiveToggle", catalogue::text("settings.hideSensitive"),
                             m_model.hideSensitiveContent());
    connect(m_hideSensitive, &ToggleSwitch::clicked, &m_model, &AppModel::setHideSensitiveContent);
    //% "Hide sensitive content"
    section->addLabeledRow(catalogue::text("settings.hideSensitive"), m_hideSensitive);

    section->addRow(new BlacklistEditor(m_model));
    //% "Card numbers are marked as sensitive and stay hidden until you reveal them. Copies made "
    //% "in ignored applications are never saved."
    section->setFooter({catalogue::text("settings.sensitiveDetection.footer")});
    return section;
}

QWidget* SettingsView::makeShortcutsSection()
{
    //% "Shortcuts"
    auto* section =
        new SettingsSection(QStringLiteral("keyboard"), catalogue::text("settings.shortcuts"));
    auto* controls = new QWidget;
    auto* layout = new QHBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_recorder = new HotKeyRecorder(
        [this](std::uint32_t keyCode, std::uint32_t modifiers) {
            return m_model.shortcutText({keyCode, modifiers});
        },
        m_model.shortcut().keyCode, m_model.shortcut().modifiers, controls);
    m_recorder->setObjectName(QStringLiteral("hotkeyRecorder"));
    m_recorder->setOnChange([this](std::uint32_t keyCode, std::uint32_t modifiers) {
        m_model.setShortcut({keyCode, modifiers});
    });
    connect(&m_recorder->captureView(), &HotKeyCaptureView::isRecordingChanged, this,
            &SettingsView::recordingChanged);
    //% "Remove shortcut"
    m_clearShortcut = new SymbolButton(QStringLiteral("xmark.circle.fill"),
                                       catalogue::text("settings.hotkey.clear"), 20, 12, controls);
    m_clearShortcut->setObjectName(QStringLiteral("hotkeyClearButton"));
    connect(m_clearShortcut, &SymbolButton::clicked, this, [this] { m_model.setShortcut({}); });
    layout->addWidget(m_recorder);
    layout->addWidget(m_clearShortcut);
    //% "Open history"
    section->addLabeledRow(catalogue::text("settings.hotkey"), controls);
    //% "Opens the history from any application. Click the box and press a key combination. On "
    //% "Wayland, assign a shortcut to the “nabrix” command in your desktop’s keyboard settings "
    //% "instead."
    section->setFooter({catalogue::text("settings.hotkey.footer")});
    showStoredShortcut();
    return section;
}

QWidget* SettingsView::makeBehaviorSection()
{
    //% "Behavior"
    auto* section = new SettingsSection(QStringLiteral("slider.horizontal.3"),
                                        catalogue::text("settings.behavior"));
    //% "Paste after choosing an item"
    m_pasteOnSelect = toggle("pasteOnSelectToggle", catalogue::text("settings.pasteOnSelect"),
                             m_model.pasteOnSelect());
    connect(m_pasteOnSelect, &ToggleSwitch::clicked, this, &SettingsView::pasteOnSelectClicked);
    //% "Paste after choosing an item"
    section->addLabeledRow(catalogue::text("settings.pasteOnSelect"), m_pasteOnSelect);

    //% "Hide the tray icon"
    m_hideIcon =
        toggle("hideIconToggle", catalogue::text("settings.hideIcon"), m_model.hideTrayIcon());
    connect(m_hideIcon, &ToggleSwitch::clicked, this, &SettingsView::hideIconClicked);
    //% "Hide the tray icon"
    section->addLabeledRow(catalogue::text("settings.hideIcon"), m_hideIcon);

    //% "Choosing an item copies it and pastes it into the application you were using."
    section->setFooter({catalogue::text("settings.pasteOnSelect.footer"),
                        //% "Without the icon, open the history with the keyboard shortcut."
                        catalogue::text("settings.hideIcon.footer")});
    return section;
}

QWidget* SettingsView::makeAboutSection()
{
    //% "About"
    auto* section =
        new SettingsSection(QStringLiteral("info.circle"), catalogue::text("settings.about"));
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    auto* icon = new QLabel(row);
    const int box = Theme::symbolBox(28);
    icon->setPixmap(
        Theme::symbol(QStringLiteral("doc.on.clipboard"), Theme::secondaryText()).pixmap(box, box));
    icon->setFixedSize(box, box);
    layout->addWidget(icon, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(4);
    //% "Nabrix"
    auto* name = new QLabel(catalogue::text("Nabrix"), row);
    name->setFont(Theme::font(13, QFont::DemiBold));
    column->addWidget(name);
    auto* version = secondaryLabel(
        versionLine(QStringLiteral(NABRIX_VERSION), QStringLiteral(NABRIX_BUILD_NUMBER)), row);
    version->setObjectName(QStringLiteral("versionLabel"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(version);
    //% "Nabrix keeps a searchable history of what you copy. Everything stays on this computer."
    auto* body = secondaryLabel(catalogue::text("settings.about.body"), row);
    body->setWordWrap(true);
    column->addWidget(body);
    layout->addLayout(column, 1);
    section->addRow(row);
    return section;
}

void SettingsView::connectSettings()
{
    connect(&m_model, &AppModel::retentionDaysChanged, this, [this] {
        m_retentionPicker->setCurrentIndex(m_retentionPicker->findData(m_model.retentionDays()));
    });
    connect(&m_model, &AppModel::sensitiveDetectionEnabledChanged, this,
            [this] { m_sensitiveDetection->setChecked(m_model.sensitiveDetectionEnabled()); });
    connect(&m_model, &AppModel::hideSensitiveContentChanged, this,
            [this] { m_hideSensitive->setChecked(m_model.hideSensitiveContent()); });
    connect(&m_model, &AppModel::pasteOnSelectChanged, this,
            [this] { m_pasteOnSelect->setChecked(m_model.pasteOnSelect()); });
    connect(&m_model, &AppModel::hideTrayIconChanged, this,
            [this] { m_hideIcon->setChecked(m_model.hideTrayIcon()); });
    connect(&m_model, &AppModel::shortcutChanged, this, &SettingsView::showStoredShortcut);
}

void SettingsView::showStoredShortcut()
{
    const Shortcut shortcut = m_model.shortcut();
    m_recorder->setShortcut(shortcut.keyCode, shortcut.modifiers);
    m_clearShortcut->setVisible(shortcut.keyCode != 0);
}

void SettingsView::recordingChanged(bool recording)
{
    // The grab would swallow the very combination being recorded. However recording ends
    // (a key, Escape, a click elsewhere, the window closing) the stored shortcut comes back.
    if (recording)
        m_model.suspendHotkey();
    else
        m_model.resumeHotkey();
}

void SettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // A shortcut freed since, or access granted while the window was closed, is taken up
    // on every opening.
    m_model.registerHotkey();
    m_model.refreshAccessibility();
}

void SettingsView::hideIconClicked(bool hide)
{
    // Without a working shortcut a hidden icon would leave no way to open the history.
    if (hide && !m_model.hotkeyActive()) {
        m_hideIcon->setChecked(false);
        if (!m_hotkeyAlert) {
            //% "Record a shortcut first"
            m_hotkeyAlert = openAlert(catalogue::text("alert.hotkeyRequired.title"),
                                      //% "Without the tray icon, the keyboard shortcut is the "
                                      //% "only way to open the history. Record a shortcut that "
                                      //% "works, then hide the icon."
                                      catalogue::text("alert.hotkeyRequired.message"));
            m_hotkeyAlert->setObjectName(QStringLiteral("hotkeyAlert"));
            //% "OK"
            m_hotkeyAlert->addButton(catalogue::text("alert.ok"), QMessageBox::AcceptRole);
            m_hotkeyAlert->open();
        }
        return;
    }
    m_model.setHideTrayIcon(hide);
    m_model.applyStatusItemVisibility();
}

void SettingsView::pasteOnSelectClicked(bool paste)
{
    m_model.setPasteOnSelect(paste);
    if (!paste)
        return;
    m_model.refreshAccessibility();
    // Without keystroke synthesis the option cannot work: say so when it is switched on.
    if (!m_model.accessibilityGranted() && !m_accessibilityAlert) {
        //% "Automatic paste isn’t available"
        m_accessibilityAlert = openAlert(catalogue::text("alert.accessibility.title"),
                                         //% "Nabrix can’t send keystrokes to other applications "
                                         //% "on this display, so chosen items are copied but "
                                         //% "not pasted. Paste them with Ctrl+V."
                                         catalogue::text("alert.accessibility.message"));
        m_accessibilityAlert->setObjectName(QStringLiteral("accessibilityAlert"));
        //% "Open Settings"
        QPushButton* open = m_accessibilityAlert->addButton(
            catalogue::text("settings.openSettings"), QMessageBox::AcceptRole);
        //% "Cancel"
        m_accessibilityAlert->addButton(catalogue::text("alert.cancel"), QMessageBox::RejectRole);
        connect(open, &QPushButton::clicked, this, [this] { m_model.openAccessibilitySettings(); });
        m_accessibilityAlert->open();
    }
}

void SettingsView::confirmClearNow()
{
    if (m_clearConfirmation)
        return;
    // Deleting the whole history cannot be undone: like every bulk deletion it is confirmed.
    //% "Clear history"
    m_clearConfirmation = openAlert(catalogue::text("history.clearAll.title"),
                                    //% "Every item in the history will be deleted. This can’t "
                                    //% "be undone."
                                    catalogue::text("history.clearAll.message"));
    m_clearConfirmation->setObjectName(QStringLiteral("clearConfirmation"));
    m_clearConfirmation->setIcon(QMessageBox::Warning);
    //% "Clear"
    QPushButton* clear = m_clearConfirmation->addButton(catalogue::text("alert.clear"),
                                                        QMessageBox::DestructiveRole);
    //% "Cancel"
    QPushButton* cancel =
        m_clearConfirmation->addButton(catalogue::text("alert.cancel"), QMessageBox::RejectRole);
    m_clearConfirmation->setDefaultButton(cancel);
    connect(clear, &QPushButton::clicked, this, [this] { m_model.clearAll(); });
    m_clearConfirmation->open();
}

QMessageBox* SettingsView::openAlert(const QString& title, const QString& message)
{
    auto* alert = new QMessageBox(this);
    //% "Nabrix"
    alert->setWindowTitle(catalogue::text("Nabrix"));
    alert->setText(title);
    alert->setInformativeText(message);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    // A QMessageBox sizes itself to its text and wraps a long message into a narrow column.
    alert->setStyleSheet(
        QStringLiteral("QLabel#qt_msgbox_label { font-weight: bold; min-width: 300px; }"
                       "QLabel#qt_msgbox_informativelabel { min-width: 300px; }"));
    return alert;
}

} // namespace nabrix
