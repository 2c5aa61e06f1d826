<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name></name>
    <message id="Nabrix">
        <source>Nabrix</source>
        <translation>Nabrix</translation>
    </message>
    <message id="history.search">
        <source>Search history</source>
        <translation>Buscar en el historial</translation>
    </message>
    <message id="history.empty">
        <source>No items</source>
        <translation>No hay elementos</translation>
    </message>
    <message id="history.back">
        <source>Back</source>
        <translation>Atrás</translation>
    </message>
    <message id="history.detail.title">
        <source>Details</source>
        <translation>Detalles</translation>
    </message>
    <message id="history.sensitive">
        <source>Sensitive</source>
        <translation>Confidencial</translation>
    </message>
    <message id="history.masked">
        <source>Hidden sensitive content</source>
        <translation>Contenido confidencial oculto</translation>
    </message>
    <message id="history.settings">
        <source>Settings…</source>
        <translation>Ajustes…</translation>
    </message>
    <message id="history.quit">
        <source>Quit Nabrix</source>
        <translation>Salir de Nabrix</translation>
    </message>
    <message id="history.select">
        <source>Select items</source>
        <translation>Seleccionar elementos</translation>
    </message>
    <message id="history.done">
        <source>Done</source>
        <translation>Listo</translation>
    </message>
    <message id="history.selectAll">
        <source>Select all</source>
        <translation>Seleccionar todo</translation>
    </message>
    <message id="history.deselectAll">
        <source>Deselect all</source>
        <translation>Deseleccionar todo</translation>
    </message>
    <message id="history.deleteSelected">
        <source>Delete selected</source>
        <translation>Eliminar seleccionados</translation>
    </message>
    <message id="history.clearAll.title">
        <source>Clear history</source>
        <translation>Borrar el historial</translation>
    </message>
    <message id="history.clearAll.message">
        <source>Every item in the history will be deleted. This can’t be undone.</source>
        <translation>Se eliminarán todos los elementos del historial. Esta acción no se puede deshacer.</translation>
    </message>
    <message id="history.deleteSelected.title">
        <source>Delete selected items</source>
        <translation>Eliminar los elementos seleccionados</translation>
    </message>
    <message id="history.deleteSelected.message" numerus="yes">
        <source>%1 selected items will be deleted. This can’t be undone.</source>
        <translation>
            <numerusform>Se eliminará %1 elemento seleccionado. Esta acción no se puede deshacer.</numerusform>
            <numerusform>Se eliminarán %1 elementos seleccionados. Esta acción no se puede deshacer.</numerusform>
        </translation>
    </message>
    <message id="history.itemsCount" numerus="yes">
        <source>%1 items</source>
        <translation>
            <numerusform>%1 elemento</numerusform>
            <numerusform>%1 elementos</numerusform>
        </translation>
    </message>
    <message id="history.selectedCount" numerus="yes">
        <source>%1 selected</source>
        <translation>
            <numerusform>%1 seleccionado</numerusform>
            <numerusform>%1 seleccionados</numerusform>
        </translation>
    </message>
    <message id="history.deleteOlderThan.title">
        <source>Delete older items</source>
        <translation>Eliminar elementos antiguos</translation>
    </message>
    <message id="history.deleteOlderThan.message">
        <source>All items older than %1 will be deleted. This can’t be undone.</source>
        <extracomment>%1 is one of the phrases &quot;an hour&quot;, &quot;a day&quot;, &quot;a week&quot;, &quot;a month&quot;.</extracomment>
        <translation>Se eliminarán todos los elementos de hace más de %1. Esta acción no se puede deshacer.</translation>
    </message>
    <message id="history.deleteOlderThan.customMessage">
        <source>All items older than %1 %2 will be deleted. This can’t be undone.</source>
        <extracomment>%1 is the amount the person typed, %2 its unit word (hours, days, ...).</extracomment>
        <translation>Se eliminarán todos los elementos de hace más de %1 %2. Esta acción no se puede deshacer.</translation>
    </message>
    <message id="history.range.hour">
        <source>Older than an hour</source>
        <translation>De hace más de una hora</translation>
    </message>
    <message id="history.range.day">
        <source>Older than a day</source>
        <translation>De hace más de un día</translation>
    </message>
    <message id="history.range.week">
        <source>Older than a week</source>
        <translation>De hace más de una semana</translation>
    </message>
    <message id="history.range.month">
        <source>Older than a month</source>
        <translation>De hace más de un mes</translation>
    </message>
    <message id="history.rangePhrase.hour">
        <source>an hour</source>
        <extracomment>Fills %1 of &quot;All items older than %1 will be deleted.&quot;</extracomment>
        <translation>una hora</translation>
    </message>
    <message id="history.rangePhrase.day">
        <source>a day</source>
        <extracomment>Fills %1 of &quot;All items older than %1 will be deleted.&quot;</extracomment>
        <translation>un día</translation>
    </message>
    <message id="history.rangePhrase.week">
        <source>a week</source>
        <extracomment>Fills %1 of &quot;All items older than %1 will be deleted.&quot;</extracomment>
        <translation>una semana</translation>
    </message>
    <message id="history.rangePhrase.month">
        <source>a month</source>
        <extracomment>Fills %1 of &quot;All items older than %1 will be deleted.&quot;</extracomment>
        <translation>un mes</translation>
    </message>
    <message id="history.customRange.menu">
        <source>Custom…</source>
        <translation>Personalizado…</translation>
    </message>
    <message id="history.customRange.title">
        <source>Delete items older than</source>
        <translation>Eliminar elementos de hace más de</translation>
    </message>
    <message id="history.customRange.placeholder">
        <source>Amount</source>
        <translation>Cantidad</translation>
    </message>
    <message id="history.customRange.unit.hour">
        <source>hour</source>
        <translation>hora</translation>
    </message>
    <message id="history.customRange.unit.hours">
        <source>hours</source>
        <translation>horas</translation>
    </message>
    <message id="history.customRange.unit.day">
        <source>day</source>
        <translation>día</translation>
    </message>
    <message id="history.customRange.unit.days">
        <source>days</source>
        <translation>días</translation>
    </message>
    <message id="history.customRange.unit.week">
        <source>week</source>
        <translation>semana</translation>
    </message>
    <message id="history.customRange.unit.weeks">
        <source>weeks</source>
        <translation>semanas</translation>
    </message>
    <message id="history.customRange.unit.month">
        <source>month</source>
        <translation>mes</translation>
    </message>
    <message id="history.customRange.unit.months">
        <source>months</source>
        <translation>meses</translation>
    </message>
    <message id="history.copy">
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message id="history.copied">
        <source>Copied</source>
        <translation>Copiado</translation>
    </message>
    <message id="history.paste">
        <source>Paste</source>
        <translation>Pegar</translation>
    </message>
    <message id="history.detail">
        <source>Show details</source>
        <translation>Ver detalles</translation>
    </message>
    <message id="history.reveal">
        <source>Reveal</source>
        <translation>Mostrar</translation>
    </message>
    <message id="history.hide">
        <source>Hide</source>
        <translation>Ocultar</translation>
    </message>
    <message id="history.delete">
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message id="history.fileCount" numerus="yes">
        <source>%1 files</source>
        <translation>
            <numerusform>%1 archivo</numerusform>
            <numerusform>%1 archivos</numerusform>
        </translation>
    </message>
    <message id="history.detail.unknown">
        <source>Unknown source</source>
        <translation>Origen desconocido</translation>
    </message>
    <message id="history.type.text">
        <source>Text</source>
        <translation>Texto</translation>
    </message>
    <message id="history.type.rtf">
        <source>Rich text</source>
        <translation>Texto enriquecido</translation>
    </message>
    <message id="history.type.image">
        <source>Image</source>
        <translation>Imagen</translation>
    </message>
    <message id="history.type.file">
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message id="settings.history">
        <source>History</source>
        <translation>Historial</translation>
    </message>
    <message id="settings.retention">
        <source>Keep history</source>
        <translation>Conservar el historial</translation>
    </message>
    <message id="settings.retention.7">
        <source>7 days</source>
        <translation>7 días</translation>
    </message>
    <message id="settings.retention.30">
        <source>30 days</source>
        <translation>30 días</translation>
    </message>
    <message id="settings.retention.90">
        <source>90 days</source>
        <translation>90 días</translation>
    </message>
    <message id="settings.retention.forever">
        <source>Forever</source>
        <translation>Siempre</translation>
    </message>
    <message id="settings.retention.footer">
        <source>Older items are deleted automatically.</source>
        <translation>Los elementos más antiguos se eliminan automáticamente.</translation>
    </message>
    <message id="settings.clearNow">
        <source>Clear history now</source>
        <translation>Borrar el historial ahora</translation>
    </message>
    <message id="settings.privacy">
        <source>Privacy</source>
        <translation>Privacidad</translation>
    </message>
    <message id="settings.sensitiveDetection">
        <source>Detect sensitive content</source>
        <translation>Detectar contenido confidencial</translation>
    </message>
    <message id="settings.sensitiveDetection.footer">
        <source>Card numbers are marked as sensitive and stay hidden until you reveal them. Copies made in ignored applications are never saved.</source>
        <translation>Los números de tarjeta se marcan como confidenciales y quedan ocultos hasta que los muestres. Lo que copies en las aplicaciones ignoradas nunca se guarda.</translation>
    </message>
    <message id="settings.hideSensitive">
        <source>Hide sensitive content</source>
        <translation>Ocultar el contenido confidencial</translation>
    </message>
    <message id="settings.blacklist">
        <source>Ignored applications</source>
        <translation>Aplicaciones ignoradas</translation>
    </message>
    <message id="settings.blacklist.empty">
        <source>No applications are ignored.</source>
        <translation>No se ignora ninguna aplicación.</translation>
    </message>
    <message id="settings.blacklist.add">
        <source>Application ID, e.g. org.keepassxc.KeePassXC</source>
        <translation>ID de la aplicación, p. ej. org.keepassxc.KeePassXC</translation>
    </message>
    <message id="settings.blacklist.addButton">
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message id="settings.blacklist.defaults">
        <source>Restore defaults</source>
        <translation>Restaurar las predeterminadas</translation>
    </message>
    <message id="settings.shortcuts">
        <source>Shortcuts</source>
        <translation>Atajos de teclado</translation>
    </message>
    <message id="settings.hotkey">
        <source>Open history</source>
        <translation>Abrir el historial</translation>
    </message>
    <message id="settings.hotkey.none">
        <source>Not set</source>
        <translation>Sin asignar</translation>
    </message>
    <message id="settings.hotkey.recording">
        <source>Type shortcut…</source>
        <translation>Pulsa el atajo…</translation>
    </message>
    <message id="settings.hotkey.clear">
        <source>Remove shortcut</source>
        <translation>Quitar el atajo</translation>
    </message>
    <message id="settings.hotkey.footer">
        <source>Opens the history from any application. Click the box and press a key combination. On Wayland, assign a shortcut to the “nabrix” command in your desktop’s keyboard settings instead.</source>
        <translation>Abre el historial desde cualquier aplicación. Haz clic en el recuadro y pulsa una combinación de teclas. En Wayland, asigna en su lugar un atajo al comando «nabrix» en los ajustes de teclado de tu escritorio.</translation>
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
        <translation>Mayús</translation>
    </message>
    <message id="settings.hotkey.modifier.super">
        <source>Super</source>
        <translation>Súper</translation>
    </message>
    <message id="settings.hotkey.key.function">
        <source>F%1</source>
        <extracomment>Function key %1 in a shortcut such as Ctrl+F5.</extracomment>
        <translation>F%1</translation>
    </message>
    <message id="settings.hotkey.key.space">
        <source>Space</source>
        <translation>Espacio</translation>
    </message>
    <message id="settings.hotkey.key.tab">
        <source>Tab</source>
        <translation>Tab</translation>
    </message>
    <message id="settings.hotkey.key.return">
        <source>Enter</source>
        <translation>Intro</translation>
    </message>
    <message id="settings.hotkey.key.escape">
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message id="settings.hotkey.key.backspace">
        <source>Backspace</source>
        <translation>Retroceso</translation>
    </message>
    <message id="settings.hotkey.key.delete">
        <source>Delete</source>
        <translation>Supr</translation>
    </message>
    <message id="settings.hotkey.key.insert">
        <source>Insert</source>
        <translation>Insert</translation>
    </message>
    <message id="settings.hotkey.key.home">
        <source>Home</source>
        <translation>Inicio</translation>
    </message>
    <message id="settings.hotkey.key.end">
        <source>End</source>
        <translation>Fin</translation>
    </message>
    <message id="settings.hotkey.key.pageUp">
        <source>Page Up</source>
        <translation>Re Pág</translation>
    </message>
    <message id="settings.hotkey.key.pageDown">
        <source>Page Down</source>
        <translation>Av Pág</translation>
    </message>
    <message id="settings.hotkey.key.left">
        <source>Left</source>
        <translation>Izquierda</translation>
    </message>
    <message id="settings.hotkey.key.up">
        <source>Up</source>
        <translation>Arriba</translation>
    </message>
    <message id="settings.hotkey.key.right">
        <source>Right</source>
        <translation>Derecha</translation>
    </message>
    <message id="settings.hotkey.key.down">
        <source>Down</source>
        <translation>Abajo</translation>
    </message>
    <message id="settings.hotkey.key.print">
        <source>Print</source>
        <extracomment>The name of a key on the keyboard, shown in a shortcut such as Ctrl+Print.</extracomment>
        <translation>Impr Pant</translation>
    </message>
    <message id="settings.hotkey.key.pause">
        <source>Pause</source>
        <extracomment>The name of a key on the keyboard, shown in a shortcut such as Ctrl+Pause.</extracomment>
        <translation>Pausa</translation>
    </message>
    <message id="settings.hotkey.key.menu">
        <source>Menu</source>
        <extracomment>The name of a key on the keyboard, shown in a shortcut such as Ctrl+Menu.</extracomment>
        <translation>Menú</translation>
    </message>
    <message id="settings.behavior">
        <source>Behavior</source>
        <translation>Comportamiento</translation>
    </message>
    <message id="settings.pasteOnSelect">
        <source>Paste after choosing an item</source>
        <translation>Pegar al elegir un elemento</translation>
    </message>
    <message id="settings.pasteOnSelect.footer">
        <source>Choosing an item copies it and pastes it into the application you were using.</source>
        <translation>Al elegir un elemento, se copia y se pega en la aplicación que estabas usando.</translation>
    </message>
    <message id="settings.hideIcon">
        <source>Hide the tray icon</source>
        <translation>Ocultar el icono de la bandeja</translation>
    </message>
    <message id="settings.hideIcon.footer">
        <source>Without the icon, open the history with the keyboard shortcut.</source>
        <translation>Sin el icono, abre el historial con el atajo de teclado.</translation>
    </message>
    <message id="settings.about">
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message id="settings.about.body">
        <source>Nabrix keeps a searchable history of what you copy. Everything stays on this computer.</source>
        <translation>Nabrix guarda un historial de todo lo que copias, con búsqueda. Todo se queda en este equipo.</translation>
    </message>
    <message id="settings.version">
        <source>Version %1 (%2)</source>
        <extracomment>%1 is the version number, %2 the build number.</extracomment>
        <translation>Versión %1 (%2)</translation>
    </message>
    <message id="settings.openSettings">
        <source>Open Settings</source>
        <translation>Abrir los ajustes</translation>
    </message>
    <message id="alert.clear">
        <source>Clear</source>
        <translation>Borrar</translation>
    </message>
    <message id="alert.cancel">
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message id="alert.ok">
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message id="alert.accessibility.title">
        <source>Automatic paste isn’t available</source>
        <translation>El pegado automático no está disponible</translation>
    </message>
    <message id="alert.accessibility.message">
        <source>Nabrix can’t send keystrokes to other applications on this display, so chosen items are copied but not pasted. Paste them with Ctrl+V.</source>
        <translation>Nabrix no puede enviar pulsaciones de teclas a otras aplicaciones en esta pantalla, así que los elementos elegidos se copian pero no se pegan. Pégalos con Ctrl+V.</translation>
    </message>
    <message id="alert.hotkeyRequired.title">
        <source>Record a shortcut first</source>
        <translation>Primero graba un atajo</translation>
    </message>
    <message id="alert.hotkeyRequired.message">
        <source>Without the tray icon, the keyboard shortcut is the only way to open the history. Record a shortcut that works, then hide the icon.</source>
        <translation>Sin el icono de la bandeja, el atajo de teclado es la única forma de abrir el historial. Graba un atajo que funcione y después oculta el icono.</translation>
    </message>
    <message id="store.fatal.file">
        <source>History file: %1</source>
        <extracomment>%1 is the path of the history database.</extracomment>
        <translation>Archivo del historial: %1</translation>
    </message>
    <message id="cli.help.commands">
        <source>Commands:</source>
        <translation>Órdenes:</translation>
    </message>
    <message id="cli.help.window">
        <source>  show | hide | toggle   the history window; show and toggle start Nabrix if needed</source>
        <translation>  show | hide | toggle   la ventana del historial; show y toggle inician Nabrix si hace falta</translation>
    </message>
    <message id="cli.help.list">
        <source>  list                   the history, newest first: id, age, type, preview</source>
        <translation>  list                   el historial, lo más reciente primero: id, antigüedad, tipo, vista previa</translation>
    </message>
    <message id="cli.help.search">
        <source>  search QUERY...        the entries the history window&apos;s search finds</source>
        <translation>  search CONSULTA...     los elementos que encuentra la búsqueda de la ventana del historial</translation>
    </message>
    <message id="cli.help.get">
        <source>  get ID                 writes an entry&apos;s content to standard output</source>
        <translation>  get ID                 escribe el contenido de un elemento en la salida estándar</translation>
    </message>
    <message id="cli.help.copy">
        <source>  copy ID                puts an entry on the clipboard</source>
        <translation>  copy ID                pone un elemento en el portapapeles</translation>
    </message>
    <message id="cli.help.paste">
        <source>  paste ID               puts an entry on the clipboard and pastes it</source>
        <translation>  paste ID               pone un elemento en el portapapeles y lo pega</translation>
    </message>
    <message id="cli.help.delete">
        <source>  delete ID...           deletes entries</source>
        <translation>  delete ID...           elimina elementos</translation>
    </message>
    <message id="cli.description">
        <source>Clipboard history. Without a command, starts Nabrix or shows or hides its history.</source>
        <translation>Historial del portapapeles. Sin orden, inicia Nabrix o muestra u oculta su historial.</translation>
    </message>
    <message id="cli.option.limit">
        <source>Lists at most N entries.</source>
        <translation>Muestra como mucho N elementos.</translation>
    </message>
    <message id="cli.option.type">
        <source>Lists only entries of this type: text, rtf, image or file.</source>
        <translation>Muestra solo elementos de este tipo: text, rtf, image o file.</translation>
    </message>
    <message id="cli.option.json">
        <source>Prints one JSON array instead of lines.</source>
        <translation>Escribe una matriz JSON en lugar de líneas.</translation>
    </message>
    <message id="cli.option.reveal">
        <source>Shows sensitive entries as they are.</source>
        <translation>Muestra los elementos confidenciales tal como son.</translation>
    </message>
    <message id="cli.argument.command">
        <source>What to do; see the commands below.</source>
        <translation>Qué hacer; consulte las órdenes más abajo.</translation>
    </message>
    <message id="cli.noCommand">
        <source>No command given; see nabrix --help.</source>
        <translation>No se indicó ninguna orden; consulte nabrix --help.</translation>
    </message>
    <message id="cli.unknownCommand">
        <source>Unknown command &quot;%1&quot;; see nabrix --help.</source>
        <translation>Orden desconocida «%1»; consulte nabrix --help.</translation>
    </message>
    <message id="cli.argumentCount">
        <source>Wrong number of arguments for %1; see nabrix --help.</source>
        <translation>Número de argumentos incorrecto para %1; consulte nabrix --help.</translation>
    </message>
    <message id="cli.optionMisplaced">
        <source>The option --%1 does not go with %2.</source>
        <translation>La opción --%1 no se usa con %2.</translation>
    </message>
    <message id="cli.badLimit">
        <source>--limit needs a whole number, not &quot;%1&quot;.</source>
        <translation>--limit necesita un número entero, no «%1».</translation>
    </message>
    <message id="cli.badType">
        <source>--type must be text, rtf, image or file, not &quot;%1&quot;.</source>
        <translation>--type debe ser text, rtf, image o file, no «%1».</translation>
    </message>
    <message id="cli.unknownEntry">
        <source>There is no entry %1 in the history.</source>
        <translation>No hay ningún elemento %1 en el historial.</translation>
    </message>
    <message id="cli.notRunning">
        <source>Nabrix is not running.</source>
        <translation>Nabrix no se está ejecutando.</translation>
    </message>
    <message id="cli.noAnswer">
        <source>The running Nabrix does not answer.</source>
        <translation>El Nabrix en ejecución no responde.</translation>
    </message>
    <message id="cli.garbledReply">
        <source>The running Nabrix gave an answer that cannot be read.</source>
        <translation>El Nabrix en ejecución dio una respuesta ilegible.</translation>
    </message>
    <message id="cli.unusableEntry">
        <source>The content of entry %1 cannot be used.</source>
        <translation>El contenido del elemento %1 no se puede usar.</translation>
    </message>
    <message id="cli.malformed">
        <source>The running Nabrix did not understand the request.</source>
        <translation>El Nabrix en ejecución no entendió la petición.</translation>
    </message>
    <message id="cli.unreadableHistory">
        <source>Cannot read the history: %1</source>
        <translation>No se puede leer el historial: %1</translation>
    </message>
    <message id="cli.sensitive">
        <source>Entry %1 is sensitive; add --reveal to print it.</source>
        <translation>El elemento %1 es confidencial; añada --reveal para escribirlo.</translation>
    </message>
</context>
</TS>
