// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet that asks for a custom age: an amount and a unit.
#pragma once

#include "views/overlay_card.h"

#include <QString>
#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace nabrix {

class CustomRangeSheet : public OverlayCard {
    Q_OBJECT
public:
    enum class Unit { Hours, Days, Weeks, Months };
    static constexpr std::array allUnits{Unit::Hours, Unit::Days, Unit::Weeks, Unit::Months};

    struct Request {
        double seconds = 0;
        QString message;
    };

    static double unitSeconds(Unit unit);
    // The unit's name in the picker (its plural).
    static QString unitTitle(Unit unit);
    // The unit's word for `amount`: singular for exactly 1, plural otherwise.
    static QString unitWord(Unit unit, double amount);
    // The amount typed, read strictly as a C-locale decimal number that fills the whole
    // text; a decimal comma is accepted. Valid only when greater than zero.
    static std::optional<double> parseAmount(const QString& amount);
    // What confirming `amount` of `unit` asks for; none when the amount is invalid.
    static std::optional<Request> request(const QString& amount, Unit unit);

    explicit CustomRangeSheet(QWidget* parent = nullptr);

    QString amount() const;
    void setAmount(const QString& amount);
    Unit unit() const;
    void setUnit(Unit unit);
    bool canAccept() const override;

    QLineEdit* amountField() const { return m_amount; }
    QComboBox* unitPicker() const { return m_unit; }
    QPushButton* confirmButton() const { return m_confirm; }
    QPushButton* cancelButton() const { return m_cancel; }

    QWidget* initialFocusWidget() override;
    // Confirms a valid amount; the sheet closes either way.
    void accept() override;

Q_SIGNALS:
    void confirmed(double seconds, const QString& message);

private:
    void updateConfirmButton();

    QLabel* m_title;
    QLineEdit* m_amount;
    QComboBox* m_unit;
    QPushButton* m_cancel;
    QPushButton* m_confirm;
};

} // namespace nabrix
