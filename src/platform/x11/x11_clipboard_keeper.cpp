// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard-manager role on X11: the CLIPBOARD_MANAGER selection and XFixes owner events.
#include "platform/x11/x11_clipboard_keeper.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace nabrix {

namespace {

// The XFixes selection event as it arrives on the wire (libxcb-xfixes is not a dependency).
struct XFixesSelectionEvent {
    std::uint8_t responseType;
    std::uint8_t subtype;
    std::uint16_t sequence;
    std::uint32_t window;
    std::uint32_t owner;
    std::uint32_t selection;
    std::uint32_t timestamp;
    std::uint32_t selectionTimestamp;
};

std::uint32_t internAtom(xcb_connection_t* connection, const char* name)
{
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const std::uint32_t atom = reply != nullptr ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

std::uint32_t selectionOwner(xcb_connection_t* connection, std::uint32_t selection)
{
    xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
    const std::uint32_t owner = reply != nullptr ? reply->owner : std::uint32_t{XCB_WINDOW_NONE};
    std::free(reply);
    return owner;
}

} // namespace

std::unique_ptr<X11ClipboardKeeper> X11ClipboardKeeper::create()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || x11->display() == nullptr)
        return nullptr;
    Display* display = x11->display();
    int eventBase = 0;
    int errorBase = 0;
    if (!XFixesQueryExtension(display, &eventBase, &errorBase))
        return nullptr;
    xcb_connection_t* connection = x11->connection();
    const std::uint32_t root = XDefaultRootWindow(display);
    Atoms atoms;
    atoms.clipboard = internAtom(connection, "CLIPBOARD");
    atoms.manager = internAtom(connection, "CLIPBOARD_MANAGER");
    atoms.saveTargets = internAtom(connection, "SAVE_TARGETS");
    atoms.managerMessage = internAtom(connection, "MANAGER");
    if (atoms.clipboard == XCB_ATOM_NONE || atoms.manager == XCB_ATOM_NONE ||
        atoms.saveTargets == XCB_ATOM_NONE || atoms.managerMessage == XCB_ATOM_NONE)
        return nullptr;
    const std::uint32_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_flush(connection);
    // An owner change, an owner window destroyed and an owner client gone look alike in
    // the core protocol; XFixes tells them apart.
    XFixesSelectSelectionInput(display, window, atoms.clipboard,
                               XFixesSetSelectionOwnerNotifyMask |
                                   XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
    XFlush(display);
    return std::unique_ptr<X11ClipboardKeeper>(new X11ClipboardKeeper(
        connection, root, window, static_cast<std::uint8_t>(eventBase + XFixesSelectionNotify),
        atoms));
}

X11ClipboardKeeper::X11ClipboardKeeper(xcb_connection_t* connection, std::uint32_t root,
                                       std::uint32_t window, std::uint8_t xfixesSelectionNotify,
                                       Atoms atoms)
    : m_connection(connection)
    , m_root(root)
    , m_window(window)
    , m_xfixesSelectionNotify(xfixesSelectionNotify)
    , m_atoms(atoms)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11ClipboardKeeper::~X11ClipboardKeeper()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
    release();
    xcb_destroy_window(m_connection, m_window);
    xcb_flush(m_connection);
}

bool X11ClipboardKeeper::holdsRole() const
{
    return selectionOwner(m_connection, m_atoms.manager) == m_window;
}

bool X11ClipboardKeeper::claim()
{
    if (m_claimed)
        return true;
    if (selectionOwner(m_connection, m_atoms.manager) != XCB_WINDOW_NONE)
        return false;
    xcb_set_selection_owner(m_connection, m_window, m_atoms.manager, XCB_CURRENT_TIME);
    m_claimed = holdsRole();
    if (m_claimed) {
        // Announce the new manager to whoever waits for one.
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = m_root;
        message.type = m_atoms.managerMessage;
        message.data.data32[0] = XCB_CURRENT_TIME;
        message.data.data32[1] = m_atoms.manager;
        message.data.data32[2] = m_window;
        xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(m_connection);
    }
    return m_claimed;
}

void X11ClipboardKeeper::release()
{
    finishSave(false);
    if (!m_claimed)
        return;
    m_claimed = false;
    if (holdsRole())
        xcb_set_selection_owner(m_connection, XCB_WINDOW_NONE, m_atoms.manager, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
}

void X11ClipboardKeeper::finishSave(bool saved)
{
    if (!m_pendingSave)
        return;
    const SaveRequest request = *m_pendingSave;
    m_pendingSave.reset();
    answer(request, m_atoms.saveTargets, saved ? request.property : std::uint32_t{XCB_ATOM_NONE});
}

void X11ClipboardKeeper::contentRecorded()
{
    // The owner's event reached us before its change was read: this is its generation.
    m_recordedGeneration = m_ownerGeneration;
}

void X11ClipboardKeeper::answer(const SaveRequest& request, std::uint32_t target,
                                std::uint32_t property)
{
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = m_atoms.manager;
    notify.target = target;
    notify.property = property;
    xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(m_connection);
}

bool X11ClipboardKeeper::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == m_xfixesSelectionNotify) {
        const auto* fixes = static_cast<const XFixesSelectionEvent*>(message);
        if (fixes->window != m_window || fixes->selection != m_atoms.clipboard)
            return false;
        // A clear is an owner change to None: the owner meant the clipboard to be empty.
        if (fixes->subtype == XFixesSetSelectionOwnerNotify) {
            if (fixes->owner != XCB_WINDOW_NONE)
                ++m_ownerGeneration;
        } else if (m_recordedGeneration == m_ownerGeneration) {
            m_recordedGeneration.reset();
            // Qt's clipboard announces the same end from the event its own window gets in
            // the same batch; ours is reported after that.
            QMetaObject::invokeMethod(
                this, [this] { Q_EMIT recordedOwnerVanished(); }, Qt::QueuedConnection);
        }
        return false; // Qt's clipboard follows these events too
    }
    if (type == XCB_SELECTION_REQUEST) {
        const auto* request = static_cast<const xcb_selection_request_event_t*>(message);
        if (request->owner != m_window || request->selection != m_atoms.manager)
            return false;
        // An old-style requestor names no property: the target stands in for it.
        const std::uint32_t property =
            request->property != XCB_ATOM_NONE ? request->property : request->target;
        const SaveRequest save{request->requestor, property, request->time};
        if (request->target != m_atoms.saveTargets || !m_claimed) {
            answer(save, request->target, XCB_ATOM_NONE);
            return true;
        }
        // One owner quits at a time; an earlier request left waiting is answered first.
        finishSave(false);
        m_pendingSave = save;
        Q_EMIT saveRequested();
        return true;
    }
    if (type == XCB_SELECTION_CLEAR) {
        const auto* clear = static_cast<const xcb_selection_clear_event_t*>(message);
        if (clear->owner != m_window || clear->selection != m_atoms.manager)
            return false;
        // Another manager took over.
        m_claimed = false;
        finishSave(false);
        return true;
    }
    return false;
}

} // namespace nabrix
