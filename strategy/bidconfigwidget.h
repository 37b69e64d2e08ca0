#pragma once

// The form of the call-auction settings: largest fall, largest rise, smallest
// bid strength and whether the history scoring runs. It reads the settings
// record when built and writes the shown values back when destroyed; the
// record reaches the settings file at program exit.

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class SettingsForm;

class BidConfigWidget final : public QWidget
{
    Q_OBJECT
public:
    explicit BidConfigWidget(QWidget* parent = nullptr);
    ~BidConfigWidget() override;

    QDoubleSpinBox* minPercentBox = nullptr;
    QDoubleSpinBox* maxPercentBox = nullptr;
    QCheckBox* useKBox = nullptr;
    QDoubleSpinBox* ratioBox = nullptr;

private:
    SettingsForm* form;
};
