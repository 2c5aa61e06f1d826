// SPDX-License-Identifier: GPL-3.0-or-later
// A CLIPBOARD owner that misbehaves on purpose, for the capture tests and the soak benchmark.
//   hostile_owner --mode MODE [--size BYTES] [--chunk BYTES] [--interval MS]
//                 [--vanish-after BYTES] [--width PX] [--height PX] [--format png|tiff]
// Modes:
//   silent       owns the selection and never answers a request, not even TARGETS
//   silent-data  lists its targets but never answers a request for the data
//   slow         a text of --size bytes, one INCR chunk of --chunk bytes every --interval ms
//   vanish       starts an INCR transfer and exits once --vanish-after bytes are sent
//   huge-text    a text of --size bytes (500 MB by default) as fast as the reader takes it
//   big-image    a --width x --height image (10000 x 10000) as image/png or image/tiff
//   script       reads "HOLD_MS TEXT" lines from standard input and offers each text in
//                turn for HOLD_MS milliseconds (the soak benchmark's copies)
// Prints "ready" once it owns the selection, "served TARGET BYTES" after each complete
// transfer, "offered N EPOCH_MS" for each script line; exits when another client takes the
// selection (except in script mode).
#include "flat_png.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <poll.h>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

enum class Mode { Silent, SilentData, Slow, Vanish, HugeText, BigImage, Script };

struct Options {
    Mode mode = Mode::Slow;
    std::string modeName = "slow";
    qint64 size = 0;
    qint64 chunk = qint64(256) * 1024;
    int intervalMs = 0;
    qint64 vanishAfter = qint64(1024) * 1024;
    int width = 10000;
    int height = 10000;
    QByteArray imageFormat = "png";
};

void say(const std::string& line)
{
    std::fputs((line + '\n').c_str(), stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(stderr, "hostile_owner: %s\n", message.c_str());
    std::exit(2);
}

Options parseOptions(int argc, char** argv)
{
    static const std::map<std::string, Mode> modes{
        {"silent", Mode::Silent}, {"silent-data", Mode::SilentData}, {"slow", Mode::Slow},
        {"vanish", Mode::Vanish}, {"huge-text", Mode::HugeText},     {"big-image", Mode::BigImage},
        {"script", Mode::Script}};
    std::map<std::string, std::string> given;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc)
            fail(std::string("missing value after ") + argv[i]);
        given[argv[i]] = argv[i + 1];
    }
    const auto take = [&given](const std::string& name, qint64 fallback) {
        const auto found = given.extract(name);
        return found ? std::stoll(found.mapped()) : fallback;
    };
    Options options;
    options.modeName = given.contains("--mode") ? given.extract("--mode").mapped() : "slow";
    if (!modes.contains(options.modeName))
        fail("unknown mode " + options.modeName);
    options.mode = modes.at(options.modeName);
    options.size =
        take("--size", options.mode == Mode::HugeText ? 500LL * 1000 * 1000 : 8LL * 1024 * 1024);
    options.chunk = std::max<qint64>(1, take("--chunk", options.chunk));
    options.intervalMs = int(take("--interval", 0));
    options.vanishAfter = take("--vanish-after", options.vanishAfter);
    options.width = int(take("--width", options.width));
    options.height = int(take("--height", options.height));
    if (given.contains("--format"))
        options.imageFormat = QByteArray::fromStdString(given.extract("--format").mapped());
    if (!given.empty())
        fail("unknown option " + given.begin()->first);
    return options;
}

// The bytes on offer: `head`, then a repeated line up to `size` bytes, so that long texts are
// made on the fly and the owner stays small.
struct Payload {
    QByteArray head;
    qint64 size = 0;

    void read(qint64 offset, qint64 length, char* out) const
    {
        static const char pattern[] = "the quick brown fox jumps over the lazy dog 0123456789\n";
        constexpr qint64 patternSize = sizeof pattern - 1;
        for (qint64 i = 0; i < length; ++i) {
            const qint64 at = offset + i;
            out[i] = at < head.size() ? head[at] : pattern[(at - head.size()) % patternSize];
        }
    }
};

QByteArray encodedImage(int width, int height, const QByteArray& format)
{
    // Qt's PNG encoder takes half a minute for 100 megapixels.
    if (format == "png")
        return nabrix::testing::FlatPng::make(QSize(width, height),
                                              nabrix::testing::FlatPng::Layout::Colour);
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        fail("cannot allocate the image");
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        fail("cannot encode the image: " + writer.errorString().toStdString());
    return bytes;
}

class Owner {
public:
    explicit Owner(Options options)
        : m_options(std::move(options))
    {
        int screenNumber = 0;
        m_connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_connection))
            fail("cannot open the display");
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < screenNumber; ++i)
            xcb_screen_next(&screens);
        m_window = xcb_generate_id(m_connection);
        const uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screens.data->root, 0, 0, 1,
                          1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                          XCB_CW_EVENT_MASK, mask);
        m_clipboard = atom("CLIPBOARD");
        m_targets = atom("TARGETS");
        m_incr = atom("INCR");
        m_atomType = atom("ATOM");
        // Writes stay well under the server's request limit.
        const qint64 maxRequest = qint64(xcb_get_maximum_request_length(m_connection)) * 4;
        m_chunk = std::min(m_options.chunk, maxRequest - 1024);
        m_directLimit = std::min<qint64>(qint64(256) * 1024, maxRequest - 1024);
    }
    ~Owner() { xcb_disconnect(m_connection); }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    void offer(Payload payload, const QList<QByteArray>& targetNames)
    {
        m_payload = std::move(payload);
        m_dataTargets.clear();
        for (const QByteArray& name : targetNames)
            m_dataTargets.push_back(atom(name));
        xcb_set_selection_owner(m_connection, m_window, m_clipboard, XCB_CURRENT_TIME);
        auto reply = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, m_clipboard), nullptr);
        const bool owns = reply != nullptr && reply->owner == m_window;
        std::free(reply);
        if (!owns)
            fail("could not take the CLIPBOARD selection");
    }

    // Serves requests until `until` (forever when none) or until the selection is lost.
    void serve(std::optional<Clock::time_point> until)
    {
        m_lost = false;
        while (!m_lost || m_options.mode == Mode::Script) {
            const auto now = Clock::now();
            if (until && now >= *until)
                return;
            writeDueChunks(now);
            int timeout = -1;
            for (const auto& [key, transfer] : m_transfers) {
                if (transfer.writeAt) {
                    timeout = clampedMs(*transfer.writeAt - now, timeout);
                }
            }
            if (until)
                timeout = clampedMs(*until - now, timeout);
            xcb_flush(m_connection);
            pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&descriptor, 1, timeout);
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                handle(event);
                std::free(event);
            }
            if (xcb_connection_has_error(m_connection))
                fail("the X connection broke");
        }
        say("lost");
    }

private:
    struct Transfer {
        xcb_window_t requestor = 0;
        xcb_atom_t property = 0;
        xcb_atom_t type = 0;
        qint64 offset = 0;
        bool finished = false; // the empty closing chunk is written
        std::optional<Clock::time_point> writeAt;
    };

    static int clampedMs(Clock::duration left, int current)
    {
        const auto ms = std::max<qint64>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(left).count() + 1);
        return current < 0 ? int(ms) : std::min<int>(current, int(ms));
    }

    xcb_atom_t atom(const QByteArray& name) const
    {
        auto reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(name.size()), name.constData()),
            nullptr);
        if (reply == nullptr)
            fail("cannot intern " + name.toStdString());
        const xcb_atom_t value = reply->atom;
        std::free(reply);
        return value;
    }

    void handle(xcb_generic_event_t* event)
    {
        switch (event->response_type & 0x7f) {
        case XCB_SELECTION_REQUEST:
            request(*reinterpret_cast<xcb_selection_request_event_t*>(event));
            break;
        case XCB_SELECTION_CLEAR:
            m_lost = true;
            break;
        case XCB_PROPERTY_NOTIFY:
            propertyChanged(*reinterpret_cast<xcb_property_notify_event_t*>(event));
            break;
        default:
            break;
        }
    }

    void notify(const xcb_selection_request_event_t& request, xcb_atom_t property)
    {
        xcb_selection_notify_event_t reply{};
        reply.response_type = XCB_SELECTION_NOTIFY;
        reply.time = request.time;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.property = property;
        xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&reply));
    }

    void request(const xcb_selection_request_event_t& request)
    {
        const Mode mode = m_options.mode;
        const bool isTargets = request.target == m_targets;
        if (mode == Mode::Silent || (mode == Mode::SilentData && !isTargets)) {
            say("unanswered");
            return;
        }
        const xcb_atom_t property =
            request.property == XCB_NONE ? request.target : request.property;
        if (isTargets) {
            std::vector<xcb_atom_t> list{m_targets};
            list.insert(list.end(), m_dataTargets.begin(), m_dataTargets.end());
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                m_atomType, 32, uint32_t(list.size()), list.data());
            notify(request, property);
            return;
        }
        if (std::find(m_dataTargets.begin(), m_dataTargets.end(), request.target) ==
            m_dataTargets.end()) {
            notify(request, XCB_NONE);
            return;
        }
        const qint64 size = m_payload.size;
        if (size <= m_directLimit && mode != Mode::Slow && mode != Mode::Vanish) {
            QByteArray bytes(size, Qt::Uninitialized);
            m_payload.read(0, size, bytes.data());
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                request.target, 8, uint32_t(size), bytes.constData());
            notify(request, property);
            say("served " + std::to_string(request.target) + ' ' + std::to_string(size));
            return;
        }
        // INCR: announce the size, then one chunk each time the reader deletes the property.
        const uint32_t events[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_change_window_attributes(m_connection, request.requestor, XCB_CW_EVENT_MASK, events);
        const uint32_t announced = uint32_t(std::min<qint64>(size, 0x7fffffff));
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request.requestor, property,
                            m_incr, 32, 1, &announced);
        notify(request, property);
        Transfer transfer;
        transfer.requestor = request.requestor;
        transfer.property = property;
        transfer.type = request.target;
        m_transfers[{request.requestor, property}] = transfer;
    }

    void propertyChanged(const xcb_property_notify_event_t& event)
    {
        if (event.state != XCB_PROPERTY_DELETE)
            return;
        const auto found = m_transfers.find({event.window, event.atom});
        if (found == m_transfers.end())
            return;
        Transfer& transfer = found->second;
        if (transfer.finished) {
            say("served " + std::to_string(transfer.type) + ' ' + std::to_string(transfer.offset));
            m_transfers.erase(found);
            return;
        }
        if (m_options.mode == Mode::Vanish && transfer.offset >= m_options.vanishAfter) {
            say("vanished " + std::to_string(transfer.offset));
            std::_Exit(0);
        }
        transfer.writeAt = Clock::now() + std::chrono::milliseconds(
                                              transfer.offset == 0 ? 0 : m_options.intervalMs);
    }

    void writeDueChunks(Clock::time_point now)
    {
        for (auto& [key, transfer] : m_transfers) {
            if (!transfer.writeAt || *transfer.writeAt > now)
                continue;
            transfer.writeAt.reset();
            const qint64 length = std::min(m_chunk, m_payload.size - transfer.offset);
            QByteArray bytes(length, Qt::Uninitialized);
            m_payload.read(transfer.offset, length, bytes.data());
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, transfer.requestor,
                                transfer.property, transfer.type, 8, uint32_t(length),
                                bytes.constData());
            transfer.offset += length;
            transfer.finished = length == 0;
        }
    }

    Options m_options;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = 0;
    xcb_atom_t m_clipboard = 0;
    xcb_atom_t m_targets = 0;
    xcb_atom_t m_incr = 0;
    xcb_atom_t m_atomType = 0;
    qint64 m_chunk = 0;
    qint64 m_directLimit = 0;
    bool m_lost = false;
    Payload m_payload;
    std::vector<xcb_atom_t> m_dataTargets;
    std::map<std::pair<xcb_window_t, xcb_atom_t>, Transfer> m_transfers;
};

const QList<QByteArray> textTargets{"UTF8_STRING", "text/plain;charset=utf-8", "text/plain",
                                    "STRING", "TEXT"};

int runScript(Owner& owner)
{
    struct Step {
        int holdMs;
        QByteArray text;
    };
    std::vector<Step> steps;
    std::string line;
    while (std::getline(std::cin, line)) {
        const auto blank = line.find(' ');
        if (blank == std::string::npos)
            continue;
        steps.push_back(
            {std::stoi(line.substr(0, blank)), QByteArray::fromStdString(line.substr(blank + 1))});
    }
    say("ready");
    for (size_t i = 0; i < steps.size(); ++i) {
        owner.offer({steps[i].text, steps[i].text.size()}, textTargets);
        say("offered " + std::to_string(i) + ' ' +
            std::to_string(QDateTime::currentMSecsSinceEpoch()));
        owner.serve(Clock::now() + std::chrono::milliseconds(steps[i].holdMs));
    }
    say("done");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Qt only encodes the image (its plugins need an application object); the X11 work is xcb.
    QCoreApplication application(argc, argv);
    const Options options = parseOptions(argc, argv);
    Owner owner(options);
    if (options.mode == Mode::Script)
        return runScript(owner);

    Payload payload;
    QList<QByteArray> targets = textTargets;
    if (options.mode == Mode::BigImage) {
        payload.head = encodedImage(options.width, options.height, options.imageFormat);
        payload.size = payload.head.size();
        targets = {"image/" + options.imageFormat};
    } else {
        payload.head = QByteArray::fromStdString("hostile " + options.modeName + " text of " +
                                                 std::to_string(options.size) + " bytes\n");
        payload.size = std::max<qint64>(options.size, payload.head.size());
    }
    owner.offer(payload, targets);
    say("ready " + std::to_string(payload.size));
    owner.serve(std::nullopt);
    return 0;
}
