// A window made of the player's interface elements, laid out as the player lays them out, for
// looking at them under a real X server (screenshots) and for trying them by hand. An optional
// argument names a font file to register before the display is made (the LED face).

#include "core/commandids.h"
#include "ui/buttongadget.h"
#include "ui/commandhints.h"
#include "ui/displaypanel.h"
#include "ui/hseparator.h"
#include "ui/listbar.h"
#include "ui/mstatusbar.h"
#include "ui/mtoolbar.h"
#include "ui/posbar.h"
#include "ui/soundbar.h"
#include "ui/volbar.h"

#include <QApplication>
#include <QFontDatabase>
#include <QListWidget>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1)
        QFontDatabase::addApplicationFont(QString::fromLocal8Bit(argv[1]));
    app.setWindowIcon(QIcon(QStringLiteral(":/korvo/korvo.svg")));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Korvo"));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* queue = new QListWidget;
    queue->addItems({QStringLiteral("1\tOverture\t03:12"), QStringLiteral("2\tNight Drive\t04:47"),
                     QStringLiteral("3\tHarbour Lights\t05:03"), QStringLiteral("4\tCoda\t02:18")});
    queue->setCurrentRow(2);
    auto* listBar = new TListBar(&window, queue);
    auto* display = new TDisplayPanel(&window);
    auto* posBar = new TPosBar(&window);
    auto* volBar = new TVolBar(&window);
    auto* toolBar = new TMToolBar(&window);
    auto* separator = new THSeparator(&window, 1, 1, 4, THSeparator::Top);
    auto* status = new TMStatusBar(&window, separator);

    layout->addWidget(listBar);
    auto* displayRow = new QHBoxLayout;
    displayRow->addWidget(display);
    displayRow->addStretch(1);
    layout->addLayout(displayRow);
    layout->addWidget(posBar);
    layout->addWidget(volBar);
    layout->addWidget(toolBar);
    layout->addWidget(separator);
    layout->addWidget(status);

    display->SetFieldText(TDisplayPanel::IdTime, QStringLiteral("01:37"));
    display->SetFieldText(TDisplayPanel::IdLength, QStringLiteral("05:03"));
    display->SetFieldText(TDisplayPanel::IdTrack, QStringLiteral("03"));
    display->SetFieldText(TDisplayPanel::IdTotal, QStringLiteral("04"));
    display->SetStatusWord(TDisplayPanel::IdPlay, true);
    display->SetStatusWord(TDisplayPanel::IdRepeat, true);
    display->SetStatusWord(TDisplayPanel::IdRandom, true);
    posBar->PositionSlider()->setEnabled(true);
    posBar->PositionSlider()->SetPosition(3200);
    volBar->VolumeSlider()->SetPosition(7500);
    toolBar->Button(CmRepeat)->setChecked(true);
    status->SetFieldText(TMStatusBar::AlbumFieldId, QStringLiteral("Coastal Roads"));
    status->SetFieldText(TMStatusBar::SongFieldId, QStringLiteral("Harbour Lights"));
    if (qEnvironmentVariableIsSet("GALLERY_HINT"))
        status->SetHintText(CommandHint(CmFastForwardEnd));
    for (TMControlBar* bar : std::initializer_list<TMControlBar*>{volBar, toolBar})
        QObject::connect(bar, &TMControlBar::hintRequested, status,
                         [status](int id) { status->SetHintText(CommandHint(id)); });

    window.show();
    return app.exec();
}
