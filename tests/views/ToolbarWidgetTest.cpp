#include "ViewTestSupport.h"
#include "views/SkinImages.h"
#include "views/SkinnedButtons.h"
#include "views/ToolbarWidget.h"

TEST_F(ViewTest, ToolbarButtonsHangAtTheirPlacesOverTheTiledStripAndActWhileEnabled) {
    ToolbarWidget toolbar;
    std::vector<std::string> pressed;
    toolbar.setBrowseHandler([&] { pressed.push_back("open"); });
    const std::pair<ToolbarView::Button, QRect> outputs[] = {
        {ToolbarView::Print, {45, 0, 45, 30}},         {ToolbarView::Backup, {90, 0, 45, 30}},
        {ToolbarView::Capture, {135, 0, 45, 30}},      {ToolbarView::Export, {270, 0, 45, 30}},
        {ToolbarView::UploadYouTube, {315, 0, 60, 30}}, {ToolbarView::UploadFacebook, {375, 0, 90, 30}}};
    for (const auto& [button, place] : outputs) {
        if (button == ToolbarView::UploadFacebook) continue;  // no action: not shown
        toolbar.setOutputHandler(button, [&pressed, code = button] { pressed.push_back(std::to_string(code)); });
    }
    showAt(toolbar, 1000, ToolbarWidget::kHeight);
    EXPECT_EQ(toolbar.openButton().geometry(), QRect(0, 0, 45, 30));
    for (const auto& [button, place] : outputs) {
        EXPECT_EQ(toolbar.outputButton(button).geometry(), place) << button;
        EXPECT_EQ(toolbar.outputButton(button).isVisible(), button != ToolbarView::UploadFacebook) << button;
    }

    for (ToolbarView::Button button : {ToolbarView::Print, ToolbarView::Export}) toolbar.setButtonEnabled(button, true);
    for (auto* button : {&toolbar.openButton(), &toolbar.outputButton(ToolbarView::Print),
                         &toolbar.outputButton(ToolbarView::Capture), &toolbar.outputButton(ToolbarView::Export)})
        button->click();
    EXPECT_EQ(pressed, (std::vector<std::string>{"open", std::to_string(ToolbarView::Print),
                                                 std::to_string(ToolbarView::Export)}));

    // The strip's image repeats from the left to the far right, under the 15 pixels the buttons leave.
    const QImage tile = pmLoadImage("toolbar_background.png").toImage();
    const QImage shot = shoot(toolbar, "toolbar");
    for (int x : {1, 499, 998}) EXPECT_EQ(shot.pixelColor(x, 40), tile.pixelColor(x % tile.width(), 40)) << x;
}
