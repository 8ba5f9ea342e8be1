#include "ui/splashwnd.h"

#include "resources/wlproresources.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

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

    const QScreen* screen = QGuiApplication::primaryScreen();
    const bool hiDpi = screen && screen->devicePixelRatio() > 1.0;
    m_picture.load(hiDpi ? QStringLiteral(":/wlpro/splash@2x.png")
                         : QStringLiteral(":/wlpro/splash.png"));
    m_picture.setDevicePixelRatio(hiDpi ? 2.0 : 1.0);

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

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}
