<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name></name>
    <message id="Nabrix">
        <source>Nabrix</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.search">
        <source>Search history</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.empty">
        <source>No items</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.back">
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.detail.title">
        <source>Details</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.sensitive">
        <source>Sensitive</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.masked">
        <source>Hidden sensitive content</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.settings">
        <source>Settings…</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.quit">
        <source>Quit Nabrix</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.select">
        <source>Select items</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.done">
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.selectAll">
        <source>Select all</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.deselectAll">
        <source>Deselect all</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.deleteSelected">
        <source>Delete selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.clearAll.title">
        <source>Clear history</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.clearAll.message">
        <source>Every item in the history will be deleted. This can’t be undone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.deleteSelected.title">
        <source>Delete selected items</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message id="history.deleteOlderThan.message">
        <source>All items older than %1 will be deleted. This can’t be undone.</source>
        <extracomment>%1 is one of the phrases &quot;an hour&quot;, &quot;a day&quot;, &quot;a week&quot;, &quot;a month&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.deleteOlderThan.customMessage">
        <source>All items older than %1 %2 will be deleted. This can’t be undone.</source>
        <extracomment>%1 is the amount the person typed, %2 its unit word (hours, days, ...).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.range.hour">
        <source>Older than an hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.range.day">
        <source>Older than a day</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.range.week">
        <source>Older than a week</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.range.month">
        <source>Older than a month</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.rangePhrase.hour">
        <source>an hour</source>
        <extracomment>Fills %1 of &quot;All items older than %1 will be deleted.&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.rangePhrase.day">
        <source>a day</source>
        <extracomment>Fills %1 of &quot;All items older than %1 will be deleted.&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.rangePhrase.week">
        <source>a week</source>
        <extracomment>Fills %1 of &quot;All items older than %1 will be deleted.&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.rangePhrase.month">
        <source>a month</source>
        <extracomment>Fills %1 of &quot;All items older than %1 will be deleted.&quot;</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.menu">
        <source>Custom…</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.title">
        <source>Delete items older than</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.placeholder">
        <source>Amount</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.unit.hour">
        <source>hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.unit.hours">
        <source>hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.unit.day">
        <source>day</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.unit.days">
        <source>days</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.unit.week">
        <source>week</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.unit.weeks">
        <source>weeks</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.unit.month">
        <source>month</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.customRange.unit.months">
        <source>months</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.copy">
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.copied">
        <source>Copied</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.paste">
        <source>Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.detail">
        <source>Show details</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.reveal">
        <source>Reveal</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.hide">
        <source>Hide</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.delete">
        <source>Delete</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message id="history.type.text">
        <source>Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.type.rtf">
        <source>Rich text</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.type.image">
        <source>Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="history.type.file">
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.history">
        <source>History</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.retention">
        <source>Keep history</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.retention.7">
        <source>7 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.retention.30">
        <source>30 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.retention.90">
        <source>90 days</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.retention.forever">
        <source>Forever</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.retention.footer">
        <source>Older items are deleted automatically.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.clearNow">
        <source>Clear history now</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.privacy">
        <source>Privacy</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.sensitiveDetection">
        <source>Detect sensitive content</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.sensitiveDetection.footer">
        <source>Card numbers are marked as sensitive and stay hidden until you reveal them. Copies made in ignored applications are never saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hideSensitive">
        <source>Hide sensitive content</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.blacklist">
        <source>Ignored applications</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.blacklist.empty">
        <source>No applications are ignored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.blacklist.add">
        <source>Application ID, e.g. org.keepassxc.KeePassXC</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.blacklist.addButton">
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.blacklist.defaults">
        <source>Restore defaults</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.shortcuts">
        <source>Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey">
        <source>Open history</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.none">
        <source>Not set</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.recording">
        <source>Type shortcut…</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.clear">
        <source>Remove shortcut</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.footer">
        <source>Opens the history from any application. Click the box and press a key combination. On Wayland, assign a shortcut to the “nabrix” command in your desktop’s keyboard settings instead.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.modifier.ctrl">
        <source>Ctrl</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.modifier.alt">
        <source>Alt</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.modifier.shift">
        <source>Shift</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.modifier.super">
        <source>Super</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.function">
        <source>F%1</source>
        <extracomment>Function key %1 in a shortcut such as Ctrl+F5.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.space">
        <source>Space</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.tab">
        <source>Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.return">
        <source>Enter</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.escape">
        <source>Esc</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.backspace">
        <source>Backspace</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.delete">
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.insert">
        <source>Insert</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.home">
        <source>Home</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.end">
        <source>End</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.pageUp">
        <source>Page Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.pageDown">
        <source>Page Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.left">
        <source>Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.up">
        <source>Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.right">
        <source>Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.down">
        <source>Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.print">
        <source>Print</source>
        <extracomment>The name of a key on the keyboard, shown in a shortcut such as Ctrl+Print.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.pause">
        <source>Pause</source>
        <extracomment>The name of a key on the keyboard, shown in a shortcut such as Ctrl+Pause.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hotkey.key.menu">
        <source>Menu</source>
        <extracomment>The name of a key on the keyboard, shown in a shortcut such as Ctrl+Menu.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.behavior">
        <source>Behavior</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.pasteOnSelect">
        <source>Paste after choosing an item</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.pasteOnSelect.footer">
        <source>Choosing an item copies it and pastes it into the application you were using.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hideIcon">
        <source>Hide the tray icon</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.hideIcon.footer">
        <source>Without the icon, open the history with the keyboard shortcut.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.about">
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.about.body">
        <source>Nabrix keeps a searchable history of what you copy. Everything stays on this computer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.version">
        <source>Version %1 (%2)</source>
        <extracomment>%1 is the version number, %2 the build number.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="settings.openSettings">
        <source>Open Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="alert.clear">
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="alert.cancel">
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="alert.ok">
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="alert.accessibility.title">
        <source>Automatic paste isn’t available</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="alert.accessibility.message">
        <source>Nabrix can’t send keystrokes to other applications on this display, so chosen items are copied but not pasted. Paste them with Ctrl+V.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="alert.hotkeyRequired.title">
        <source>Record a shortcut first</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="alert.hotkeyRequired.message">
        <source>Without the tray icon, the keyboard shortcut is the only way to open the history. Record a shortcut that works, then hide the icon.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="store.fatal.file">
        <source>History file: %1</source>
        <extracomment>%1 is the path of the history database.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.help.commands">
        <source>Commands:</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.help.window">
        <source>  show | hide | toggle   the history window; show and toggle start Nabrix if needed</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.help.list">
        <source>  list                   the history, newest first: id, age, type, preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.help.search">
        <source>  search QUERY...        the entries the history window&apos;s search finds</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.help.get">
        <source>  get ID                 writes an entry&apos;s content to standard output</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.help.copy">
        <source>  copy ID                puts an entry on the clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.help.paste">
        <source>  paste ID               puts an entry on the clipboard and pastes it</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.help.delete">
        <source>  delete ID...           deletes entries</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.description">
        <source>Clipboard history. Without a command, starts Nabrix or shows or hides its history.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.option.limit">
        <source>Lists at most N entries.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.option.type">
        <source>Lists only entries of this type: text, rtf, image or file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.option.json">
        <source>Prints one JSON array instead of lines.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.option.reveal">
        <source>Shows sensitive entries as they are.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.argument.command">
        <source>What to do; see the commands below.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.noCommand">
        <source>No command given; see nabrix --help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.unknownCommand">
        <source>Unknown command &quot;%1&quot;; see nabrix --help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.argumentCount">
        <source>Wrong number of arguments for %1; see nabrix --help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.optionMisplaced">
        <source>The option --%1 does not go with %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.badLimit">
        <source>--limit needs a whole number, not &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.badType">
        <source>--type must be text, rtf, image or file, not &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.unknownEntry">
        <source>There is no entry %1 in the history.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.notRunning">
        <source>Nabrix is not running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.noAnswer">
        <source>The running Nabrix does not answer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.garbledReply">
        <source>The running Nabrix gave an answer that cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.unusableEntry">
        <source>The content of entry %1 cannot be used.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.malformed">
        <source>The running Nabrix did not understand the request.</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.unreadableHistory">
        <source>Cannot read the history: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message id="cli.sensitive">
        <source>Entry %1 is sensitive; add --reveal to print it.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
