#include "widgets/conditionbox.h"

#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSpacerItem>

ConditionBox::ConditionBox(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    list = new QListWidget(this);
    grid->addWidget(list, 0, 0, 5, 1);
    const struct { const char* text; void (ConditionBox::*slot)(); } buttons[] = {
        {"Add", &ConditionBox::onAdd},
        {"Delete", &ConditionBox::onDelete},
        {"Load", &ConditionBox::onLoad},
        {"Save", &ConditionBox::onSave},
    };
    int row = 0;
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.text), this);
        connect(button, &QPushButton::clicked, this, b.slot);
        grid->addWidget(button, row++, 1);
    }
    grid->addItem(new QSpacerItem(20, 375, QSizePolicy::Minimum, QSizePolicy::Expanding), 4, 1);
    grid->addItem(new QSpacerItem(217, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 5, 0);
    auto* search = new QPushButton(QStringLiteral("Search"), this);
    connect(search, &QPushButton::clicked, this, &ConditionBox::onSearch);
    grid->addWidget(search, 5, 1);
}

void ConditionBox::onAdd() {}
void ConditionBox::onDelete() {}
void ConditionBox::onLoad() {}
void ConditionBox::onSave() {}
void ConditionBox::onSearch() {}
