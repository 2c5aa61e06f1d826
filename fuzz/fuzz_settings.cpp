// SPDX-License-Identifier: GPL-3.0-or-later
// The settings loader on an arbitrary INI file: it loads, and every value it loads can be
// written back into that same file and is read again unchanged.
#include "fuzz_check.h"
#include "storage/app_settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <limits>

namespace {

struct Values {
    int retentionDays;
    bool sensitiveDetectionEnabled;
    bool hideSensitiveContent;
    QStringList blacklistedBundleIDs;
    bool hideMenuBarIcon;
    bool pasteOnSelect;
    std::uint32_t hotkeyKeyCode;
    std::uint32_t hotkeyModifiers;

    explicit Values(const nabrix::AppSettings& settings)
        : retentionDays(settings.retentionDays())
        , sensitiveDetectionEnabled(settings.sensitiveDetectionEnabled())
        , hideSensitiveContent(settings.hideSensitiveContent())
        , blacklistedBundleIDs(settings.blacklistedBundleIDs())
        , hideMenuBarIcon(settings.hideMenuBarIcon())
        , pasteOnSelect(settings.pasteOnSelect())
        , hotkeyKeyCode(settings.hotkeyKeyCode())
        , hotkeyModifiers(settings.hotkeyModifiers())
    {
    }
    bool operator==(const Values&) const = default;
};

void assign(nabrix::AppSettings& settings, const Values& values)
{
    settings.setRetentionDays(values.retentionDays);
    settings.setSensitiveDetectionEnabled(values.sensitiveDetectionEnabled);
    settings.setHideSensitiveContent(values.hideSensitiveContent);
    settings.setBlacklistedBundleIDs(values.blacklistedBundleIDs);
    settings.setHideMenuBarIcon(values.hideMenuBarIcon);
    settings.setPasteOnSelect(values.pasteOnSelect);
    settings.setHotkeyKeyCode(values.hotkeyKeyCode);
    settings.setHotkeyModifiers(values.hotkeyModifiers);
}

QTemporaryDir* directory = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Every assignment syncs the file to disk: keep it in memory where possible.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    directory = &dir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A new name every time: QSettings keeps parsed files in a process-wide cache that it
    // only refreshes when the size or time stamp changes.
    static int serial = 0;
    const QString path = directory->filePath(QStringLiteral("nabrix-%1.conf").arg(++serial));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    }

    const Values loaded = [&] {
        const nabrix::AppSettings settings(path);
        return Values(settings);
    }();
    // Every field changed, then every field back: both must reach the file.
    Values changed = loaded;
    changed.retentionDays += loaded.retentionDays < std::numeric_limits<int>::max() ? 1 : -1;
    changed.sensitiveDetectionEnabled = !loaded.sensitiveDetectionEnabled;
    changed.hideSensitiveContent = !loaded.hideSensitiveContent;
    changed.blacklistedBundleIDs.append(QStringLiteral("org.example.Fuzz"));
    changed.hideMenuBarIcon = !loaded.hideMenuBarIcon;
    changed.pasteOnSelect = !loaded.pasteOnSelect;
    changed.hotkeyKeyCode ^= 1U;
    changed.hotkeyModifiers ^= 1U;
    for (const Values* values : std::initializer_list<const Values*>{&changed, &loaded}) {
        {
            nabrix::AppSettings settings(path);
            assign(settings, *values);
            FUZZ_CHECK(Values(settings) == *values);
        }
        const nabrix::AppSettings reloaded(path);
        FUZZ_CHECK(Values(reloaded) == *values);
    }
    QFile::remove(path);
    return 0;
}
