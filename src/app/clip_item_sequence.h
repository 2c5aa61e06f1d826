// SPDX-License-Identifier: GPL-3.0-or-later
// The entries the history shows, in order: a list the model owns, or a view onto the
// history list's rows that builds each entry when asked, so that handing a million rows to
// the model costs nothing.
#pragma once

#include "storage/clip_item.h"

#include <QList>
#include <QPointer>
#include <iterator>

namespace nabrix {

class ClipItemSequence {
public:
    // What a view reads; the provider is a QObject so the sequence notices it going away.
    class Provider {
    public:
        virtual qsizetype itemCount() const = 0;
        virtual ClipItem itemAt(qsizetype index) const = 0;
        virtual QUuid idAt(qsizetype index) const = 0;

    protected:
        ~Provider() = default;
    };

    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = ClipItem;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = ClipItem;

        const_iterator(const ClipItemSequence* sequence, qsizetype index)
            : m_sequence(sequence)
            , m_index(index)
        {
        }
        ClipItem operator*() const { return m_sequence->at(m_index); }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b)
        {
            return a.m_index == b.m_index;
        }

    private:
        const ClipItemSequence* m_sequence;
        qsizetype m_index;
    };

    ClipItemSequence() = default;
    // NOLINTNEXTLINE(google-explicit-constructor): a list is a sequence.
    ClipItemSequence(QList<ClipItem> items)
        : m_items(std::move(items))
    {
    }
    // Reads `provider`'s current rows for as long as `owner` (the provider itself) lives.
    static ClipItemSequence viewOf(const Provider& provider, const QObject& owner);

    bool isView() const { return m_provider != nullptr; }
    qsizetype size() const;
    bool isEmpty() const { return size() == 0; }
    ClipItem at(qsizetype index) const;
    QUuid idAt(qsizetype index) const;
    ClipItem first() const { return at(0); }
    QList<ClipItem> toList() const;

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    QList<ClipItem> m_items;
    const Provider* m_provider = nullptr;
    QPointer<const QObject> m_owner;
};

} // namespace nabrix
