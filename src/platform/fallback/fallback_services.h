// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for desktops where a platform service is not available.
#pragma once

#include "platform/clipboard_keeper.h"
#include "platform/hotkey_service.h"
#include "platform/key_synthesizer.h"
#include "platform/keyboard_layout.h"
#include "platform/sensitivity_analyzer.h"
#include "platform/workspace.h"

namespace nabrix {

// The clipboard outlives its owner here, or nothing reports the owner's end.
class NoClipboardKeeper final : public ClipboardKeeper {
public:
    bool claim() override { return false; }
    void release() override {}
    void finishSave(bool) override {}
    void contentRecorded() override {}
};

class NoWorkspace final : public Workspace {
public:
    std::optional<QString> frontmostApplicationId() const override { return std::nullopt; }
    std::optional<QString> applicationName(const QString&) const override { return std::nullopt; }
    QIcon applicationIcon(const QString&) const override { return {}; }
    bool isInstalled(const QString&) const override { return false; }
};

class UntrustedKeySynthesizer final : public KeySynthesizer {
public:
    bool isTrusted() const override { return false; }
    void requestTrust() override {}
    void postPaste() override {}
};

class RefusingHotKeyService final : public HotKeyService {
public:
    bool registerHotKey(std::uint32_t, std::uint32_t) override { return false; }
    void unregisterHotKey() override {}
};

class HexKeyboardLayout final : public KeyboardLayout {
public:
    QString keyName(std::uint32_t keyCode) const override;
    std::optional<NamedKey> namedKey(std::uint32_t) const override { return std::nullopt; }
};

// There is no on-device image analyser on Linux: every image gets "no verdict".
class NoVerdictSensitivityAnalyzer final : public SensitivityAnalyzer {
public:
    void analyze(const QByteArray& png, QObject* context,
                 std::function<void(Verdict)> done) override;
};

// "0x%X" of a key code: the name of a key the layout cannot name.
QString hexKeyName(std::uint32_t keyCode);

} // namespace nabrix
