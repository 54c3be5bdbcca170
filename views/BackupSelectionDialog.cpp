#include "views/BackupSelectionDialog.h"

#include "Utility/DiagnosticLog.h"
#include "Utility/MessageBox.h"
#include "Utility/StringTables.h"
#include "library/FileDate.h"
#include "library/RecordingName.h"
#include "views/ViewStyle.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

BackupSelectionDialog::BackupSelectionDialog(const QString& title, int maxSelFileCount,
                                             const std::vector<AMediaFile>& playlist, QWidget* parent)
    : QDialog(parent), m_nMaxSelFileCount(maxSelFileCount) {
    setWindowTitle(title);
    resize(460, 420);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(pmViewString("IDS_VIDEO_FILES") + ":", this));
    mTableView = new QTableWidget(int(playlist.size()), 3, this);
    mTableView->setObjectName("fileTable");
    mTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mTableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mTableView->horizontalHeader()->setVisible(false);
    mTableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    mTableView->verticalHeader()->setVisible(false);
    for (int row = 0; row < int(playlist.size()); ++row) {
        const AMediaFile& entry = playlist[std::size_t(row)];
        const std::string texts[3] = {pmGetFileTitle(entry.URL(), false), pmGetDateStringFromNSDate(entry.fileDate()),
                                      pmGetTimeStringFromNSDate(entry.fileDate())};
        for (int column = 0; column < 3; ++column)
            mTableView->setItem(row, column, new QTableWidgetItem(QString::fromStdString(texts[column])));
    }
    mTableView->resizeColumnsToContents();
    layout->addWidget(mTableView);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(pmViewString("IDS_OK"), QDialogButtonBox::AcceptRole)->setObjectName("okButton");
    buttons->addButton(pmViewString("IDS_CANCEL"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &BackupSelectionDialog::okButtonAction);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    pmOutputDebugMsg("BackupDlg Start");
}

void BackupSelectionDialog::okButtonAction() {
    std::set<std::int32_t> rows;
    for (const QModelIndex& index : mTableView->selectionModel()->selectedRows()) rows.insert(index.row());
    m_nSelCount = int(rows.size());
    if (m_nMaxSelFileCount >= 1 && m_nSelCount > m_nMaxSelFileCount) {
        pmMessageBox(pmGetString("IDS_ERR_OVER_MAX_UPLOAD"));
        return;
    }
    selected_ = std::move(rows);
    accept();
}

void BackupSelectionDialog::done(int result) {
    pmOutputDebugMsg("BackupDlg End");
    QDialog::done(result);
}
