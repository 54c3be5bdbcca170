#pragma once
#include "Utility/MessageBox.h"

class QWidget;

// Shows the message box as a modal Qt dialog over the given window (or the active one): the heading
// as its title, the body as plain text, one button.
class QtMessageBoxPresenter : public MessageBoxPresenter {
public:
    explicit QtMessageBoxPresenter(QWidget* parent = nullptr) : parent_(parent) {}
    void present(const std::string& heading, const std::string& body, const std::string& buttonLabel) override;

private:
    QWidget* parent_;
};
