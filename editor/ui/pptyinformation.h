#pragma once
// CPptyInformation: the properties window's "Information" page. The sample's name, artist,
// comments and copyright go into the sample buffer's information texts as the user types, and
// the document counts as changed.
//
// A wave file stores each text as UTF-8 ending in a NUL, and counts the whole RIFF form (data,
// format and texts) in 32 bits. So what the user types is cut where a wave file would lose it:
// before its first NUL (a reader stops there), and after the last whole character that still
// fits beside the data and the other texts (half a character would make a reader take the whole
// text for Latin-1). A cut is reported, never made silently.

#include <QByteArrayList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <utility>

class CSampleBuffer;
class CWlproView;
class QLineEdit;
class QPlainTextEdit;

enum class CInfoCut { None, AtNul, AtRoom };

struct CFittedText {
    QString text;
    CInfoCut cut = CInfoCut::None;
};

// What of `text` a wave file keeps when the text may take at most `roomBytes` bytes of UTF-8.
CFittedText FitInfoText(const QString& text, quint64 roomBytes);
// The UTF-8 bytes one text may take in a wave file whose data has `dataBytes` bytes and whose
// other texts are `otherTexts` (UTF-8, empty ones included or not).
quint64 WaveTextRoom(quint64 dataBytes, const QByteArrayList& otherTexts);
// The same for text `index` of `buffer` as the wave writer would store it now.
quint64 InfoTextRoom(const CSampleBuffer& buffer, int index);

class CPptyInformation : public QWidget {
    Q_OBJECT
public:
    explicit CPptyInformation(QWidget* parent = nullptr);

    // The view whose sample the page describes; null: none, and nothing is editable.
    void SetView(CWlproView* view);
    // Shows the sample's texts as they are now.
    void Refresh();

    // The controls, for tests.
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* ArtistEdit() const { return m_artist; }
    QPlainTextEdit* CommentsEdit() const { return m_comments; }
    QLineEdit* CopyrightEdit() const { return m_copyright; }

private:
    // The one-line texts and their indexes in the sample buffer.
    std::array<std::pair<QLineEdit*, int>, 3> Lines() const;
    void Store(int index, const QString& text);
    void OnLineEdited(QLineEdit* edit, int index);
    void OnCommentsChanged();

    QPointer<CWlproView> m_view;
    QLineEdit* m_name;
    QLineEdit* m_artist;
    QPlainTextEdit* m_comments;
    QLineEdit* m_copyright;
    bool m_refreshing = false;
};
