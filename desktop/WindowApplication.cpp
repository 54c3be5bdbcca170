#include "desktop/WindowApplication.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "Utility/WaitingIndicator.h"
#include "evidence/EvidenceMediaMaker.h"
#include "platform/BackgroundWork.h"
#include "platform/MpvVideoView.h"
#include "views/FrameImage.h"
#include "views/MapView.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <cstdio>

WindowApplication::WindowApplication(Options options)
    : options_(std::move(options)),
      services_(pmLoadServicesConfig(pmServicesConfigPath())),
      connectivity_(http_, services_.config.probe, options_.routes),
      player1_(MpvMoviePlayer::Options{"libmpv", options_.audioOutput}),
      player2_(MpvMoviePlayer::Options{"libmpv", options_.audioOutput}),
      window_(notifications_),
      dialogs_(window_, notifications_),
      messageBoxes_(&window_),
      waiting_(&window_) {
    const VideoRenderChoice render = chooseVideoRenderPath();
    pmOutputDebugMsg(std::string("WindowApplication - movies drawn ") +
                     (render.path == VideoRenderPath::OpenGL ? "with OpenGL" : "in software") + ": " + render.reason);
    video1_ = createMpvVideoView(render.path, pacer_);
    video2_ = createMpvVideoView(render.path, pacer_);
    video1_->setPlayer(&player1_);
    video2_->setPlayer(&player2_);
    window_.hostVideoWidgets(video1_->widget(), video2_->widget(), [this](QWidget* video, const QColor& fill) {
        (video == video1_->widget() ? video1_ : video2_)->setFillColor(fill);
    });
    window_.mapView().configure(&connectivity_, services_.config.map);
    pmSetMessageBoxPresenter(&messageBoxes_);
    pmSetWaitingPresenter(&waiting_);

    if (!services_.problem.empty()) std::fprintf(stderr, "%s\n", services_.problem.c_str());
    AppServices services{notifications_, scheduler_, player1_, player2_, &folderWatch_, &connectivity_, {}, {}, {}, {}, {}};
    services.openAddress = [this](const std::string& address) { workspace_.openAddress(address); };
    services.chooseFolder = [this](const std::string& start) -> std::optional<std::string> {
        const QString chosen =
            QFileDialog::getExistingDirectory(&window_, QString::fromStdString(pmGetString("IDS_OPEN")),
                                              QString::fromStdString(start));
        if (chosen.isEmpty()) return std::nullopt;
        return chosen.toStdString();
    };
    services.runInBackground = [](const std::function<void()>& work) { pmRunInBackground(work); };
    services.encodeJpeg = pmEncodeJpeg;
    services.makeEvidenceMedia = [] { return std::make_unique<EvidenceMediaMaker>(); };
    dialogs_.configureSharing(&http_, services_.config.sharing);
    ControllerViews views = window_.controllerViews();
    views.dialogs = &dialogs_;
    controller_ = std::make_unique<AppDelegate>(services, views);

    AppDelegate& controller = *controller_;
    MainWindowActions actions;
    actions.browse = [&controller] { controller.onButtonBrowse(); };
    actions.windowSwitch = [&controller] { controller.onButtonWindowSwitch(); };
    actions.print = [&controller] { controller.onButtonPrint(); };
    actions.backup = [&controller] { controller.onButtonBackup(); };
    actions.capture = [&controller] { controller.onButtonCapture(); };
    actions.exportKml = [&controller] { controller.onButtonExport(); };
    actions.evidence = [&controller] { controller.onButtonEvidence(); };
    actions.showCalendar = [&controller](bool show) { controller.showCalendar(show); };
    actions.hasRecordingOn = [&controller](int year, int month, int day) {
        return controller.library().isMediaExistByDate(year, month, day);
    };
    actions.windowWillClose = [&controller] { controller.windowWillClose(); };
    actions.chooseLanguage = [&controller](std::int32_t languageId) { controller.languageMenuItemClicked(languageId); };
    actions.chooseSkin = [&controller](std::int32_t skinId) { controller.skinMenuItemClicked(skinId); };
    actions.about = [&controller] { controller.aboutMenuItemClicked(); };
    actions.mapFullScreen = [&controller] { controller.onButtonMapFullScreen(); };
    actions.switchButtonPosition = [&controller](double listLeft, double listWidth) {
        return controller.getSwitchButtonPosition(listLeft, listWidth, true);
    };
    window_.setActions(std::move(actions));
    workspace_.setSleepObserver(this);

    QObject::connect(qApp, &QApplication::aboutToQuit, &window_, [this] { controller_->applicationWillTerminate(); });
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &window_, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) becameActive();
    });
}

WindowApplication::~WindowApplication() {
    workspace_.setSleepObserver(nullptr);
    // The controller goes first: it still holds the players and the views.
    controller_.reset();
    pmSetWaitingPresenter(nullptr);
    pmSetMessageBoxPresenter(nullptr);
}

void WindowApplication::start(const std::string& folder) {
    controller_->applicationWillFinishLaunching();
    window_.show();
    controller_->applicationDidFinishLaunching(folder);
    // The start has begun a fresh log: the notices of the start go into it now.
    for (const std::string& notice : {options_.startNotice, services_.problem})
        if (!notice.empty()) pmOutputDebugMsg(notice);
    // A window manager tells the application it became active; without one (a virtual display)
    // the first activation is the window being shown.
    QTimer::singleShot(0, &window_, [this] { becameActive(); });
}

void WindowApplication::becameActive() {
    const QSize content = window_.centralWidget()->size();
    controller_->applicationDidBecomeActive(content.width(), content.height());
}

void WindowApplication::workspaceWillSleep() {
    controller_->makeSleep();
    workspace_.allowSleep();
}

void WindowApplication::workspaceDidWake() { controller_->makeWake(); }
