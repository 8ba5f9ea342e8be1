#include "ui/splashwnd.h"

#include "resources/wlproresources.h"
#include "wlproversion.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

CSplashWnd::CSplashWnd(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus) {
    InitWlproResources();
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Closing the picture must never count as closing the program's last window.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Wavelathe Pro"));
    setFixedSize(kWidth, kHeight);

    m_timer.setSingleShot(true);
    m_timer.setInterval(kShowMs);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::close);
}

void CSplashWnd::Show() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(Position(screen->geometry()));
    show();
    m_timer.start();
}

QPoint CSplashWnd::Position(const QRect& screen) {
    return screen.topLeft() +
           QPoint((screen.width() - kWidth) / 2, (screen.height() - kHeight) / 2);
}

QString CSplashWnd::VersionText() {
    return QStringLiteral("Version " WLPRO_VERSION);
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    // Drawn from the vector picture at the screen's own scale, so it is crisp on any display; the
    // version comes from the build, not from the artwork.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QSvgRenderer(QStringLiteral(":/wlpro/splash.svg")).render(&painter, QRectF(rect()));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(QColor(0xC0, 0xC0, 0xC0));
    painter.drawText(QPointF(200, 84), VersionText());
}
