#include "platform/fontresource.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

TFontResource::TFontResource(const QString& fileName, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo(path).isFile()) {
            FId = QFontDatabase::addApplicationFont(path);
            if (FId >= 0)
                return;
        }
    }
}

TFontResource::~TFontResource() {
    if (FId >= 0)
        QFontDatabase::removeApplicationFont(FId);
}

QStringList TFontResource::Families() const {
    return FId >= 0 ? QFontDatabase::applicationFontFamilies(FId) : QStringList();
}
