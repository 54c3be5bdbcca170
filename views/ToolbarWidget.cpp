#include "views/ToolbarWidget.h"

#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/ViewStyle.h"

#include <QPainter>

#include <cstdio>

namespace {

struct OutputButton {
    ToolbarView::Button button;
    const char* image;
    const char* toolTipKey;
    const char* consoleLine;  // none for the uploads
    QRect place;
};

// The toolbar's fixed places; the two uploads stand side by side instead of sharing one.
const OutputButton kOutputs[] = {
    {ToolbarView::Print, "button_print", "IDS_TOOLTIP_PRINT", "Print button pressed !", {45, 0, 45, 30}},
    {ToolbarView::Backup, "button_backup", "IDS_TOOLTIP_BACKUP", "Backup button pressed !", {90, 0, 45, 30}},
    {ToolbarView::Capture, "button_capture", "IDS_CAPTURE", "Capture button pressed !", {135, 0, 45, 30}},
    {ToolbarView::Evidence, "button_evidence", "IDS_EVIDENCE", "Evidence button pressed !", {225, 0, 45, 30}},
    {ToolbarView::Export, "button_export", "IDS_EXPORT_TO_KML", "Export button pressed !", {270, 0, 45, 30}},
    {ToolbarView::UploadYouTube, "button_youtube", "IDS_UPLOAD_YOUTUBE", nullptr, {315, 0, 60, 30}},
    {ToolbarView::UploadFacebook, "button_facebook", "IDS_UPLOAD_FACEBOOK", nullptr, {375, 0, 90, 30}},
};
const QRect kOpen(0, 0, 45, 30);
const QRect kSettings(180, 0, 45, 45);
constexpr QSize kWindowSwitch(45, 30);
constexpr int kNoListSwitchX = 668;

}  // namespace

ToolbarWidget::ToolbarWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("toolbar");
    setFixedHeight(kHeight);
    open_ = makeButton("openButton", kOpen, "Browse button pressed !", browse_);
    settings_ = makeButton("settingsButton", kSettings, nullptr, openSettingsMenu_);
    windowSwitch_ = makeButton("windowSwitchButton", QRect(QPoint(kNoListSwitchX, 0), kWindowSwitch),
                               "Window switch button pressed !", switchWindow_);
    for (const OutputButton& output : kOutputs) {
        outputs_[output.button] = makeButton(output.image, output.place, output.consoleLine, outputHandlers_[output.button]);
        outputs_[output.button]->setEnabled(false);  // until the controller has something to act on
    }
    loadSkinBitmap();
    changeLanguage();
}

BitmapButton* ToolbarWidget::makeButton(const char* name, QRect place, const char* consoleLine,
                                        std::function<void()>& handler) {
    auto* button = new BitmapButton(this);
    button->setObjectName(name);
    button->setGeometry(place);
    button->hide();  // until it has an action
    connect(button, &BitmapButton::clicked, this, [consoleLine, &handler] {
        if (consoleLine) std::fprintf(stderr, "%s\n", consoleLine);
        if (handler) handler();
    });
    return button;
}

void ToolbarWidget::setBrowseHandler(std::function<void()> handler) {
    browse_ = std::move(handler);
    open_->setVisible(bool(browse_));
}

void ToolbarWidget::setWindowSwitchHandler(std::function<void()> handler) {
    switchWindow_ = std::move(handler);
    setWindowSwitchVisible(windowSwitchWanted_);
}

void ToolbarWidget::setOutputHandler(Button button, std::function<void()> handler) {
    outputHandlers_[button] = std::move(handler);
    outputs_[button]->setVisible(bool(outputHandlers_[button]));
}

void ToolbarWidget::setSettingsMenuActions(SettingsMenuActions actions) {
    settingsMenu_ = std::move(actions);
    openSettingsMenu_ = [this] { pmPopUpSettingsMenu(*settings_, settingsMenu_); };
    settings_->show();
}

void ToolbarWidget::setWindowSwitchX(int x) { windowSwitch_->move(x, 0); }

void ToolbarWidget::loadSkinBitmap() {
    background_ = pmLoadImage("toolbar_background.png");
    open_->setBitmapButton(SkinnedButton::family("button_open"));
    settings_->setBitmapButton(SkinnedButton::family("button_settings"));
    windowSwitch_->setBitmapButton(SkinnedButton::family("button_window_switch"));
    for (const OutputButton& output : kOutputs) outputs_[output.button]->setBitmapButton(SkinnedButton::family(output.image));
    update();
}

void ToolbarWidget::changeLanguage() {
    open_->setToolTip(pmViewString("IDS_OPEN"));
    settings_->setToolTip(pmViewString("IDS_SETTINGS"));
    windowSwitch_->setToolTip(pmViewString("IDS_WINDOW_SWITCH"));
    for (const OutputButton& output : kOutputs) outputs_[output.button]->setToolTip(pmViewString(output.toolTipKey));
}

void ToolbarWidget::setButtonEnabled(Button button, bool enabled) { outputs_[button]->setEnabled(enabled); }

bool ToolbarWidget::isButtonEnabled(Button button) const { return outputs_[button]->isEnabled(); }

void ToolbarWidget::setWindowSwitchVisible(bool visible) {
    windowSwitchWanted_ = visible;
    windowSwitch_->setVisible(visible && switchWindow_);
}

bool ToolbarWidget::isWindowSwitchVisible() const { return windowSwitchWanted_; }

void ToolbarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (background_.isNull()) return;
    const int copies = width() / background_.width() + 1;
    for (int copy = 0; copy < copies; ++copy) painter.drawPixmap(copy * background_.width(), 0, background_);
}
