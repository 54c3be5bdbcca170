// The upload editor on the real network client against the tests' stand-in for the services.
#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "ViewTestSupport.h"
#include "platform/QtHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/QtWait.h"
#include "views/MainWindow.h"
#include "views/QtControllerDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <filesystem>

namespace {

struct Messages : MessageBoxPresenter {
    void present(const std::string&, const std::string& body, const std::string&) override { shown.push_back(body); }
    std::vector<std::string> shown;
};

using UploadEditor = ViewTest;

}  // namespace

// Titles edited in either slot survive scrolling and reach the service; a cancel during the second
// of three stops it, sends no third and returns to editing; a whole batch ends with its message.
TEST_F(UploadEditor, EditsSurviveScrollingAndACancelReturnsToEditingBeforeTheThirdIsSent) {
    LocalHttpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error();
    Messages messages;
    pmSetMessageBoxPresenter(&messages);
    std::vector<std::string> paths;
    for (const char* name : {"FILE0001.MP4", "FILE0002.MP4", "FILE0003.AVI"}) {
        paths.push_back(home.path() + "/" + name);
        writeFile(paths.back(), "");
        std::filesystem::resize_file(paths.back(), 32 * 1024 * 1024);
    }
    MainWindow window(notifications);
    QtHttpClient http;
    SharingServices services;
    services.facebook.graph = server.url("");
    QtControllerDialogs dialogs(window, notifications);
    dialogs.configureSharing(&http, services);
    dialogs.showUploadEditor({1, "EAAGtoken", "", paths});
    QPointer<EditUploadDialog> editor = dialogs.uploadEditor();
    ASSERT_TRUE(editor);
    auto* scroller = editor->findChild<QScrollBar*>("hScroller");
    auto* secondTitle = editor->findChild<QLineEdit*>("editTitle2");
    secondTitle->setText("Second & more");
    scroller->setValue(2);  // the last entry alone
    EXPECT_EQ(editor->findChild<QLabel*>("fileNameTitle")->text(), "FILE0003.AVI");
    EXPECT_FALSE(secondTitle->isVisible());
    scroller->setValue(0);
    EXPECT_EQ(secondTitle->text(), "Second & more");
    shoot(*editor, "upload-editor-editing");

    server.setFaults({{{"path", "/me/videos"}, {"nth", 2}, {"stall_after", 65536}}});
    auto* upload = editor->findChild<QPushButton*>("uploadButton");
    auto* cancel = editor->findChild<QPushButton*>("cancelButton");
    upload->click();
    ASSERT_TRUE(spinUntil([&] { return server.requests().size() == 2; }));
    spinFor(0.6);  // a tick of the progress display
    shoot(*editor, "upload-editor-uploading");
    cancel->click();
    spinFor(1.0);
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_NE(server.requests()[1]["path"].dump().find("title=Second%20%26%20more"), std::string::npos);
    EXPECT_TRUE(upload->isEnabled());
    EXPECT_EQ(cancel->text(), pmViewString("IDS_CLOSE"));
    EXPECT_EQ(editor->findChild<QLabel*>("PercentTextField")->text(), "0 %");
    EXPECT_TRUE(messages.shown.empty());

    server.setFaults(nlohmann::json::array());
    upload->click();
    ASSERT_TRUE(spinUntil([&] { return editor.isNull(); }, 60));
    EXPECT_EQ(server.requests().size(), 5u);
    EXPECT_EQ(messages.shown, std::vector<std::string>{pmGetString("IDS_UPLOAD_VIDEO_OK")});
    pmSetMessageBoxPresenter(nullptr);
}
