#include "ui/aboutdlg.h"

#include "resources/wlproresources.h"
#include "wlproversion.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    InitWlproResources();
    setWindowTitle(QStringLiteral("About Wavelathe Pro..."));
    setModal(true);

    auto* icon = new QLabel;
    // Drawn from the SVG at the screen's own pixel ratio, so it stays sharp on HiDPI.
    const QSize iconSize(48, 48);
    icon->setPixmap(
        QIcon(QStringLiteral(":/wlpro/icons/wlpro.svg")).pixmap(iconSize, devicePixelRatioF()));
    icon->setFixedSize(iconSize);

    auto* name = new QLabel(QStringLiteral("Wavelathe Pro"));
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    name->setFont(nameFont);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(new QLabel(QStringLiteral("Version " WLPRO_VERSION)));
    texts->addSpacing(8);
    texts->addWidget(new QLabel(QStringLiteral("A sample editor for wave, voice and Sun audio.")));
    texts->addWidget(new QLabel(QStringLiteral("Copyright \u00A9 the Wavelathe developers")));

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(buttons);
}
