#include "ui/mainwindow.h"

#include "core/playersession.h"
#include "ui/bevel.h"
#include "ui/displaypanel.h"
#include "ui/positionhandler.h"
#include "ui/queuelist.h"
#include "ui/screenunits.h"
#include "ui/sizfontlb.h"
#include "ui/soundbar.h"
#include "ui/volumecontrol.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPainter>

namespace {

const QColor ProgressColour(0x40, 0x80, 0x80);
const QColor EmptyColour(0xC0, 0xC0, 0xC0);

// The icon's frame: 1 pixel of black, then two bevels of 2 pixels each.
constexpr int FrameBand = 1;
constexpr int BevelBand = 2;

QRect InnerRect() {
    return QRect(0, 0, TMainWindow::IconSize, TMainWindow::IconSize)
        .adjusted(FrameBand + 2 * BevelBand, FrameBand + 2 * BevelBand,
                  -(FrameBand + 2 * BevelBand), -(FrameBand + 2 * BevelBand));
}

} // namespace

TMainWindow::TMainWindow(QWidget* parent, TPlayerSession& session, TStatusHint* hint)
    : QWidget(parent), FSession(session), FDisplay(new TDisplayPanel(this)),
      FIcon(QStringLiteral(":/korvo/minimised.svg")) {
    setObjectName(QString::number(TemplateId));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // A window wider than the display keeps the display in its middle.
    layout->addWidget(FDisplay, 0, Qt::AlignHCenter | Qt::AlignTop);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    TPlayController& player = FSession.Controller();
    player.SetDisplay(FDisplay);
    player.SetStatusHint(hint);
    player.SetSaveFileAsker(this);
    FPosition = std::make_unique<TPositionHandler>(
        FDisplay, TPositionHandler::TWiring{[&player](int at) { player.ThumbTrack(at); },
                                            [&player](int at) { player.Seek(at); }});
    connect(&player, &TPlayController::progressChanged, this, &TMainWindow::SetProgress);
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::AttachBars(TQueueList* queue, TSoundBar* positionSlider,
                             TSoundBar* volumeSlider) {
    FQueue = queue;
    FPositionSlider = positionSlider;
    FVolume = std::make_unique<TVolumeControl>(FSession.Volume(), volumeSlider);
    FQueue->SetDisplay(FDisplay);
    TPlayController& player = FSession.Controller();
    // A double click plays the row; a single click only selects it.
    connect(FQueue, &TQueueList::rowDoubleClicked, &player,
            [&player](int) { player.PlaySelected(); });
    connect(&player, &TPlayController::positionBarChanged, FPositionSlider,
            &TSoundBar::SetPosition);
    connect(&player, &TPlayController::positionBarEnabledChanged, FPositionSlider,
            &QWidget::setEnabled);
    connect(FPositionSlider, &TSoundBar::scrolled, this,
            [this](int code, int at) { FPosition->OnScroll(code, at); });
    connect(volumeSlider, &TSoundBar::scrolled, this,
            [this](int code, int at) { FVolume->OnScroll(code, at); });
}

void TMainWindow::SetUp() {
    FSession.SetUp();
    FPositionSlider->setEnabled(FSession.Controller().BarEnabled());
}

void TMainWindow::ShutDown() {
    FSession.ShutDown();
    TPlayController& player = FSession.Controller();
    player.SetDisplay(nullptr);
    player.SetStatusHint(nullptr);
    player.SetSaveFileAsker(nullptr);
}

int TMainWindow::ProgressRow(int percent) {
    const int height = InnerRect().height();
    return height * qBound(0, percent, 100) / 100;
}

void TMainWindow::SetProgress(int percent) {
    const int before = ProgressRow(FProgress);
    FProgress = qBound(0, percent, 100);
    if (ProgressRow(FProgress) != before)
        emit minimisedIconChanged();
}

QPixmap TMainWindow::MinimisedIcon(qreal pixelRatio) const {
    QPixmap pixmap(QSize(IconSize, IconSize) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    const QPalette pal = palette();
    QRect area(0, 0, IconSize, IconSize);
    area.adjust(FrameBand, FrameBand, -FrameBand, -FrameBand);
    area = DrawRingBevel(painter, area, BevelBand, BevelRaised, pal.color(QPalette::Dark),
                         pal.color(QPalette::Light));
    const QRect inner = DrawRingBevel(painter, area, BevelBand, 0, pal.color(QPalette::Dark),
                                      pal.color(QPalette::Light));
    const int level = ProgressRow(FProgress);
    painter.fillRect(QRect(inner.left(), inner.bottom() + 1 - level, inner.width(), level),
                     ProgressColour);
    painter.fillRect(QRect(inner.left(), inner.top(), inner.width(), inner.height() - level),
                     EmptyColour);
    painter.setClipRect(inner);
    FIcon.paint(&painter, QRect(0, 1, IconSize, IconSize));
    return pixmap;
}

void TMainWindow::ShowOptionWords() {
    FSession.Controller().ShowOptionWords();
}

void TMainWindow::SwitchRepeatOn() {
    if (!FSession.Controller().IsRepeat())
        FSession.Controller().ToggleRepeat();
}

void TMainWindow::SetCirculateIfStuck(bool on) {
    FSession.Controller().SetCirculateIfStuck(on);
}

void TMainWindow::SetQueueFont(const TFontSpec& font) {
    FQueue->FontDescription() = FontFromSpec(font);
    FQueue->ApplyFont();
}

TFontSpec TMainWindow::QueueFont() const {
    return SpecFromFont(FQueue->FontDescription(), ScreenDpiY(this));
}

void TMainWindow::SetVolumeDevice(int number) {
    FVolumeSetting = number;
}

int TMainWindow::DefaultVolumeDevice() const {
    return TVolumeModel::DefaultSetting(FSession.Volume().Devices());
}

void TMainWindow::FinishSetUp() {
    FVolume->SetUp(FVolumeSetting);
    FQueue->setFocus();
}

bool TMainWindow::IsPaused() const {
    return FSession.Controller().IsPaused();
}

bool TMainWindow::IsStopped() const {
    return FSession.Controller().IsStopped();
}

bool TMainWindow::IsRepeat() const {
    return FSession.Controller().IsRepeat();
}

void TMainWindow::SaveAlbum() {
    FSession.Controller().SaveAlbum();
}

void TMainWindow::StopPlayback() {
    FSession.Controller().SessionEnding();
}

QString TMainWindow::AskSaveFile(const TSaveFileRequest& request) {
    QFileDialog dialog(window(), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(request.filterName);
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
