#pragma once

// A settings dialog as its user meets it: each control found by the label
// beside it (the n-th row where several rows carry one label), filled from
// the settings record and written back to it. A test gives every row a value
// of its own, so that a control bound to a neighbour's setting, or the second
// of two rows of one label bound to the first one's, shows.

#include "tests/support/settingkeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMetaType>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <cmath>
#include <functional>

struct DialogRow
{
    QString label;
    int nth;              // 0 for the first row of `label`, 1 for the second
    SettingField field;
    double stored;        // in the record when the dialog is built
    double shown;         // what the control then shows (a switch: 1 or 0)
    double entered;       // what the user sets it to
    double landed;        // what the record holds after the dialog's button
};

Q_DECLARE_METATYPE(QVector<DialogRow>)

// The common row: the control shows what is stored and stores what is entered.
inline DialogRow plainRow(const QString& label, SettingField field, double stored, double entered, int nth = 0)
{
    return {label, nth, field, stored, stored, entered, entered};
}

namespace dialogrows {

inline void collect(QWidget* widget, QWidget* beside, const QString& label, QSet<QWidget*>* seen, QList<QWidget*>* found)
{
    if (!widget || seen->contains(widget))
        return;
    seen->insert(widget);
    auto* text = qobject_cast<QLabel*>(widget);
    auto* box = qobject_cast<QCheckBox*>(widget);
    if (text && text->text() == label && beside)
        found->append(beside);
    else if (box && box->text() == label)
        found->append(box);
}

inline QWidget* widgetAt(QGridLayout* grid, int row, int column)
{
    QLayoutItem* item = grid->itemAtPosition(row, column);
    return item ? item->widget() : nullptr;
}

} // namespace dialogrows

// The control beside the n-th label reading `label` (or the n-th check box
// carrying it as its own text), in the order of the rows; null when none.
inline QWidget* controlBeside(const QWidget* dialog, const QString& label, int nth = 0)
{
    QSet<QWidget*> seen;
    QList<QWidget*> found;
    for (QGridLayout* grid : dialog->findChildren<QGridLayout*>()) {
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int column = 0; column < grid->columnCount(); ++column) {
                dialogrows::collect(dialogrows::widgetAt(grid, row, column),
                                    dialogrows::widgetAt(grid, row, column + 1), label, &seen, &found);
            }
        }
    }
    for (QFormLayout* form : dialog->findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* labelItem = form->itemAt(row, QFormLayout::LabelRole);
            QLayoutItem* fieldItem = form->itemAt(row, QFormLayout::FieldRole);
            QWidget* field = fieldItem ? fieldItem->widget() : nullptr;
            dialogrows::collect(labelItem ? labelItem->widget() : nullptr, field, label, &seen, &found);
            dialogrows::collect(field, nullptr, label, &seen, &found);
        }
    }
    return found.value(nth);
}

// What a control shows as a number: a switch 1 or 0, a list its index; NaN
// for a widget that is no setting's control.
inline double controlValue(const QWidget* control)
{
    if (auto* spin = qobject_cast<const QSpinBox*>(control))
        return spin->value();
    if (auto* spin = qobject_cast<const QDoubleSpinBox*>(control))
        return spin->value();
    if (auto* box = qobject_cast<const QCheckBox*>(control))
        return box->isChecked() ? 1 : 0;
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentIndex();
    return std::nan("");
}

inline void setControlValue(QWidget* control, double value)
{
    if (auto* spin = qobject_cast<QSpinBox*>(control))
        spin->setValue(int(value));
    else if (auto* spin = qobject_cast<QDoubleSpinBox*>(control))
        spin->setValue(value);
    else if (auto* box = qobject_cast<QCheckBox*>(control))
        box->setChecked(value != 0);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setCurrentIndex(int(value));
}

inline bool sameSetting(double a, double b)
{
    return std::fabs(a - b) < 1e-4;
}

inline QString rowName(const DialogRow& row)
{
    return QStringLiteral("%1#%2 (%3)").arg(row.label).arg(row.nth).arg(keyOf(row.field));
}

// The rows' stored values, each in its own field.
inline void putInRecord(AppConfig& config, const QVector<DialogRow>& rows)
{
    for (const DialogRow& row : rows)
        setFieldValue(config, row.field, row.stored);
}

// The rows whose control is missing or does not show `shown`.
inline QStringList shownMismatches(const QWidget* dialog, const QVector<DialogRow>& rows)
{
    QStringList wrong;
    for (const DialogRow& row : rows) {
        const double value = controlValue(controlBeside(dialog, row.label, row.nth));
        if (!sameSetting(value, row.shown))
            wrong << QStringLiteral("%1 shows %2, not %3").arg(rowName(row)).arg(value).arg(row.shown);
    }
    return wrong;
}

// Sets every row's control to its `entered` value; answers the rows without one.
inline QStringList enterValues(const QWidget* dialog, const QVector<DialogRow>& rows)
{
    QStringList missing;
    for (const DialogRow& row : rows) {
        if (QWidget* control = controlBeside(dialog, row.label, row.nth))
            setControlValue(control, row.entered);
        else
            missing << rowName(row);
    }
    return missing;
}

// The rows whose field does not hold `landed`.
inline QStringList landedMismatches(const AppConfig& config, const QVector<DialogRow>& rows)
{
    QStringList wrong;
    for (const DialogRow& row : rows) {
        const double value = fieldValue(config, row.field);
        if (!sameSetting(value, row.landed))
            wrong << QStringLiteral("%1 holds %2, not %3").arg(rowName(row)).arg(value).arg(row.landed);
    }
    return wrong;
}

// The settings outside the rows whose value differs between the two records.
inline QStringList changedBesideRows(const AppConfig& before, const AppConfig& after, const QVector<DialogRow>& rows)
{
    QStringList changed;
    for (const SettingKey& key : kSettingKeys) {
        bool inRows = false;
        for (const DialogRow& row : rows)
            inRows = inRows || row.field == key.field;
        if (!inRows && !sameSetting(fieldValue(before, key.field), fieldValue(after, key.field)))
            changed << QString::fromLatin1(key.key);
    }
    return changed;
}

// Clicks the dialog's button that reads `text`; false when it has none.
inline bool pressButton(const QWidget* dialog, const QString& text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            button->click();
            return true;
        }
    }
    return false;
}

namespace dialogrows {

// The record holds the rows' stored values (and keeps every other setting)
// while `open` builds the dialog; each row's control must show its `shown`
// value; the rows' values are entered, `leave` ends the dialog and it goes;
// each field must then hold its `landed` value and no other setting may have
// changed. Answers what went wrong, empty when nothing did.
inline QString edit(AppConfig& config, const QVector<DialogRow>& rows, const std::function<QWidget*()>& open,
                    const std::function<QStringList(QWidget*)>& leave)
{
    putInRecord(config, rows);
    const AppConfig before = config;
    QPointer<QWidget> dialog = open();
    if (!dialog)
        return QStringLiteral("no dialog");
    QStringList wrong = shownMismatches(dialog, rows);
    wrong += enterValues(dialog, rows);
    wrong += leave(dialog);
    delete dialog.data();
    wrong += landedMismatches(config, rows);
    const QStringList changed = changedBesideRows(before, config, rows);
    if (!changed.isEmpty())
        wrong << QStringLiteral("changed beside the rows: ") + changed.join(' ');
    return wrong.join(QStringLiteral(" | "));
}

} // namespace dialogrows

// The whole edit, as a user makes it: the dialog is filled from the record,
// every row is set, `button` is pressed (none for a form that writes back
// when it goes), and each row's value lands in its own setting. Answers what
// went wrong, empty when nothing did.
inline QString editThroughDialog(AppConfig& config, const QVector<DialogRow>& rows,
                                 const std::function<QWidget*()>& open, const QString& button)
{
    return dialogrows::edit(config, rows, open, [&](QWidget* dialog) {
        if (!button.isEmpty() && !pressButton(dialog, button))
            return QStringList(QStringLiteral("no button ") + button);
        return QStringList();
    });
}

// The same edit, the dialog closed without its button: the record keeps
// every value it had.
inline QString editLeftUnconfirmed(AppConfig& config, QVector<DialogRow> rows, const std::function<QWidget*()>& open)
{
    for (DialogRow& row : rows)
        row.landed = row.stored;
    return dialogrows::edit(config, rows, open, [](QWidget* dialog) {
        dialog->close();
        return QStringList();
    });
}

// A row's range as its control keeps it, and the step of one arrow press.
struct RowRange
{
    QString label;
    int nth;
    SettingField field;
    double low;
    double high;
    double step = 1;
};

// Rows that store a value `beyond` past one end of each range (0 for the end
// itself; below the low end when `atLow`): each control shows that end, and
// the end is what lands when the user leaves it so.
inline QVector<DialogRow> rowsAtEnd(const QVector<RowRange>& ranges, bool atLow, double beyond)
{
    QVector<DialogRow> rows;
    for (const RowRange& range : ranges) {
        const double end = atLow ? range.low : range.high;
        const double stored = atLow ? end - beyond : end + beyond;
        rows.append({range.label, range.nth, range.field, stored, end, end, end});
    }
    return rows;
}

// The rows whose control, at the low end of its range, does not go up by its
// step on one press of the arrow key. Each control keeps the value it had.
inline QStringList stepMismatches(const QWidget* dialog, const QVector<RowRange>& ranges)
{
    QStringList wrong;
    for (const RowRange& range : ranges) {
        auto* box = qobject_cast<QAbstractSpinBox*>(controlBeside(dialog, range.label, range.nth));
        if (!box) {
            wrong << range.label + QStringLiteral(": no spin box");
            continue;
        }
        const double kept = controlValue(box);
        setControlValue(box, range.low);
        box->stepBy(1);
        const double stepped = controlValue(box) - range.low;
        if (!sameSetting(stepped, range.step))
            wrong << QStringLiteral("%1 steps by %2, not %3").arg(range.label).arg(stepped).arg(range.step);
        setControlValue(box, kept);
    }
    return wrong;
}
