// SPDX-License-Identifier: GPL-3.0-or-later
// Capture of arbitrary clipboard content: another application offers fuzzer-chosen MIME
// types and bytes, the observer polls, and the model stores what it read. The stored entry
// must be exactly the snapshot, and its payload must read back for display.
#include "capture/clipboard_observer.h"
#include "capture/file_list.h"
#include "capture/privacy_engine.h"
#include "capture/rtf_reader.h"
#include "fuzz_check.h"
#include "model_fixture.h"

#include <QApplication>
#include <QMimeData>
#include <QTextDocument>
#include <array>
#include <memory>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

// Reads the input front to back; past the end every read yields zeros.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool atEnd() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    QByteArray bytes(std::size_t count)
    {
        count = std::min(count, m_size - std::min(m_pos, m_size));
        QByteArray result(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(count));
        m_pos += count;
        return result;
    }
    // A length-prefixed piece: two bytes of length, little-endian.
    QByteArray piece()
    {
        const std::size_t low = byte();
        const std::size_t high = byte();
        return bytes(low | (high << 8));
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// The types capture looks for, some it does not, and one named by the input.
const std::array<QString, 13> knownTypes = {
    PasteboardType::fileUrl,
    PasteboardType::tiff,
    PasteboardType::png,
    PasteboardType::rtf,
    PasteboardType::rtfAlternative,
    PasteboardType::string,
    PasteboardType::passwordManagerHint,
    QStringLiteral("text/html"),
    QStringLiteral("image/bmp"),
    QStringLiteral("image/jpeg"),
    QStringLiteral("image/gif"),
    QStringLiteral("x-special/gnome-copied-files"),
    QStringLiteral("TARGETS"),
};

// The clipboard content as the Qt pasteboard presents MIME data: URLs and text decoded
// by QMimeData, every other type as raw bytes.
FakePasteboard::Content contentOf(const QMimeData& mime)
{
    FakePasteboard::Content content;
    for (const QString& format : mime.formats()) {
        if (format == PasteboardType::fileUrl || format == PasteboardType::string ||
            format == QLatin1String("TARGETS"))
            continue;
        content.data.insert(format, mime.data(format));
    }
    if (mime.hasUrls())
        content.fileUrls = mime.urls();
    if (mime.hasText())
        content.string = mime.text();
    return content;
}

// QUrl's own == can tell apart two spellings of one URL ("#" and "%23" in a fragment);
// what is stored and pasted is the encoded form.
QList<QByteArray> encoded(const QList<QUrl>& urls)
{
    QList<QByteArray> forms;
    for (const QUrl& url : urls)
        forms.append(url.toEncoded());
    return forms;
}

const QString blacklistedApp = QStringLiteral("com.bitwarden.desktop");

std::unique_ptr<ModelFixture> fixture;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The history is written on every capture: keep it in memory where possible.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
    static QApplication app(*argc, *argv);
    fixture = std::make_unique<ModelFixture>();
    // Read at the tick rather than on the worker: each input is one deterministic capture.
    fixture->platform.pasteboard->workerReads = false;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    InputReader input(data, size);
    const std::uint8_t flags = input.byte();
    const bool detect = (flags & 1) != 0;
    const bool copyTwice = (flags & 2) != 0;
    fixture->model.settings().setSensitiveDetectionEnabled(detect);
    switch ((flags >> 2) & 3) {
    case 0:
        fixture->platform.workspace->frontmost.reset();
        break;
    case 1:
        fixture->platform.workspace->frontmost = blacklistedApp;
        break;
    default:
        fixture->platform.workspace->frontmost = QStringLiteral("org.example.Editor");
        break;
    }
    fixture->platform.sensitivityAnalyzer->verdict =
        (flags & 16) != 0 ? SensitivityAnalyzer::Verdict((flags & 32) != 0) : std::nullopt;

    QMimeData mime;
    while (!input.atEnd()) {
        const std::uint8_t choice = input.byte();
        const QString type =
            choice < knownTypes.size() ? knownTypes[choice] : QString::fromUtf8(input.piece());
        mime.setData(type, input.piece());
    }
    const FakePasteboard::Content content = contentOf(mime);

    StorageManager& storage = fixture->model.storage();
    storage.deleteAll();
    FakePasteboard& pasteboard = *fixture->platform.pasteboard;
    pasteboard.setContent(content);
    const auto expected = ClipboardObserver::capture(pasteboard);
    fixture->model.observer().poll();
    if (copyTwice) {
        // The same content copied again is not stored a second time.
        pasteboard.setContent(content);
        fixture->model.observer().poll();
    }

    const auto latest = storage.latestItem();
    const bool blocked =
        expected && (fixture->platform.workspace->frontmost
                         ? *fixture->platform.workspace->frontmost == blacklistedApp
                         : expected->markedSecret);
    if (!expected || blocked) {
        FUZZ_CHECK(!latest);
        return 0;
    }
    FUZZ_CHECK(latest);
    FUZZ_CHECK(storage.allItems().size() == 1);
    FUZZ_CHECK(latest->type == expected->type);
    FUZZ_CHECK(latest->searchString == expected->searchString);
    FUZZ_CHECK(latest->sourceAppBundleID == fixture->platform.workspace->frontmost);
    const auto stored = storage.contentData(latest->id);
    FUZZ_CHECK(stored && *stored == expected->contentData);
    if (detect && (latest->type == ClipType::Text || latest->type == ClipType::Rtf))
        FUZZ_CHECK(latest->isSensitive == PrivacyEngine::isSensitiveText(latest->searchString));
    if (!detect)
        FUZZ_CHECK(!latest->isSensitive);

    switch (latest->type) {
    case ClipType::File: {
        // Every copied file is listed again when the entry is shown or pasted.
        const auto urls = decodeFileList(*stored);
        FUZZ_CHECK(urls && content.fileUrls);
        FUZZ_CHECK(encoded(*urls) == encoded(*content.fileUrls));
        break;
    }
    case ClipType::Rtf:
        // Bytes offered as RTF are kept even when they do not read as RTF; the display
        // then falls back to the search text.
        if (!rtfStyledDocument(*stored))
            FUZZ_CHECK(latest->searchString.isEmpty());
        break;
    case ClipType::Image:
        FUZZ_CHECK(!latest->imageSize || latest->imageSize->isValid());
        break;
    default:
        break;
    }
    // Let the image analyser answer before the next input.
    QCoreApplication::processEvents();
    return 0;
}
