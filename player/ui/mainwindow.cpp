#include "ui/mainwindow.h"

#include "core/app.h"
#include "core/mcidevice.h"
#include "core/playcontroller.h"
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

TMainWindow::TMainWindow(QWidget* parent, std::unique_ptr<TCDAudioService> drive,
                         TAuxOutput& volumeDevices, std::function<bool(int)> isChecked,
                         TStatusHint* hint)
    : QWidget(parent), FDisplay(new TDisplayPanel(this)),
      FDevice(std::make_unique<MCIDevice>(QStringLiteral("cdaudio"), std::move(drive))),
      FController(std::make_unique<TPlayController>(*FDevice, TApp::Instance()
                                                                  ? TApp::Instance()->DatabasePath()
                                                                  : QStringLiteral("cdalb.idb"))),
      FVolumeDevices(volumeDevices), FIcon(QStringLiteral(":/korvo/minimised.svg")) {
    setObjectName(QString::number(TemplateId));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // A window wider than the display keeps the display in its middle.
    layout->addWidget(FDisplay, 0, Qt::AlignHCenter | Qt::AlignTop);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    FController->SetDisplay(FDisplay);
    FController->SetStatusHint(hint);
    FController->SetSaveFileAsker(this);
    if (TApp::Instance())
        FController->SetSettingsPath(TApp::Instance()->SettingsPath());
    FController->SetOptionQuery(std::move(isChecked));
    FPosition = std::make_unique<TPositionHandler>(
        FDisplay, TPositionHandler::TWiring{[this](int at) { FController->ThumbTrack(at); },
                                            [this](int at) { FController->Seek(at); }});
    connect(FController.get(), &TPlayController::progressChanged, this, &TMainWindow::SetProgress);
}

TMainWindow::~TMainWindow() = default;

void TMainWindow::AttachBars(TQueueList* queue, TSoundBar* positionSlider,
                             TSoundBar* volumeSlider) {
    FQueue = queue;
    FPositionSlider = positionSlider;
    FVolume = std::make_unique<TVolumeControl>(FVolumeDevices, volumeSlider);
    FQueue->SetDisplay(FDisplay);
    // A double click plays the row; a single click only selects it.
    connect(FQueue, &TQueueList::RowDoubleClicked, FController.get(),
            [this](int) { FController->PlaySelected(); });
    connect(FController.get(), &TPlayController::positionBarChanged, FPositionSlider,
            &TSoundBar::SetPosition);
    connect(FController.get(), &TPlayController::positionBarEnabledChanged, FPositionSlider,
            &QWidget::setEnabled);
    connect(FPositionSlider, &TSoundBar::Scrolled, this,
            [this](int code, int at) { FPosition->OnScroll(code, at); });
    connect(volumeSlider, &TSoundBar::Scrolled, this,
            [this](int code, int at) { FVolume->OnScroll(code, at); });
}

void TMainWindow::SetUp() {
    FController->SetUp();
    FPositionSlider->setEnabled(FController->BarEnabled());
}

void TMainWindow::ShutDown() {
    FController->ShutDown();
}

int TMainWindow::ProgressRow(int percent) {
    const int height = InnerRect().height();
    return height * qBound(0, percent, 100) / 100;
}

void TMainWindow::SetProgress(int percent) {
    const int before = ProgressRow(FProgress);
    FProgress = qBound(0, percent, 100);
    if (ProgressRow(FProgress) != before)
        emit MinimisedIconChanged();
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
    FController->ShowOptionWords();
}

void TMainWindow::SwitchRepeatOn() {
    if (!FController->IsRepeat())
        FController->ToggleRepeat();
}

void TMainWindow::SetCirculateIfStuck(bool on) {
    FController->SetCirculateIfStuck(on);
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
    return TVolumeControl::DefaultSetting(FVolumeDevices);
}

void TMainWindow::FinishSetUp() {
    FVolume->SetUp(FVolumeSetting);
    FQueue->setFocus();
}

bool TMainWindow::IsPaused() const {
    return FController->IsPaused();
}

bool TMainWindow::IsStopped() const {
    return FController->IsStopped();
}

bool TMainWindow::IsRepeat() const {
    return FController->IsRepeat();
}

void TMainWindow::SaveAlbum() {
    FController->SaveAlbum();
}

void TMainWindow::StopPlayback() {
    FController->SessionEnding();
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
