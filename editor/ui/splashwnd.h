#pragma once
// CSplashWnd: the start-up picture. A borderless window in the middle of the primary screen that
// stays for 4.5 seconds while the main window comes up, then closes and deletes itself. Nothing
// waits for it, and it never takes the keyboard focus from the main window.

#include <QTimer>
#include <QWidget>

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 359;
    static constexpr int kHeight = 218;
    static constexpr int kShowMs = 4500;

    // `owner` (may be null) keeps the picture above itself and deletes it if it goes first. The
    // window deletes itself when it closes, so make it with new.
    explicit CSplashWnd(QWidget* owner = nullptr);

    // Shows the window centred on the primary screen and starts the countdown to closing.
    void Show();

    // Top-left corner that centres the picture on `screen`, halving with integer division.
    static QPoint Position(const QRect& screen);

    // The version line drawn on the picture.
    static QString VersionText();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
};
