#include "widgets/settingsform.h"

#include "core/vorelapplication.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>

#include <cmath>

namespace {

AppConfig* record()
{
    return vorelApp() ? &vorelApp()->config : nullptr;
}

QSpinBox* spinBox(SettingsForm::IntRange range, QWidget* owner)
{
    auto* box = new QSpinBox(owner);
    box->setRange(range.low, range.high);
    box->setSingleStep(range.step);
    return box;
}

// A label beside its check box replaces the box's own text.
void moveTextToLabel(QWidget* control)
{
    if (auto* box = qobject_cast<QCheckBox*>(control))
        box->setText(QString());
}

} // namespace

SettingsForm::SettingsForm(QWidget* owner)
    : QObject(owner), owner(owner)
{
}

QSpinBox* SettingsForm::addSpin(const QString& label, IntRange range, int AppConfig::*setting)
{
    QSpinBox* box = spinBox(range, owner);
    rows.append({label, box,
                 [box, setting](const AppConfig& c) { box->setValue(c.*setting); },
                 [box, setting](AppConfig& c) { c.*setting = box->value(); }});
    return box;
}

QSpinBox* SettingsForm::addSpin(const QString& label, IntRange range, float AppConfig::*setting, Mapping mapping)
{
    QSpinBox* box = spinBox(range, owner);
    const auto load = [box, setting, range, mapping](const AppConfig& c) {
        const float shown = mapping.shown ? mapping.shown(c.*setting) : c.*setting;
        // Clamped before the integer part is taken, so that no stored value
        // overflows the conversion; the range's ends are whole numbers.
        box->setValue(int(std::trunc(qBound(double(range.low), double(shown), double(range.high)))));
    };
    const auto store = [box, setting, mapping](AppConfig& c) {
        const float shown = float(box->value());
        c.*setting = mapping.stored ? mapping.stored(shown) : shown;
    };
    rows.append({label, box, load, store});
    return box;
}

QDoubleSpinBox* SettingsForm::addDoubleSpin(const QString& label, DoubleRange range, float AppConfig::*setting)
{
    auto* box = new QDoubleSpinBox(owner);
    // Decimals first: the range and the value are rounded to them.
    box->setDecimals(range.decimals);
    box->setRange(range.low, range.high);
    if (range.step > 0)
        box->setSingleStep(range.step);
    rows.append({label, box,
                 [box, setting](const AppConfig& c) { box->setValue(double(c.*setting)); },
                 [box, setting](AppConfig& c) { c.*setting = float(box->value()); }});
    return box;
}

QCheckBox* SettingsForm::addCheck(const QString& label, bool AppConfig::*setting)
{
    auto* box = new QCheckBox(label, owner);
    rows.append({label, box,
                 [box, setting](const AppConfig& c) { box->setChecked(c.*setting); },
                 [box, setting](AppConfig& c) { c.*setting = box->isChecked(); }});
    return box;
}

QCheckBox* SettingsForm::addCheck(const QString& label, int AppConfig::*setting, bool (*isOn)(int stored))
{
    auto* box = new QCheckBox(label, owner);
    rows.append({label, box,
                 [box, setting, isOn](const AppConfig& c) { box->setChecked(isOn(c.*setting)); },
                 [box, setting](AppConfig& c) { c.*setting = box->isChecked() ? 1 : 0; }});
    return box;
}

QComboBox* SettingsForm::addCombo(const QString& label, const QStringList& items, int AppConfig::*setting, int outside)
{
    auto* box = new QComboBox(owner);
    box->addItems(items);
    const auto load = [box, setting, outside](const AppConfig& c) {
        const int stored = c.*setting;
        box->setCurrentIndex(stored >= 0 && stored < box->count() ? stored : outside);
    };
    rows.append({label, box, load,
                 [box, setting](AppConfig& c) { c.*setting = box->currentIndex(); }});
    return box;
}

// A row whose control has gone (its dialog closed) is passed over.
void SettingsForm::load() const
{
    if (const AppConfig* config = record()) {
        for (const Row& row : rows) {
            if (row.control)
                row.load(*config);
        }
    }
}

void SettingsForm::store() const
{
    if (AppConfig* config = record()) {
        for (const Row& row : rows) {
            if (row.control)
                row.store(*config);
        }
    }
}

int SettingsForm::addToGrid(QGridLayout* grid, int controlColumns, CheckText checkText) const
{
    int line = 0;
    for (const Row& row : rows) {
        const bool onBox = checkText == CheckText::OnBox && qobject_cast<QCheckBox*>(row.control.data());
        if (!onBox) {
            moveTextToLabel(row.control);
            grid->addWidget(new QLabel(row.label, owner), line, 0);
        }
        grid->addWidget(row.control, line, 1, 1, controlColumns);
        ++line;
    }
    return line;
}

void SettingsForm::addToForm(QFormLayout* form) const
{
    for (const Row& row : rows) {
        moveTextToLabel(row.control);
        form->addRow(row.label, row.control);
    }
}

QPushButton* SettingsForm::addButtonRow(QGridLayout* grid, const QString& text, int controlColumns) const
{
    const int line = rows.size();
    grid->addItem(new QSpacerItem(137, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), line, 0, 1, controlColumns);
    auto* button = new QPushButton(text, owner);
    grid->addWidget(button, line, controlColumns);
    return button;
}
