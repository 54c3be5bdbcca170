#include "platform/QtMessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

void QtMessageBoxPresenter::present(const std::string& heading, const std::string& body,
                                    const std::string& buttonLabel) {
    QMessageBox box(parent_ ? parent_ : QApplication::activeWindow());
    box.setWindowTitle(QString::fromStdString(heading));
    // The body may quote file names and service replies: never let Qt read it as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(body));
    QPushButton* ok = box.addButton(QString::fromStdString(buttonLabel), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}
