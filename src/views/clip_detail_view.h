// SPDX-License-Identifier: GPL-3.0-or-later
// One history entry in full: its content, where and when it came from, copy and paste.
#pragma once

#include "storage/clip_item.h"

#include <QStringList>
#include <QWidget>
#include <optional>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTextBrowser;
class QTextDocument;
class QVBoxLayout;

namespace nabrix {

class AppModel;
class ElidedLabel;
class FittedImageView;

class ClipDetailView : public QWidget {
    Q_OBJECT
public:
    explicit ClipDetailView(AppModel& model, QWidget* parent = nullptr);
    ~ClipDetailView() override;

    void setItem(const ClipItem& item);
    const std::optional<ClipItem>& item() const { return m_item; }

    // The application's name; its identifier when it is not installed; the "unknown" text
    // when the entry has no source.
    QString sourceName(const ClipItem& item) const;
    static QString typeName(ClipType type);

    bool isMasked() const;
    // What the content area shows as text: the text of a text or rich-text entry, or the
    // stored strings of a file entry, one per line.
    QString displayedText() const;
    QStringList fileLines() const { return m_fileLines; }
    QString sourceText() const;
    QString typeText() const;
    QString dateText() const;
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* pasteButton() const { return m_paste; }
    QPushButton* revealButton() const { return m_reveal; }
    FittedImageView* imageView() const { return m_image; }

private:
    QWidget* makeMaskedPage();
    QWidget* makeMetadataLine();
    void loadContent();
    void showText(const ClipItem& item);
    void showImage(const ClipItem& item);
    void showFiles(const ClipItem& item);
    // The text area takes `document` and drops the one it showed.
    void replaceDocument(QTextDocument* document);
    void updateMasking();
    void updateCopyButton();

    AppModel& m_model;
    std::optional<ClipItem> m_item;
    QStackedWidget* m_pages;
    QWidget* m_maskedPage;
    QPushButton* m_reveal;
    QTextBrowser* m_text;
    QWidget* m_imagePage;
    FittedImageView* m_image;
    QWidget* m_filePage;
    QWidget* m_fileList;
    QVBoxLayout* m_fileLayout;
    QStringList m_fileLines;
    ElidedLabel* m_source;
    ElidedLabel* m_type;
    ElidedLabel* m_date;
    QPushButton* m_copy;
    QPushButton* m_paste;
};

} // namespace nabrix
