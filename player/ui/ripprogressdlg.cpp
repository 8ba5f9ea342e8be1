#include "ui/ripprogressdlg.h"

#include "core/displayfields.h"
#include "platform/discripper.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {
constexpr int BarSteps = 1000;

int BarValue(double fraction) {
    return static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * BarSteps));
}

QProgressBar* MakeBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, BarSteps);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}
} // namespace

TRipProgressDlg::TRipProgressDlg(QWidget* parent)
    : TMDialog(parent, DialogId, tr("Ripping"), QSize(220, 106)) {
    FTrackText = new QLabel(tr("Starting..."), this);
    Place(FTrackText, 14, 14, 192, 8, TrackTextId);
    auto* trackLabel = new QLabel(tr("This track:"), this);
    Place(trackLabel, 14, 29, 42, 8);
    FTrackBar = MakeBar(this);
    Place(FTrackBar, 58, 28, 148, 10, TrackBarId);
    auto* discLabel = new QLabel(tr("Whole disc:"), this);
    Place(discLabel, 14, 44, 42, 8);
    FDiscBar = MakeBar(this);
    Place(FDiscBar, 58, 43, 148, 10, DiscBarId);
    FSpeed = new QLabel(this);
    Place(FSpeed, 14, 60, 90, 8, SpeedId);
    FTimeLeft = new QLabel(this);
    Place(FTimeLeft, 106, 60, 100, 8, TimeLeftId);
    FTimeLeft->setAlignment(Qt::AlignRight | Qt::AlignTop);
    FCancel = new QPushButton(tr("Cancel"), this);
    Place(FCancel, 85, 78, 50, 14, 2);
    FCancel->setDefault(true);
    connect(FCancel, &QPushButton::clicked, this, &TRipProgressDlg::reject);
    SetUp();
    // The bars start after the longer of their labels.
    const int labels =
        std::max(trackLabel->sizeHint().width(), discLabel->sizeHint().width()) + trackLabel->x();
    for (QProgressBar* bar : {FTrackBar, FDiscBar}) {
        const int right = bar->geometry().right();
        if (labels + 6 > bar->x())
            bar->setGeometry(labels + 6, bar->y(), right - labels - 6 + 1, bar->height());
    }
}

void TRipProgressDlg::TrackStarted(int index, int count, int /*track*/, const QString& title) {
    const QString text = tr("Track %1 of %2 - %3").arg(index).arg(count).arg(title);
    FTrackText->setToolTip(text);
    FTrackText->setText(
        FTrackText->fontMetrics().elidedText(text, Qt::ElideRight, FTrackText->width()));
    FTrackBar->setValue(0);
}

void TRipProgressDlg::Progress(double trackFraction, double discFraction, double speed,
                               int secondsLeft) {
    FTrackBar->setValue(BarValue(trackFraction));
    FDiscBar->setValue(BarValue(discFraction));
    FSpeed->setText(tr("Speed: %1x").arg(speed, 0, 'f', 1));
    FTimeLeft->setText(secondsLeft >= 0 ? tr("Time left: %1").arg(FormatTime(secondsLeft))
                                        : QString());
}

void TRipProgressDlg::Finish() {
    FFinished = true;
    close();
}

void TRipProgressDlg::reject() {
    if (FFinished) {
        TMDialog::reject();
        return;
    }
    // The window stays until the ripper has stopped and cleaned up.
    FCancel->setEnabled(false);
    FTrackText->setText(tr("Cancelling..."));
    emit cancelRequested();
}

TRipResultsDlg::TRipResultsDlg(QWidget* parent, const TRipReport& report, const QStringList& titles)
    : TMDialog(parent, DialogId, tr("Rip Results"), QSize(260, 170)), FFolder(report.Folder) {
    auto* folder = new QLabel(this);
    Place(folder, 14, 14, 232, 8);
    FList = new QTreeWidget(this);
    Place(FList, 14, 26, 232, 92, ListId);
    FList->setRootIsDecorated(false);
    FList->setUniformRowHeights(true);
    FList->setSelectionMode(QAbstractItemView::NoSelection);
    FList->setFocusPolicy(Qt::NoFocus);
    FList->setHeaderLabels({tr("Track"), tr("Result")});
    FSummary = new QLabel(this);
    Place(FSummary, 14, 124, 232, 8, SummaryId);
    FOpenFolder = new QPushButton(tr("Open Folder"), this);
    Place(FOpenFolder, 136, 142, 56, 14, OpenFolderId);
    auto* close = new QPushButton(tr("Close"), this);
    Place(close, 196, 142, 50, 14, 1);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(FOpenFolder, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(FFolder)); });
    SetUp();

    const QString where = report.Folder.isEmpty() ? tr("No album folder was made.")
                                                  : QDir::toNativeSeparators(report.Folder);
    folder->setToolTip(where);
    folder->setText(folder->fontMetrics().elidedText(where, Qt::ElideMiddle, folder->width()));
    for (const TRipTrackResult& result : report.Tracks) {
        const QString name = !result.File.isEmpty() ? QFileInfo(result.File).fileName()
                             : result.Track >= 1 && result.Track <= titles.size() &&
                                     !titles[result.Track - 1].isEmpty()
                                 ? QStringLiteral("%1 - %2")
                                       .arg(result.Track, 2, 10, QLatin1Char('0'))
                                       .arg(titles[result.Track - 1])
                                 : tr("Track %1").arg(result.Track, 2, 10, QLatin1Char('0'));
        auto* row = new QTreeWidgetItem(FList, {name, result.Text()});
        // A long name is cut in the list; the whole of it shows under the pointer.
        row->setToolTip(0, name);
        if (result.Status == TRipTrackResult::TStatus::Errors ||
            result.Status == TRipTrackResult::TStatus::NotCopied)
            row->setForeground(1, QColor(Qt::darkRed));
    }
    // The results keep a little room from the list's edge; the names take the rest.
    int widest = FList->header()->sectionSizeHint(1);
    for (int row = 0; row < FList->topLevelItemCount(); ++row)
        widest = std::max(
            widest, FList->fontMetrics().horizontalAdvance(FList->topLevelItem(row)->text(1)));
    FList->header()->setStretchLastSection(false);
    FList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    FList->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    FList->header()->resizeSection(1, widest + Units(0, 0, 8, 0).width());
    FSummary->setText(report.Cancelled ? tr("The copy was cancelled") : report.Summary());
    QFont bold = FSummary->font();
    bold.setBold(true);
    FSummary->setFont(bold);
    if (!report.AllGood()) {
        QPalette warning = FSummary->palette();
        warning.setColor(QPalette::WindowText, QColor(Qt::darkRed));
        FSummary->setPalette(warning);
    }
    FOpenFolder->setEnabled(!report.Folder.isEmpty() && QFileInfo(report.Folder).isDir());
}
