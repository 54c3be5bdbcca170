#pragma once
#include "app/ControllerDialogs.h"

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The controller's dialogs answered by the test: each keeps what it was asked and gives the answer
// the test scripted, as the real dialogs would (the selection dialog posts its outcome).
class FakeDialogs : public ControllerDialogs {
public:
    explicit FakeDialogs(NotificationCenter& center) : center_(center) {}

    std::optional<std::string> chooseSaveFile(const SaveFileRequest& request) override {
        saveRequests.push_back(request);
        if (saveAnswers.empty()) return std::nullopt;
        const auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> chooseBackupFolder(const std::string& start) override {
        folderStarts.push_back(start);
        return backupFolder;
    }
    void runCapturePreview(const CameraFrames& frames, const std::function<void(int)>& saveAs) override {
        shownFrames.push_back(frames);
        if (captureOption) saveAs(*captureOption);
    }
    void runPrintPreview(const PrintRequest& request) override { printRequests.push_back(request); }
    void openBackupDlg(const std::string& title, int maxCount, const std::vector<AMediaFile>& playlist) override {
        selectionDialogs.push_back({title, maxCount, playlist.size()});
        center_.post(chosenRows ? pmSelectionNotification(2, *chosenRows) : pmSelectionNotification(0));
    }
    void showProgressPanel(std::uint64_t total, std::function<void()> onCancel) override {
        panelTotal = total;
        panelOpen = true;
        cancel = std::move(onCancel);
    }
    void updateProgressPanel(std::uint64_t current) override { panelUpdates.push_back(current); }
    void closeProgressPanel() override { panelOpen = false; }
    void runAboutBox() override { ++aboutBoxes; }

    // Answers: the save dialogs' paths in turn (none left: cancelled), the backup folder, the
    // capture preview's Save As with a choice (none: Cancel), the selection (none: Cancel).
    std::deque<std::optional<std::string>> saveAnswers;
    std::optional<std::string> backupFolder;
    std::optional<int> captureOption;
    std::optional<std::set<std::int32_t>> chosenRows;

    struct Selection {
        std::string title;
        int maxCount;
        std::size_t rows;
    };
    std::vector<SaveFileRequest> saveRequests;
    std::vector<std::string> folderStarts;
    std::vector<CameraFrames> shownFrames;
    std::vector<PrintRequest> printRequests;
    std::vector<Selection> selectionDialogs;
    std::uint64_t panelTotal = 0;
    bool panelOpen = false;
    std::function<void()> cancel;
    std::vector<std::uint64_t> panelUpdates;
    int aboutBoxes = 0;

private:
    NotificationCenter& center_;
};
