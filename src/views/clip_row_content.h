// SPDX-License-Identifier: GPL-3.0-or-later
// What one history row shows, worked out from its entry and the model's state.
#pragma once

#include "storage/clip_item.h"

#include <QDateTime>
#include <QIcon>
#include <QList>
#include <QString>
#include <optional>

namespace nabrix {

class AppModel;

struct ClipRowContent {
    enum class Button { Copy, Detail, Reveal, Delete };
    enum class Media {
        None,
        // The image itself, scaled to fit.
        Thumbnail,
        // The placeholder of a masked image.
        MaskedImage,
    };

    bool masked = false;
    bool checkbox = false;
    bool checked = false;
    bool selected = false;
    bool hovering = false;
    bool flashing = false;
    // The application's icon; otherwise the symbol `iconSymbol`.
    std::optional<QIcon> applicationIcon;
    QString iconSymbol;
    // The plain text lines shown (at most two; masked: the bullets). Rich text is drawn
    // styled once its preview is built, over the same space.
    QString text;
    bool styled = false;
    Media media = Media::None;
    // The file count line of a file entry.
    std::optional<QString> fileCount;
    QString age;
    QList<Button> buttons;
};

// What decides a row's trailing buttons besides its entry.
struct RowButtonState {
    bool selecting = false;
    bool hovering = false;
    bool revealed = false;
};

// Where a row is in the list: its own row and the one under the pointer.
struct RowPlace {
    int row = 0;
    std::optional<int> hoveredRow;
};

class ClipRowContentBuilder {
public:
    // The model outlives the builder.
    explicit ClipRowContentBuilder(const AppModel& model);

    // Reads only metadata and caches: a row is built while it paints.
    ClipRowContent build(const ClipItem& item, RowPlace place, const QDateTime& now) const;
    static QList<ClipRowContent::Button> buttons(const ClipItem& item, RowButtonState state);
    static QString maskText();

private:
    QString fileCountText(const QUuid& id) const;

    const AppModel& m_model;
};

} // namespace nabrix
