#pragma once
// The status bar: two sunken fields, the album title (7856) and the current song's title
// (7857). Button and menu hints are shown across it while they last, and the separator above it
// shows its line exactly while a hint is shown on a visible status bar.

#include <QStatusBar>

class QLabel;
class THSeparator;

class TMStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int AlbumFieldId = 7856;
    static constexpr int SongFieldId = 7857;
    static constexpr int WindowId = 32040;

    TMStatusBar(QWidget* parent, THSeparator* separator = nullptr);

    void SetSeparator(THSeparator* separator) { FSeparator = separator; }
    // Writes 7856 or 7857; other ids are ignored.
    void SetFieldText(int id, const QString& text);
    QString FieldText(int id) const;
    QLabel* Field(int id) const;
    // Shows `text` across the bar, or clears the hint when it is empty.
    void SetHintText(const QString& text);
    QString HintText() const { return currentMessage(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* FAlbum;
    QLabel* FSong;
    THSeparator* FSeparator;
};
