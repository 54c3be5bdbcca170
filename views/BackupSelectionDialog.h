#pragma once
#include "library/AMediaFile.h"

#include <QDialog>

#include <set>
#include <vector>

class QTableWidget;

// The selection dialog of backup and upload: the playlist in its order (row n is playlist index n)
// with name, date and time, several rows selectable, OK and Cancel. OK with more rows than the
// limit says so and stays open.
class BackupSelectionDialog : public QDialog {
    Q_OBJECT
public:
    // `maxSelFileCount` -1: no limit.
    BackupSelectionDialog(const QString& title, int maxSelFileCount, const std::vector<AMediaFile>& playlist,
                          QWidget* parent = nullptr);

    QTableWidget& table() { return *mTableView; }
    // The rows chosen when OK closed the dialog.
    const std::set<std::int32_t>& selectedRows() const { return selected_; }
    int getSelCount() const { return m_nSelCount; }

    void okButtonAction();
    void done(int result) override;

private:
    QTableWidget* mTableView;
    int m_nMaxSelFileCount;
    int m_nSelCount = 0;
    std::set<std::int32_t> selected_;
};
