#include "views/CameraChoiceBar.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

CameraChoiceBar::CameraChoiceBar(std::function<void(int option)> chosen, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addStretch();
    // Digits rather than words: they read the same in every language.
    const char* labels[3] = {"1", "2", "1 + 2"};
    for (int option = 1; option <= 3; ++option) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString("camera%1Button").arg(option == 3 ? 12 : option));
        button->setText(labels[option - 1]);
        button->setCheckable(true);
        button->setFixedSize(kButtonWidth, kButtonHeight);
        group_->addButton(button, option);
        row->addWidget(button);
    }
    row->addStretch();
    group_->setExclusive(true);
    group_->button(3)->setChecked(true);
    connect(group_, &QButtonGroup::idClicked, this, [chosen = std::move(chosen)](int option) { chosen(option); });
}

int CameraChoiceBar::option() const { return group_->checkedId(); }

void CameraChoiceBar::press(int option) {
    if (auto* button = group_->button(option)) button->click();
}
