#pragma once
#include <string>

// The modal message box of every user-facing message. The core decides the texts; a presenter
// shows them and returns once the user has closed the box. The window installs a dialog; without
// one the message goes to standard error (the command line).
class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    // Shows the heading, the body as plain text and one button; returns when the box is closed.
    virtual void present(const std::string& heading, const std::string& body, const std::string& buttonLabel) = 0;
};

// Prints "heading: body" on standard error.
class StandardErrorMessageBoxPresenter : public MessageBoxPresenter {
public:
    void present(const std::string& heading, const std::string& body, const std::string& buttonLabel) override;
};

// Installs the presenter used by pmMessageBox; nullptr restores standard error.
void pmSetMessageBoxPresenter(MessageBoxPresenter* presenter);

// Shows `text` under `title` (the text of IDR_MAINFRAME when the title is empty) with one button
// labelled IDS_OK; the text is shown as it stands. `style` (0, or 16 for errors) does not change the
// box. Writes "User OK!" to standard error once the box is closed, and returns 1.
int pmMessageBox(const std::string& text, const std::string& title = {}, int style = 0);
