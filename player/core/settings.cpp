#include "core/settings.h"

#include "core/commandids.h"
#include "core/optionstore.h"
#include "core/profile.h"

#include <QFileInfo>
#include <QList>

#include <climits>

namespace {

const QString General = QStringLiteral("General");
const QString Settings = QStringLiteral("Settings");
const QString State = QStringLiteral("State");
const QString CurrentVersion = QStringLiteral("2.7");

// Buffer sizes of the values read, terminator included.
constexpr int VersionBuffer = 10;
constexpr int FontBuffer = 80;
constexpr int PositionBuffer = 20;
// The screen resolution fonts are converted at while there is no window to ask.
constexpr int DefaultDpi = 96;

// Reads up to count decimal integers the way a C scanner reads "%d" separated by the separator
// character (or by white space when there is none): it stops at the first mismatch, and the
// numbers not found are absent from the result.
QList<int> ScanIntegers(const QString& text, QChar separator, int count) {
    QList<int> numbers;
    int pos = 0;
    const int size = text.size();
    auto skipBlanks = [&] {
        while (pos < size && text[pos].isSpace())
            ++pos;
    };
    while (numbers.size() < count) {
        if (!numbers.isEmpty() && !separator.isNull()) {
            if (pos >= size || text[pos] != separator)
                break;
            ++pos;
        }
        skipBlanks();
        bool negative = false;
        if (pos < size && (text[pos] == QLatin1Char('-') || text[pos] == QLatin1Char('+')))
            negative = text[pos++] == QLatin1Char('-');
        if (pos >= size || !text[pos].isDigit() || text[pos].unicode() > '9')
            break;
        qint64 value = 0;
        for (; pos < size && text[pos] >= QLatin1Char('0') && text[pos] <= QLatin1Char('9'); ++pos)
            value = qMin<qint64>(value * 10 + (text[pos].unicode() - '0'), qint64(INT_MAX) + 1);
        numbers.append(int(qBound(qint64(INT_MIN), negative ? -value : value, qint64(INT_MAX))));
    }
    return numbers;
}

int At(const QList<int>& numbers, int i) {
    return i < numbers.size() ? numbers[i] : 0;
}

QString Flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const qint64 product = qint64(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const qint64 divisor = qAbs(qint64(c));
    const qint64 quotient = (qAbs(product) + divisor / 2) / divisor;
    if (quotient > INT_MAX)
        return -1;
    return int(negative ? -quotient : quotient);
}

TSettings::TSettings(TProfile& profile, TOptionStore& options, TSettingsFrame* frame)
    : FProfile(profile), FOptions(options), FFrame(frame) {}

TFontSpec TSettings::DefaultFont(int dpi) {
    return TFontSpec{QStringLiteral("MS Sans Serif"), -MulDiv(8, dpi, 72), 0, false};
}

TFontSpec TSettings::ParseFont(const QString& value, int dpi) {
    const int comma = value.indexOf(QLatin1Char(','));
    QString face = comma < 0 ? value : value.left(comma);
    int start = 0;
    while (start < face.size() && face[start].isSpace())
        ++start;
    face = face.mid(start);
    const QList<int> numbers =
        comma < 0 ? QList<int>() : ScanIntegers(value.mid(comma + 1), QLatin1Char(','), 3);
    return TFontSpec{face, -MulDiv(At(numbers, 0), dpi, 72), At(numbers, 1), At(numbers, 2) != 0};
}

QString TSettings::FormatFont(const TFontSpec& font, int dpi) {
    return QStringLiteral("%1, %2, %3, %4")
        .arg(font.face)
        .arg(MulDiv(qAbs(font.height), 72, dpi))
        .arg(font.weight)
        .arg(font.italic ? 1 : 0);
}

void TSettings::LoadSettings() {
    FOptions.LoadOptions(FProfile, Settings);
    if (FPlayer)
        FPlayer->ShowOptionWords();

    FLoadedStick = FProfile.ReadInt(State, QStringLiteral("Stick"), 0) != 0;
    if (FLoadedStick && FPlayer)
        FPlayer->SwitchRepeatOn();

    const bool circulate = FProfile.ReadInt(Settings, QStringLiteral("CirculateIfStuck"), 1) != 0;
    if (FPlayer)
        FPlayer->SetCirculateIfStuck(circulate);

    const int dpi = FFrame ? FFrame->LogicalDpiY() : DefaultDpi;
    QString font;
    FProfile.ReadString(Settings, QStringLiteral("Font"), FormatFont(DefaultFont(dpi), dpi), font,
                        FontBuffer);
    FLoadedFont = ParseFont(font, dpi);
    if (FPlayer)
        FPlayer->SetQueueFont(FLoadedFont);

    int device = FProfile.ReadInt(Settings, QStringLiteral("AuxOutDevice"), 0);
    // A new user gets a working volume slider: on the very first start the default device is
    // chosen, and the next save keeps it, so that a stored 0 still means "no volume control".
    if (FPlayer && !QFileInfo::exists(FProfile.Path())) {
        device = FPlayer->DefaultVolumeDevice();
        FFirstStartDevice = device;
    }
    if (FPlayer)
        FPlayer->SetVolumeDevice(device);

    if (FFrame) {
        FFrame->ApplyMiniHelp(FOptions.IsChecked(CmMiniHelp));
        FFrame->ApplyAlwaysOnTop(FOptions.IsChecked(CmAlwaysOnTop));

        const QPoint here = FFrame->CurrentPosition();
        QString position;
        FProfile.ReadString(General, QStringLiteral("WindowPosition"),
                            QStringLiteral("%1 %2 0").arg(here.x()).arg(here.y()), position,
                            PositionBuffer);
        const QList<int> numbers = ScanIntegers(position, QChar(), 3);
        FFrame->PlaceWindow(At(numbers, 0), At(numbers, 1), At(numbers, 2));
    }

    if (FPlayer)
        FPlayer->FinishSetUp();
}

void TSettings::SaveSettings() {
    // One rewrite of the file for the whole save, and never a file with half the settings.
    TProfile::TBatch batch(FProfile);
    if (FFrame)
        FFrame->UpdateElementChecks();

    QString version;
    FProfile.ReadString(General, QStringLiteral("Version"), CurrentVersion, version, VersionBuffer);
    if (CurrentVersion.compare(version) >= 0)
        FProfile.WriteString(General, QStringLiteral("Version"), CurrentVersion);

    if (FFrame) {
        const QRect r = FFrame->RestoredGeometry();
        FProfile.WriteString(General, QStringLiteral("WindowPosition"),
                             QStringLiteral("%1 %2 %3 %4")
                                 .arg(r.left())
                                 .arg(r.top())
                                 .arg(r.width())
                                 .arg(r.height()));
    }

    FOptions.SaveOptions(FProfile, Settings);
    // Unless the device dialog has stored a choice since.
    if (FFirstStartDevice > 0 &&
        FProfile.ReadString(Settings, QStringLiteral("AuxOutDevice"), QString()).isNull())
        FProfile.WriteString(Settings, QStringLiteral("AuxOutDevice"),
                             QString::number(FFirstStartDevice));

    FProfile.WriteString(State, QStringLiteral("Paused"), Flag(FPlayer && FPlayer->IsPaused()));
    FProfile.WriteString(State, QStringLiteral("Stopped"), Flag(!FPlayer || FPlayer->IsStopped()));
    FProfile.WriteString(State, QStringLiteral("Stick"),
                         Flag(FPlayer ? FPlayer->IsRepeat() : FLoadedStick));

    const int dpi = FFrame ? FFrame->LogicalDpiY() : DefaultDpi;
    FProfile.WriteString(Settings, QStringLiteral("Font"),
                         FormatFont(FPlayer ? FPlayer->QueueFont() : FLoadedFont, dpi));
    batch.Commit();
}

void TSettings::ExitSave(bool force) {
    if (FOptions.IsChecked(CmSaveSettingsOnExit) || force)
        SaveSettings();
    else
        FProfile.WriteString(Settings, QStringLiteral("SaveSettingsOnExit"), QStringLiteral("0"));
    if (FOptions.IsChecked(CmAutoSaveAlbum) && FPlayer)
        FPlayer->SaveAlbum();
}

void TSettings::SaveSettingsNow() {
    SaveSettings();
    if (FOptions.IsChecked(CmAutoSaveAlbum) && FPlayer)
        FPlayer->SaveAlbum();
}

void TSettings::SessionEnding() {
    ExitSave(false);
    if (FPlayer)
        FPlayer->StopPlayback();
}
