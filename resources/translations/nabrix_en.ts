<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name></name>
    <message id="Nabrix">
        <source>Nabrix</source>
        <translation>Nabrix</translation>
    </message>
    <message id="history.search">
        <source>Search history</source>
        <translation>Search history</translation>
    </message>
    <message id="history.empty">
        <source>No items</source>
        <translation>No items</translation>
    </message>
    <message id="history.back">
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message id="history.detail.title">
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message id="history.sensitive">
        <source>Sensitive</source>
        <translation>Sensitive</translation>
    </message>
    <message id="history.masked">
        <source>Hidden sensitive content</source>
        <translation>Hidden sensitive content</translation>
    </message>
    <message id="history.settings">
        <source>Settings…</source>
        <translation>Settings…</translation>
    </message>
    <message id="history.quit">
        <source>Quit Nabrix</source>
        <translation>Quit Nabrix</translation>
    </message>
    <message id="history.select">
        <source>Select items</source>
        <translation>Select items</translation>
    </message>
    <message id="history.done">
        <source>Done</source>
        <translation>Done</translation>
    </message>
    <message id="history.selectAll">
        <source>Select all</source>
        <translation>Select all</translation>
    </message>
    <message id="history.deselectAll">
        <source>Deselect all</source>
        <translation>Deselect all</translation>
    </message>
    <message id="history.deleteSelected">
        <source>Delete selected</source>
        <translation>Delete selected</translation>
    </message>
    <message id="history.clearAll.title">
        <source>Clear history</source>
        <translation>Clear history</translation>
    </message>
    <message id="history.clearAll.message">
        <source>Every item in the history will be deleted. This can’t be undone.</source>
        <translation>Every item in the history will be deleted. This can’t be undone.</translation>
    </message>
    <message id="history.deleteSelected.title">
        <source>Delete selected items</source>
        <translation>Delete selected items</translation>
    </message>
    <message id="history.deleteSelected.message" numerus="yes">
        <source>%1 selected items will be deleted. This can’t be undone.</source>
        <translation>
            <numerusform>%1 selected item will be deleted. This can’t be undone.</numerusform>
            <numerusform>%1 selected items will be deleted. This can’t be undone.</numerusform>
        </translation>
    </message>
    <message id="history.itemsCount" numerus="yes">
        <source>%1 items</source>
        <translation>
            <numerusform>%1 item</numerusform>
            <numerusform>%1 items</numerusform>
        </translation>
    </message>
    <message id="history.selectedCount" numerus="yes">
        <source>%1 selected</source>
        <translation>
            <numerusform>%1 selected</numerusform>
            <numerusform>%1 selected</numerusform>
        </translation>
    </message>
    <message id="history.deleteOlderThan.title">
        <source>Delete older items</source>
        <translation>Delete older items</translation>
    </message>
    <message id="history.deleteOlderThan.message">
        <source>All items older than %1 will be deleted. This can’t be undone.</source>
        <translation>All items older than %1 will be deleted. This can’t be undone.</translation>
    </message>
    <message id="history.deleteOlderThan.customMessage">
        <source>All items older than %1 %2 will be deleted. This can’t be undone.</source>
        <translation>All items older than %1 %2 will be deleted. This can’t be undone.</translation>
    </message>
    <message id="history.range.hour">
        <source>Older than an hour</source>
        <translation>Older than an hour</translation>
    </message>
    <message id="history.range.day">
        <source>Older than a day</source>
        <translation>Older than a day</translation>
    </message>
    <message id="history.range.week">
        <source>Older than a week</source>
        <translation>Older than a week</translation>
    </message>
    <message id="history.range.month">
        <source>Older than a month</source>
        <translation>Older than a month</translation>
    </message>
    <message id="history.rangePhrase.hour">
        <source>an hour</source>
        <translation>an hour</translation>
    </message>
    <message id="history.rangePhrase.day">
        <source>a day</source>
        <translation>a day</translation>
    </message>
    <message id="history.rangePhrase.week">
        <source>a week</source>
        <translation>a week</translation>
    </message>
    <message id="history.rangePhrase.month">
        <source>a month</source>
        <translation>a month</translation>
    </message>
    <message id="history.customRange.menu">
        <source>Custom…</source>
        <translation>Custom…</translation>
    </message>
    <message id="history.customRange.title">
        <source>Delete items older than</source>
        <translation>Delete items older than</translation>
    </message>
    <message id="history.customRange.placeholder">
        <source>Amount</source>
        <translation>Amount</translation>
    </message>
    <message id="history.customRange.unit.hour">
        <source>hour</source>
        <translation>hour</translation>
    </message>
    <message id="history.customRange.unit.hours">
        <source>hours</source>
        <translation>hours</translation>
    </message>
    <message id="history.customRange.unit.day">
        <source>day</source>
        <translation>day</translation>
    </message>
    <message id="history.customRange.unit.days">
        <source>days</source>
        <translation>days</translation>
    </message>
    <message id="history.customRange.unit.week">
        <source>week</source>
        <translation>week</translation>
    </message>
    <message id="history.customRange.unit.weeks">
        <source>weeks</source>
        <translation>weeks</translation>
    </message>
    <message id="history.customRange.unit.month">
        <source>month</source>
        <translation>month</translation>
    </message>
    <message id="history.customRange.unit.months">
        <source>months</source>
        <translation>months</translation>
    </message>
    <message id="history.copy">
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message id="history.copied">
        <source>Copied</source>
        <translation>Copied</translation>
    </message>
    <message id="history.paste">
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message id="history.detail">
        <source>Show details</source>
        <translation>Show details</translation>
    </message>
    <message id="history.reveal">
        <source>Reveal</source>
        <translation>Reveal</translation>
    </message>
    <message id="history.hide">
        <source>Hide</source>
        <translation>Hide</translation>
    </message>
    <message id="history.delete">
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message id="history.fileCount" numerus="yes">
        <source>%1 files</source>
        <translation>
            <numerusform>%1 file</numerusform>
            <numerusform>%1 files</numerusform>
        </translation>
    </message>
    <message id="history.detail.unknown">
        <source>Unknown source</source>
        <translation>Unknown source</translation>
    </message>
    <message id="history.type.text">
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message id="history.type.rtf">
        <source>Rich text</source>
        <translation>Rich text</translation>
    </message>
    <message id="history.type.image">
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message id="history.type.file">
        <source>File</source>
        <translation>File</translation>
    </message>
    <message id="settings.history">
        <source>History</source>
        <translation>History</translation>
    </message>
    <message id="settings.retention">
        <source>Keep history</source>
        <translation>Keep history</translation>
    </message>
    <message id="settings.retention.7">
        <source>7 days</source>
        <translation>7 days</translation>
    </message>
    <message id="settings.retention.30">
        <source>30 days</source>
        <translation>30 days</translation>
    </message>
    <message id="settings.retention.90">
        <source>90 days</source>
        <translation>90 days</translation>
    </message>
    <message id="settings.retention.forever">
        <source>Forever</source>
        <translation>Forever</translation>
    </message>
    <message id="settings.retention.footer">
        <source>Older items are deleted automatically.</source>
        <translation>Older items are deleted automatically.</translation>
    </message>
    <message id="settings.clearNow">
        <source>Clear history now</source>
        <translation>Clear history now</translation>
    </message>
    <message id="settings.privacy">
        <source>Privacy</source>
        <translation>Privacy</translation>
    </message>
    <message id="settings.sensitiveDetection">
        <source>Detect sensitive content</source>
        <translation>Detect sensitive content</translation>
    </message>
    <message id="settings.sensitiveDetection.footer">
        <source>Card numbers are marked as sensitive and stay hidden until you reveal them. Copies made in ignored applications are never saved.</source>
        <translation>Card numbers are marked as sensitive and stay hidden until you reveal them. Copies made in ignored applications are never saved.</translation>
    </message>
    <message id="settings.hideSensitive">
        <source>Hide sensitive content</source>
        <translation>Hide sensitive content</translation>
    </message>
    <message id="settings.blacklist">
        <source>Ignored applications</source>
        <translation>Ignored applications</translation>
    </message>
    <message id="settings.blacklist.empty">
        <source>No applications are ignored.</source>
        <translation>No applications are ignored.</translation>
    </message>
    <message id="settings.blacklist.add">
        <source>Application ID, e.g. org.keepassxc.KeePassXC</source>
        <translation>Application ID, e.g. org.keepassxc.KeePassXC</translation>
    </message>
    <message id="settings.blacklist.addButton">
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message id="settings.blacklist.defaults">
        <source>Restore defaults</source>
        <translation>Restore defaults</translation>
    </message>
    <message id="settings.shortcuts">
        <source>Shortcuts</source>
        <translation>Shortcuts</translation>
    </message>
    <message id="settings.hotkey">
        <source>Open history</source>
        <translation>Open history</translation>
    </message>
    <message id="settings.hotkey.none">
        <source>Not set</source>
        <translation>Not set</translation>
    </message>
    <message id="settings.hotkey.recording">
        <source>Type shortcut…</source>
        <translation>Type shortcut…</translation>
    </message>
    <message id="settings.hotkey.clear">
        <source>Remove shortcut</source>
        <translation>Remove shortcut</translation>
    </message>
    <message id="settings.hotkey.footer">
        <source>Opens the history from any application. Click the box and press a key combination. On Wayland, assign a shortcut to the “nabrix” command in your desktop’s keyboard settings instead.</source>
        <translation>Opens the history from any application. Click the box and press a key combination. On Wayland, assign a shortcut to the “nabrix” command in your desktop’s keyboard settings instead.</translation>
    </message>
    <message id="settings.hotkey.modifier.ctrl">
        <source>Ctrl</source>
        <translation>Ctrl</translation>
    </message>
    <message id="settings.hotkey.modifier.alt">
        <source>Alt</source>
        <translation>Alt</translation>
    </message>
    <message id="settings.hotkey.modifier.shift">
        <source>Shift</source>
        <translation>Shift</translation>
    </message>
    <message id="settings.hotkey.modifier.super">
        <source>Super</source>
        <translation>Super</translation>
    </message>
    <message id="settings.hotkey.key.function">
        <source>F%1</source>
        <translation>F%1</translation>
    </message>
    <message id="settings.hotkey.key.space">
        <source>Space</source>
        <translation>Space</translation>
    </message>
    <message id="settings.hotkey.key.tab">
        <source>Tab</source>
        <translation>Tab</translation>
    </message>
    <message id="settings.hotkey.key.return">
        <source>Enter</source>
        <translation>Enter</translation>
    </message>
    <message id="settings.hotkey.key.escape">
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message id="settings.hotkey.key.backspace">
        <source>Backspace</source>
        <translation>Backspace</translation>
    </message>
    <message id="settings.hotkey.key.delete">
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message id="settings.hotkey.key.insert">
        <source>Insert</source>
        <translation>Insert</translation>
    </message>
    <message id="settings.hotkey.key.home">
        <source>Home</source>
        <translation>Home</translation>
    </message>
    <message id="settings.hotkey.key.end">
        <source>End</source>
        <translation>End</translation>
    </message>
    <message id="settings.hotkey.key.pageUp">
        <source>Page Up</source>
        <translation>Page Up</translation>
    </message>
    <message id="settings.hotkey.key.pageDown">
        <source>Page Down</source>
        <translation>Page Down</translation>
    </message>
    <message id="settings.hotkey.key.left">
        <source>Left</source>
        <translation>Left</translation>
    </message>
    <message id="settings.hotkey.key.up">
        <source>Up</source>
        <translation>Up</translation>
    </message>
    <message id="settings.hotkey.key.right">
        <source>Right</source>
        <translation>Right</translation>
    </message>
    <message id="settings.hotkey.key.down">
        <source>Down</source>
        <translation>Down</translation>
    </message>
    <message id="settings.hotkey.key.print">
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message id="settings.hotkey.key.pause">
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message id="settings.hotkey.key.menu">
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message id="settings.behavior">
        <source>Behavior</source>
        <translation>Behavior</translation>
    </message>
    <message id="settings.pasteOnSelect">
        <source>Paste after choosing an item</source>
        <translation>Paste after choosing an item</translation>
    </message>
    <message id="settings.pasteOnSelect.footer">
        <source>Choosing an item copies it and pastes it into the application you were using.</source>
        <translation>Choosing an item copies it and pastes it into the application you were using.</translation>
    </message>
    <message id="settings.hideIcon">
        <source>Hide the tray icon</source>
        <translation>Hide the tray icon</translation>
    </message>
    <message id="settings.hideIcon.footer">
        <source>Without the icon, open the history with the keyboard shortcut.</source>
        <translation>Without the icon, open the history with the keyboard shortcut.</translation>
    </message>
    <message id="settings.about">
        <source>About</source>
        <translation>About</translation>
    </message>
    <message id="settings.about.body">
        <source>Nabrix keeps a searchable history of what you copy. Everything stays on this computer.</source>
        <translation>Nabrix keeps a searchable history of what you copy. Everything stays on this computer.</translation>
    </message>
    <message id="settings.version">
        <source>Version %1 (%2)</source>
        <translation>Version %1 (%2)</translation>
    </message>
    <message id="settings.openSettings">
        <source>Open Settings</source>
        <translation>Open Settings</translation>
    </message>
    <message id="alert.clear">
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message id="alert.cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="alert.ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="alert.accessibility.title">
        <source>Automatic paste isn’t available</source>
        <translation>Automatic paste isn’t available</translation>
    </message>
    <message id="alert.accessibility.message">
        <source>Nabrix can’t send keystrokes to other applications on this display, so chosen items are copied but not pasted. Paste them with Ctrl+V.</source>
        <translation>Nabrix can’t send keystrokes to other applications on this display, so chosen items are copied but not pasted. Paste them with Ctrl+V.</translation>
    </message>
    <message id="alert.hotkeyRequired.title">
        <source>Record a shortcut first</source>
        <translation>Record a shortcut first</translation>
    </message>
    <message id="alert.hotkeyRequired.message">
        <source>Without the tray icon, the keyboard shortcut is the only way to open the history. Record a shortcut that works, then hide the icon.</source>
        <translation>Without the tray icon, the keyboard shortcut is the only way to open the history. Record a shortcut that works, then hide the icon.</translation>
    </message>
    <message id="store.fatal.file">
        <source>History file: %1</source>
        <translation>History file: %1</translation>
    </message>
</context>
</TS>
