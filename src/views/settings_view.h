// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window's form: every preference, the shortcut, the blacklist and About.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class QComboBox;

namespace nabrix {

class AppModel;
class HotKeyRecorder;
class SymbolButton;
class ToggleSwitch;

// Every control writes through to the model's settings at once; there is no apply step.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    explicit SettingsView(AppModel& model, QWidget* parent = nullptr);
    ~SettingsView() override;

    QSize sizeHint() const override;

    // "Version 1.2 (34)"; without a build number "Version 1.2 (1)".
    static QString versionLine(const QString& version, const QString& buildNumber);

    // The alerts while they are shown, null otherwise.
    QMessageBox* hotkeyAlert() const { return m_hotkeyAlert; }
    QMessageBox* accessibilityAlert() const { return m_accessibilityAlert; }
    QMessageBox* clearConfirmation() const { return m_clearConfirmation; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeHistorySection();
    QWidget* makePrivacySection();
    QWidget* makeShortcutsSection();
    QWidget* makeBehaviorSection();
    QWidget* makeAboutSection();
    void connectSettings();
    void showStoredShortcut();
    void recordingChanged(bool recording);
    void hideIconClicked(bool hide);
    void pasteOnSelectClicked(bool paste);
    void confirmClearNow();
    // A window-modal alert that deletes itself when closed.
    QMessageBox* openAlert(const QString& title, const QString& message);

    AppModel& m_model;
    QComboBox* m_retentionPicker = nullptr;
    ToggleSwitch* m_sensitiveDetection = nullptr;
    ToggleSwitch* m_hideSensitive = nullptr;
    HotKeyRecorder* m_recorder = nullptr;
    SymbolButton* m_clearShortcut = nullptr;
    ToggleSwitch* m_pasteOnSelect = nullptr;
    ToggleSwitch* m_hideIcon = nullptr;
    QPointer<QMessageBox> m_hotkeyAlert;
    QPointer<QMessageBox> m_accessibilityAlert;
    QPointer<QMessageBox> m_clearConfirmation;
};

} // namespace nabrix
