// SPDX-License-Identifier: GPL-3.0-or-later
// The settings form's editor of the applications whose copies are never recorded.
#include "views/blacklist_editor.h"

#include "app/app_model.h"
#include "i18n/text_catalogue.h"
#include "views/symbol_button.h"
#include "views/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace nabrix {

namespace {

// An identifier on one line, shortened in the middle when the row is too narrow: both
// the vendor prefix and the application name stay readable.
class IdentifierLabel final : public QWidget {
public:
    IdentifierLabel(const QString& text, QWidget* parent)
        : QWidget(parent)
        , m_text(text)
    {
        setFont(Theme::monospaceFont(11));
        setToolTip(text);
        setAccessibleName(text);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override
    {
        return {fontMetrics().horizontalAdvance(m_text), fontMetrics().height()};
    }
    QSize minimumSizeHint() const override { return {40, fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(m_text, Qt::ElideMiddle, width()));
    }

private:
    QString m_text;
};

void useSecondaryText(QWidget& widget)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, Theme::secondaryText());
    widget.setPalette(palette);
}

// The add button's rule looks at blanks and tabs only, while adding trims every kind of
// white space: a field holding just a line break enables the button and adds nothing.
bool hasTextBesidesBlanks(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c != QLatin1Char(' ') && c != QLatin1Char('\t'); });
}

} // namespace

BlacklistEditor::BlacklistEditor(AppModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_rows(new QWidget(this))
    , m_rowsLayout(new QVBoxLayout(m_rows))
    //% "No applications are ignored."
    , m_emptyText(new QLabel(catalogue::text("settings.blacklist.empty"), this))
    , m_field(new QLineEdit(this))
    //% "Add"
    , m_addButton(new QPushButton(catalogue::text("settings.blacklist.addButton"), this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(8);

    //% "Ignored applications"
    auto* title = new QLabel(catalogue::text("settings.blacklist"), this);
    title->setFont(Theme::font(11, QFont::Medium));
    useSecondaryText(*title);
    layout->addWidget(title);

    m_emptyText->setObjectName(QStringLiteral("blacklistEmptyText"));
    m_emptyText->setFont(Theme::font(11));
    useSecondaryText(*m_emptyText);
    layout->addWidget(m_emptyText);

    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setSpacing(2);
    layout->addWidget(m_rows);

    auto* addRow = new QHBoxLayout;
    addRow->setSpacing(6);
    m_field->setObjectName(QStringLiteral("blacklistField"));
    //% "Application ID, e.g. org.keepassxc.KeePassXC"
    m_field->setPlaceholderText(catalogue::text("settings.blacklist.add"));
    m_field->setFont(Theme::monospaceFont(11));
    m_field->setClearButtonEnabled(false);
    m_addButton->setObjectName(QStringLiteral("blacklistAddButton"));
    m_addButton->setFont(Theme::font(12));
    addRow->addWidget(m_field, 1, Qt::AlignVCenter);
    addRow->addWidget(m_addButton, 0, Qt::AlignVCenter);
    layout->addLayout(addRow);

    //% "Restore defaults"
    auto* defaults = new QPushButton(catalogue::text("settings.blacklist.defaults"), this);
    defaults->setObjectName(QStringLiteral("blacklistDefaultsButton"));
    defaults->setFont(Theme::font(11));
    defaults->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    layout->addWidget(defaults, 0, Qt::AlignLeft);

    connect(m_field, &QLineEdit::textChanged, this, &BlacklistEditor::updateAddButton);
    connect(m_field, &QLineEdit::returnPressed, this, &BlacklistEditor::addEntry);
    connect(m_addButton, &QPushButton::clicked, this, &BlacklistEditor::addEntry);
    connect(defaults, &QPushButton::clicked, this, &BlacklistEditor::restoreDefaults);
    connect(&m_model, &AppModel::ignoredApplicationsChanged, this, &BlacklistEditor::rebuildRows);
    rebuildRows();
    updateAddButton();
}

void BlacklistEditor::addEntry()
{
    const QString candidate = m_field->text().trimmed();
    if (candidate.isEmpty())
        return;
    QStringList ids = m_model.ignoredApplications();
    if (!ids.contains(candidate, Qt::CaseSensitive)) {
        ids.append(candidate);
        m_model.setIgnoredApplications(ids);
    }
    m_field->clear();
}

void BlacklistEditor::removeEntry(const QString& id)
{
    QStringList ids = m_model.ignoredApplications();
    ids.removeAll(id);
    m_model.setIgnoredApplications(ids);
}

void BlacklistEditor::restoreDefaults()
{
    m_model.setIgnoredApplications(AppModel::defaultIgnoredApplications());
}

void BlacklistEditor::rebuildRows()
{
    // A row's remove button may be the one whose click is being handled: rows leave the
    // editor at once but are deleted only once the click is over.
    while (QLayoutItem* item = m_rowsLayout->takeAt(0)) {
        if (QWidget* row = item->widget()) {
            row->hide();
            row->setParent(nullptr);
            row->deleteLater();
        }
        delete item;
    }
    const QStringList ids = m_model.ignoredApplications();
    for (const QString& id : ids) {
        auto* row = new QWidget(m_rows);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(6);
        layout->addWidget(new IdentifierLabel(id, row), 1);
        auto* remove = new SymbolButton(QStringLiteral("xmark.circle.fill"), id, 18, 11, row);
        remove->setObjectName(QStringLiteral("blacklistRemoveButton"));
        remove->setProperty("bundleID", id);
        connect(remove, &SymbolButton::clicked, this, [this, id] { removeEntry(id); });
        layout->addWidget(remove);
        m_rowsLayout->addWidget(row);
    }
    m_rows->setVisible(!ids.isEmpty());
    m_emptyText->setVisible(ids.isEmpty());
}

void BlacklistEditor::updateAddButton()
{
    m_addButton->setEnabled(hasTextBesidesBlanks(m_field->text()));
}

} // namespace nabrix
