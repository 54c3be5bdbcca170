#include "Utility/WaitingIndicator.h"

#include "Utility/DiagnosticLog.h"

namespace {
WaitingPresenter* gPresenter = nullptr;
bool gShown = false;
}  // namespace

void pmSetWaitingPresenter(WaitingPresenter* presenter) { gPresenter = presenter; }

void pmStartWait() {
    pmOutputDebugMsg("pmStartWait()");
    if (gShown) return;
    gShown = true;
    if (gPresenter) gPresenter->showWaitingWindow();
}

void pmEndWait() {
    if (gShown && gPresenter) gPresenter->endWaitingWindow();
    gShown = false;
    pmOutputDebugMsg("pmEndWait()");
}

bool pmIsWaiting() { return gShown; }
