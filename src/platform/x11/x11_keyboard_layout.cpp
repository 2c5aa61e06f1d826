// SPDX-License-Identifier: GPL-3.0-or-later
// Key names from the X server's current keyboard layout, following layout switches.
#include "platform/x11/x11_keyboard_layout.h"

#include "platform/fallback/fallback_services.h"

#include <QGuiApplication>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>
// xcb's XKB header names a struct member `explicit`, a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace nabrix {

namespace {

// A dead key types nothing by itself; show the accent it stands for instead, as the
// layout would with dead-key processing off.
std::optional<char32_t> spacingAccent(xkb_keysym_t keysym)
{
    switch (keysym) {
    case XKB_KEY_dead_grave:
        return U'`';
    case XKB_KEY_dead_acute:
        return U'\u00B4';
    case XKB_KEY_dead_circumflex:
        return U'^';
    case XKB_KEY_dead_tilde:
        return U'~';
    case XKB_KEY_dead_macron:
        return U'\u00AF';
    case XKB_KEY_dead_breve:
        return U'\u02D8';
    case XKB_KEY_dead_abovedot:
        return U'\u02D9';
    case XKB_KEY_dead_diaeresis:
        return U'\u00A8';
    case XKB_KEY_dead_abovering:
        return U'\u02DA';
    case XKB_KEY_dead_doubleacute:
        return U'\u02DD';
    case XKB_KEY_dead_caron:
        return U'\u02C7';
    case XKB_KEY_dead_cedilla:
        return U'\u00B8';
    case XKB_KEY_dead_ogonek:
        return U'\u02DB';
    default:
        return std::nullopt;
    }
}

QString keysymText(xkb_keysym_t keysym)
{
    if (const auto accent = spacingAccent(keysym))
        return QString::fromUcs4(&*accent, 1);
    char buffer[16] = {};
    if (xkb_keysym_to_utf8(keysym, buffer, sizeof buffer) <= 1)
        return {};
    QString text = QString::fromUtf8(buffer);
    // Return, Tab, Escape, Backspace and Delete "type" control characters that would show
    // as nothing at all: those keys get the code instead.
    for (const QChar character : text) {
        if (character.category() == QChar::Other_Control)
            return {};
    }
    return text;
}

std::optional<NamedKey> namedKeyOf(xkb_keysym_t keysym)
{
    using Kind = NamedKey::Kind;
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F35)
        return NamedKey{Kind::Function, static_cast<int>(keysym - XKB_KEY_F1) + 1};
    switch (keysym) {
    case XKB_KEY_space:
        return NamedKey{Kind::Space};
    case XKB_KEY_Tab:
    case XKB_KEY_ISO_Left_Tab:
        return NamedKey{Kind::Tab};
    case XKB_KEY_Return:
    case XKB_KEY_KP_Enter:
        return NamedKey{Kind::Return};
    case XKB_KEY_Escape:
        return NamedKey{Kind::Escape};
    case XKB_KEY_BackSpace:
        return NamedKey{Kind::Backspace};
    case XKB_KEY_Delete:
        return NamedKey{Kind::Delete};
    case XKB_KEY_Insert:
        return NamedKey{Kind::Insert};
    case XKB_KEY_Home:
        return NamedKey{Kind::Home};
    case XKB_KEY_End:
        return NamedKey{Kind::End};
    case XKB_KEY_Prior:
        return NamedKey{Kind::PageUp};
    case XKB_KEY_Next:
        return NamedKey{Kind::PageDown};
    case XKB_KEY_Left:
        return NamedKey{Kind::Left};
    case XKB_KEY_Up:
        return NamedKey{Kind::Up};
    case XKB_KEY_Right:
        return NamedKey{Kind::Right};
    case XKB_KEY_Down:
        return NamedKey{Kind::Down};
    case XKB_KEY_Print:
        return NamedKey{Kind::Print};
    case XKB_KEY_Pause:
        return NamedKey{Kind::Pause};
    case XKB_KEY_Menu:
        return NamedKey{Kind::Menu};
    default:
        return std::nullopt;
    }
}

} // namespace

void X11KeyboardLayout::XkbDeleter::operator()(xkb_context* context) const
{
    xkb_context_unref(context);
}

void X11KeyboardLayout::XkbDeleter::operator()(xkb_keymap* keymap) const
{
    xkb_keymap_unref(keymap);
}

void X11KeyboardLayout::XkbDeleter::operator()(xkb_state* state) const
{
    xkb_state_unref(state);
}

std::unique_ptr<X11KeyboardLayout> X11KeyboardLayout::create()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return nullptr;
    xcb_connection_t* connection = x11->connection();
    std::uint8_t eventBase = 0;
    if (!xkb_x11_setup_xkb_extension(
            connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &eventBase, nullptr))
        return nullptr;
    std::unique_ptr<X11KeyboardLayout> layout(new X11KeyboardLayout(connection, eventBase));
    if (!layout->m_context || !layout->reloadKeymap())
        return nullptr;
    layout->selectXkbEvents();
    QCoreApplication::instance()->installNativeEventFilter(layout.get());
    return layout;
}

X11KeyboardLayout::X11KeyboardLayout(xcb_connection_t* connection, std::uint8_t xkbEventBase)
    : m_connection(connection)
    , m_xkbEventBase(xkbEventBase)
    , m_context(xkb_context_new(XKB_CONTEXT_NO_FLAGS))
{
}

X11KeyboardLayout::~X11KeyboardLayout()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11KeyboardLayout::selectXkbEvents()
{
    // Event selection is per client, and Qt shares this connection: select at least what
    // Qt itself selects, so its own keyboard handling keeps every event it relies on.
    constexpr std::uint16_t events = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY |
                                     XCB_XKB_EVENT_TYPE_MAP_NOTIFY |
                                     XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
    constexpr std::uint16_t mapParts =
        XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP |
        XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS | XCB_XKB_MAP_PART_KEY_ACTIONS |
        XCB_XKB_MAP_PART_KEY_BEHAVIORS | XCB_XKB_MAP_PART_VIRTUAL_MODS |
        XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
    constexpr std::uint16_t stateParts =
        XCB_XKB_STATE_PART_MODIFIER_BASE | XCB_XKB_STATE_PART_MODIFIER_LATCH |
        XCB_XKB_STATE_PART_MODIFIER_LOCK | XCB_XKB_STATE_PART_GROUP_BASE |
        XCB_XKB_STATE_PART_GROUP_LATCH | XCB_XKB_STATE_PART_GROUP_LOCK;
    constexpr std::uint16_t newKeyboardParts = XCB_XKB_NKN_DETAIL_KEYCODES;

    xcb_xkb_select_events_details_t details = {};
    details.affectNewKeyboard = newKeyboardParts;
    details.newKeyboardDetails = newKeyboardParts;
    details.affectState = stateParts;
    details.stateDetails = stateParts;
    xcb_xkb_select_events_aux(m_connection, XCB_XKB_ID_USE_CORE_KBD, events, 0, 0, mapParts,
                              mapParts, &details);
    xcb_flush(m_connection);
}

bool X11KeyboardLayout::reloadKeymap()
{
    m_deviceId = xkb_x11_get_core_keyboard_device_id(m_connection);
    if (m_deviceId < 0)
        return false;
    std::unique_ptr<xkb_keymap, XkbDeleter> keymap(xkb_x11_keymap_new_from_device(
        m_context.get(), m_connection, m_deviceId, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return false;
    std::unique_ptr<xkb_state, XkbDeleter> state(
        xkb_x11_state_new_from_device(keymap.get(), m_connection, m_deviceId));
    if (!state)
        return false;
    m_keymap = std::move(keymap);
    m_state = std::move(state);
    return true;
}

std::optional<std::uint32_t> X11KeyboardLayout::unshiftedKeysym(std::uint32_t keyCode) const
{
    if (!m_keymap || !m_state)
        return std::nullopt;
    // The key's layout in the current group (wrapped into range the way the server does).
    const xkb_layout_index_t layout = xkb_state_key_get_layout(m_state.get(), keyCode);
    if (layout == XKB_LAYOUT_INVALID)
        return std::nullopt;
    const xkb_keysym_t* keysyms = nullptr;
    const int count =
        xkb_keymap_key_get_syms_by_level(m_keymap.get(), keyCode, layout, 0, &keysyms);
    if (count < 1)
        return std::nullopt;
    return keysyms[0];
}

QString X11KeyboardLayout::keyName(std::uint32_t keyCode) const
{
    const auto keysym = unshiftedKeysym(keyCode);
    const QString text = keysym ? keysymText(*keysym) : QString();
    return text.isEmpty() ? hexKeyName(keyCode) : text.toUpper();
}

std::optional<NamedKey> X11KeyboardLayout::namedKey(std::uint32_t keyCode) const
{
    const auto keysym = unshiftedKeysym(keyCode);
    return keysym ? namedKeyOf(*keysym) : std::nullopt;
}

bool X11KeyboardLayout::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != m_xkbEventBase)
        return false;
    // Every XKB event starts with the same header; the second byte says which one it is.
    const auto* notify = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(event);
    switch (notify->xkbType) {
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
        reloadKeymap();
        break;
    case XCB_XKB_MAP_NOTIFY:
        if (notify->deviceID == m_deviceId)
            reloadKeymap();
        break;
    case XCB_XKB_STATE_NOTIFY:
        if (notify->deviceID == m_deviceId && m_state)
            xkb_state_update_mask(m_state.get(), notify->baseMods, notify->latchedMods,
                                  notify->lockedMods, notify->baseGroup, notify->latchedGroup,
                                  notify->lockedGroup);
        break;
    default:
        break;
    }
    // Never consumed: Qt keeps its own keymap up to date from the same events.
    return false;
}

} // namespace nabrix
