// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the history view with sample entries in one state and saves it as a PNG:
// screenshot_history --state NAME --output PATH. Run it on an X server (scripts/screenshot).
#include "app/app_model.h"
#include "capture/file_list.h"
#include "history/history_list_model.h"
#include "platform/platform_services.h"
#include "screenshot_session.h"
#include "storage/app_settings.h"
#include "views/clip_row_view.h"
#include "views/custom_range_sheet.h"
#include "views/history_footer.h"
#include "views/history_view.h"
#include "views/overlay_layer.h"
#include "views/symbol_button.h"
#include "views/time_range_menu.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

using namespace nabrix;

namespace {

const QStringList states{QStringLiteral("mixed"),         QStringLiteral("masked"),
                         QStringLiteral("detail"),        QStringLiteral("detail-rtf"),
                         QStringLiteral("detail-masked"), QStringLiteral("selection"),
                         QStringLiteral("confirmation"),  QStringLiteral("custom-age"),
                         QStringLiteral("empty"),         QStringLiteral("no-match")};

QByteArray samplePng(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    sky.setColorAt(1, QColor(0xf4, 0xa2, 0x61));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0xff, 0xe0, 0x8a));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(size.width() * 0.72, size.height() * 0.35), size.height() * 0.12,
                        size.height() * 0.12);
    QPolygonF hills;
    hills << QPointF(0, size.height()) << QPointF(0, size.height() * 0.7)
          << QPointF(size.width() * 0.3, size.height() * 0.5)
          << QPointF(size.width() * 0.55, size.height() * 0.72)
          << QPointF(size.width() * 0.8, size.height() * 0.58)
          << QPointF(size.width(), size.height() * 0.75) << QPointF(size.width(), size.height());
    painter.setBrush(QColor(0x26, 0x4d, 0x3b));
    painter.drawPolygon(hills);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray sampleRtf()
{
    return QByteArrayLiteral(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Helvetica;}}{\\colortbl;\\red0\\green0\\blue0;"
        "\\red230\\green90\\blue70;\\red80\\green160\\blue255;}"
        "\\f0\\fs24\\cf1 {\\b Release checklist} \\endash  {\\i tag} the build, "
        "{\\cf2 update the changelog}, announce on the {\\ul\\cf3 project page}.\\par "
        "Second paragraph with more detail about the release.\\par }");
}

enum class Masking { Plain, Sensitive };

struct Sample {
    ClipItem item;
    QByteArray bytes;
};

QList<Sample> samples(const QDateTime& now)
{
    QList<Sample> list;
    auto add = [&](int secondsAgo, ClipType type, const QString& text, QByteArray bytes,
                   std::optional<QString> source = std::nullopt, Masking masking = Masking::Plain,
                   std::optional<QSize> imageSize = std::nullopt) {
        ClipItem item;
        item.id = QUuid::createUuid();
        item.timestamp = now.addSecs(-secondsAgo);
        item.type = type;
        item.searchString = text;
        item.sourceAppBundleID = std::move(source);
        item.isSensitive = masking == Masking::Sensitive;
        item.imageSize = imageSize;
        list.append({item, std::move(bytes)});
    };
    // Oldest first: each insert becomes the newest row.
    const QList<QUrl> files{
        QUrl::fromLocalFile(QStringLiteral("/home/ana/Documents/Quarterly report.pdf")),
        QUrl::fromLocalFile(QStringLiteral("/home/ana/Pictures/team-offsite-2026.jpg")),
        QUrl::fromLocalFile(QStringLiteral("/home/ana/Downloads/nabrix-0.1.0.tar.gz"))};
    add(9 * 86400, ClipType::Text,
        QStringLiteral("https://wiki.example.org/engineering/onboarding"),
        "https://wiki.example.org/engineering/onboarding", QStringLiteral("debian-xterm"));
    add(2 * 86400, ClipType::File, fileListSearchString(files), encodeFileList(files));
    add(3 * 3600 + 120, ClipType::Text, QStringLiteral("4111 1111 1111 1111"),
        "4111 1111 1111 1111", std::nullopt, Masking::Sensitive);
    add(2 * 3600, ClipType::Image, QString(), samplePng(QSize(1600, 900)), std::nullopt,
        Masking::Plain, QSize(1600, 900));
    add(47 * 60, ClipType::Rtf,
        QStringLiteral("Release checklist – tag the build, update the changelog, announce on the "
                       "project page.\nSecond paragraph with more detail about the release.\n"),
        sampleRtf(), QStringLiteral("org.keepassxc.KeePassXC"));
    add(6 * 60, ClipType::Text,
        QStringLiteral("for (const auto& item : items)\n    std::cout << item.name << '\\n';\n"),
        "for (const auto& item : items)\n    std::cout << item.name << '\\n';\n",
        QStringLiteral("vim"));
    add(25, ClipType::Text,
        QStringLiteral("Meeting moved to Thursday 10:30 in room B — bring the prototype and the "
                       "test results from last week."),
        "Meeting moved to Thursday 10:30 in room B — bring the prototype and the test results "
        "from last week.");
    return list;
}

void wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Lets queued work (thumbnails, RTF previews, layouts) finish: the model and the views
// read and decode on pools of their own, so the picture is taken once two renders a
// moment apart agree.
QPixmap settledPicture(QWidget& view, qreal scale)
{
    auto render = [&] {
        QPixmap picture(view.size() * scale);
        picture.setDevicePixelRatio(scale);
        picture.fill(Qt::transparent);
        view.render(&picture);
        return picture.toImage();
    };
    QImage previous;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        wait(300);
        QImage current = render();
        if (current == previous || timer.elapsed() > 20'000)
            return QPixmap::fromImage(current);
        previous = std::move(current);
    }
}

void hoverRow(QListView* list, int row)
{
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    const QPointF position(rect.center().x() - 60, rect.center().y());
    QMouseEvent move(QEvent::MouseMove, position, list->viewport()->mapToGlobal(position),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    bench::ScreenshotSession session(
        app, {QStringLiteral("screenshot_history"),
              QStringLiteral("Saves a picture of the history view."), states,
              QStringLiteral("Device pixel ratio of the picture (default 1).")});
    if (session.failed())
        return *session.failed();
    const QString& state = session.state();
    const qreal scale = session.scale();
    PlatformServices services = createPlatformServices();
    AppModel model(session.takeStorage(), std::make_unique<AppSettings>(session.settingsPath()),
                   services);
    // A fixed clock, so that ages and dates read the same in every picture.
    const QDateTime now(QDate(2026, 6, 15), QTime(10, 30), Qt::UTC);
    QList<Sample> entries;
    if (state != QLatin1String("empty")) {
        entries = samples(now);
        for (const Sample& sample : std::as_const(entries))
            model.storage().insert(sample.item, sample.bytes);
    }
    auto find = [&](ClipType type, Masking masking = Masking::Plain) {
        for (const Sample& sample : std::as_const(entries)) {
            if (sample.item.type == type &&
                sample.item.isSensitive == (masking == Masking::Sensitive))
                return sample.item;
        }
        return ClipItem();
    };

    HistoryListModel& list = model.history();
    HistoryView view(model, list);
    view.setClock([now] { return QDateTime(now); });
    view.setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    // The picture shows the whole window, whatever height the screen would leave it.
    view.setFixedSize(view.sizeHint());
    view.show();
    wait(400);

    if (state == QLatin1String("mixed")) {
        model.setSelectedIndex(0);
        hoverRow(view.listView(), 1);
    } else if (state == QLatin1String("masked")) {
        model.setSelectedIndex(0);
        hoverRow(view.listView(), 4);
    } else if (state == QLatin1String("detail")) {
        model.setDetailItem(find(ClipType::File));
    } else if (state == QLatin1String("detail-rtf")) {
        model.setDetailItem(find(ClipType::Rtf));
    } else if (state == QLatin1String("detail-masked")) {
        model.setDetailItem(find(ClipType::Text, Masking::Sensitive));
    } else if (state == QLatin1String("selection")) {
        model.toggleSelectionMode();
        model.toggleChecked(model.visibleItems().at(1));
        model.toggleChecked(model.visibleItems().at(3));
    } else if (state == QLatin1String("confirmation")) {
        view.footer()->clearAllButton()->click();
    } else if (state == QLatin1String("custom-age")) {
        Q_EMIT view.footer()->timeRangeMenu()->customRangeRequested();
        if (auto* sheet = qobject_cast<CustomRangeSheet*>(view.overlays()->card()))
            sheet->setAmount(QStringLiteral("1,5"));
    } else if (state == QLatin1String("no-match")) {
        model.setSearchText(QStringLiteral("zebra"));
    }
    return session.save(settledPicture(view, scale));
}
