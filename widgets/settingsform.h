#pragma once

// The rows of a parameter dialog. Each row is a label, a control with its
// range and step (or decimals) and the field of the settings record that the
// control edits, so a dialog names every setting once: the form fills the
// controls from the application's record (load) and writes them back (store).
// The form belongs to the widget that owns its controls and goes with it.

#include "core/appconfig.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QGridLayout;
class QPushButton;
class QSpinBox;
class QWidget;

class SettingsForm final : public QObject
{
public:
    struct IntRange
    {
        int low;
        int high;
        int step = 1;
    };
    struct DoubleRange
    {
        double low;
        double high;
        double step = 0;   // 0 keeps the box's own step of 1
        int decimals = 2;
    };
    // How a float setting shown in an integer box maps to the box and back;
    // a null function passes the value through (the box keeps its integer
    // part). {} maps nothing.
    struct Mapping
    {
        float (*shown)(float stored);
        float (*stored)(float shown);
    };
    // Where a check box's label goes when the rows are laid out in a grid.
    enum class CheckText { OnBox, InLabelColumn };

    // The controls are children of `owner`.
    explicit SettingsForm(QWidget* owner);

    QSpinBox* addSpin(const QString& label, IntRange range, int AppConfig::*setting);
    QSpinBox* addSpin(const QString& label, IntRange range, float AppConfig::*setting, Mapping mapping = {});
    QDoubleSpinBox* addDoubleSpin(const QString& label, DoubleRange range, float AppConfig::*setting);
    QCheckBox* addCheck(const QString& label, bool AppConfig::*setting);
    // An int setting as a switch, stored as 1 or 0; `isOn` says which stored values check the box.
    QCheckBox* addCheck(const QString& label, int AppConfig::*setting, bool (*isOn)(int stored));
    // The combo's index is the setting. A stored value outside the items shows
    // the item `outside`, the one that the setting's reader applies to such a
    // value, so that the screen names what is in effect.
    QComboBox* addCombo(const QString& label, const QStringList& items, int AppConfig::*setting, int outside);

    // Both do nothing without an application object.
    void load() const;
    void store() const;

    // Lays the rows out from row 0 on: the label in column 0, the control in
    // column 1 over `controlColumns` columns. Answers the next free row.
    int addToGrid(QGridLayout* grid, int controlColumns, CheckText checkText) const;
    void addToForm(QFormLayout* form) const;
    // The closing row under the rows: a stretching spacer under the labels and
    // the button at the right, under the last control column.
    QPushButton* addButtonRow(QGridLayout* grid, const QString& text, int controlColumns) const;

private:
    struct Row
    {
        QString label;
        QPointer<QWidget> control;
        std::function<void(const AppConfig&)> load;
        std::function<void(AppConfig&)> store;
    };

    QWidget* owner;
    QVector<Row> rows;
};
