// svgtopng ICON.svg NAME FOLDER SIZE...: renders a program's scalable icon at each size into
// FOLDER/<size>x<size>/apps/NAME.png, the layout of the hicolor icon theme. Run by the build, so
// the PNG icons never drift from the SVG they come from.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>

namespace {
constexpr int kLargestSize = 1024;

int Fail(const QString& text) {
    QTextStream(stderr) << "svgtopng: " << text << '\n';
    return 1;
}

bool Render(QSvgRenderer& renderer, int size, const QString& path) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}
} // namespace

int main(int argc, char** argv) {
    // Painting into an image needs no display, so no GUI application either.
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 5)
        return Fail(QStringLiteral("usage: svgtopng ICON.svg NAME FOLDER SIZE..."));

    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid())
        return Fail(QStringLiteral("%1 is not a readable SVG image").arg(arguments[1]));
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);

    for (const QString& text : arguments.mid(4)) {
        bool number = false;
        const int size = text.toInt(&number);
        if (!number || size < 1 || size > kLargestSize)
            return Fail(
                QStringLiteral("%1 is not an icon size from 1 to %2").arg(text).arg(kLargestSize));
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[3]).arg(size);
        const QString path = QStringLiteral("%1/%2.png").arg(folder, arguments[2]);
        if (!QDir().mkpath(folder) || !Render(renderer, size, path))
            return Fail(QStringLiteral("cannot write %1").arg(path));
    }
    return 0;
}
