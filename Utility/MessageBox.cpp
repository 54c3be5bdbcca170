#include "Utility/MessageBox.h"

#include "Utility/StringTables.h"

#include <cstdio>

namespace {

MessageBoxPresenter* gPresenter = nullptr;

}  // namespace

void StandardErrorMessageBoxPresenter::present(const std::string& heading, const std::string& body,
                                               const std::string& buttonLabel) {
    (void)buttonLabel;  // nothing to press on a terminal
    const std::string line = heading + ": " + body + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void pmSetMessageBoxPresenter(MessageBoxPresenter* presenter) { gPresenter = presenter; }

int pmMessageBox(const std::string& text, const std::string& title, int style) {
    (void)style;
    static StandardErrorMessageBoxPresenter standardError;
    MessageBoxPresenter& presenter = gPresenter ? *gPresenter : standardError;
    presenter.present(title.empty() ? pmGetString("IDR_MAINFRAME") : title, text, pmGetString("IDS_OK"));
    std::fputs("User OK!\n", stderr);
    return 1;
}
