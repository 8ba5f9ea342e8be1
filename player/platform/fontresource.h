#pragma once
// The display's font file, registered with the application's font database for the life of this
// object: looked up by name in the given folders in order (the program's folder, then the
// installed data folder). A missing or unusable file is silent; the display then falls back to
// the system's fonts.

#include <QString>
#include <QStringList>

class TFontResource {
public:
    TFontResource(const QString& fileName, const QStringList& folders);
    ~TFontResource();
    TFontResource(const TFontResource&) = delete;
    TFontResource& operator=(const TFontResource&) = delete;

    bool IsRegistered() const { return FId >= 0; }
    // The font families the file added.
    QStringList Families() const;

private:
    int FId = -1;
};
