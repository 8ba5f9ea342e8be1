#pragma once
// CWlproDoc: one open sample. It owns the sample buffer, the editor that makes each change one
// undo step, the engine that plays and records the sample, and the peak summary the strips draw
// from; it knows its file, its title and whether it has changes to save. Every view of the
// document follows it through sampleChanged. No widgets here: the windows bind to it.
//
// Loading and saving touch only a buffer nobody else sees (Read) or only read the document's
// bytes (Write), so the frame can run them on a worker thread while the window stays responsive.

#include "core/peaksummary.h"
#include "core/sampleaudio.h"
#include "core/samplebuffer.h"
#include "core/sampleeditor.h"

#include <QObject>
#include <QString>

#include <memory>

class CWlproDoc : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 kToEnd = 0xFFFFFFFFu;

    // A sample read from a file, complete before anyone sees it.
    struct CLoaded {
        std::unique_ptr<CSampleBuffer> buffer;
        CPeakSummary summary;
        // The kind the file's content showed.
        FileKind kind = FileKind::Raw;
    };

    // An empty new document called `title` ("Wlpro1", ...).
    explicit CWlproDoc(const QString& title, QObject* parent = nullptr);
    // A document over a sample read from `path`.
    CWlproDoc(CLoaded loaded, const QString& path, QObject* parent = nullptr);
    ~CWlproDoc() override;

    // Reads `path` (the kind by its content, FileKindFor) into a new buffer and summarises it. Safe
    // on any thread; problems are reported through the installed reporter. No buffer when the file
    // cannot be read at all.
    static CLoaded Read(const QString& path);
    // Writes the sample to `path`, atomically, in KindFor(path). Reads the document only, so it
    // may run on a worker thread while the GUI waits. False when nothing was written (the old
    // file is then whole).
    bool Write(const QString& path) const;
    // The document's own file keeps the kind its content showed (a ".wav" that held FLAC stays
    // FLAC); any other path the kind its ending names.
    FileKind KindFor(const QString& path) const;
    // What a save to `path` would lose, as the question to ask before it; empty when it loses
    // nothing: a 24-bit or float sample into a kind that holds fewer bits, or the stereo mix over
    // the file that had more channels.
    QString SaveLoss(const QString& path) const;
    // What the document holds differently from its file ("6 channels mixed to stereo"), for the
    // window's title; empty when the sample is the file's.
    QString LoadNote() const;
    // After a successful Write: the file becomes the document's.
    void SavedAs(const QString& path);

    CSampleBuffer& Buffer() { return *m_buffer; }
    const CSampleBuffer& Buffer() const { return *m_buffer; }
    CSampleEditor& Editor() { return m_editor; }
    // Plays and records the buffer; the buffer refuses edits meanwhile.
    CSampleAudio& Audio() { return m_audio; }
    const CSampleAudio& Audio() const { return m_audio; }
    const CPeakSummary& Summary() const { return m_summary; }

    QString Path() const { return m_path; }
    QString Title() const { return m_title; }
    // Modified while the sample differs from the one last saved or loaded: undoing back to it
    // makes the document clean again, unless a change the undo history does not hold came
    // between.
    bool IsModified() const { return m_modified; }
    // false: the sample as it is now counts as saved. true: a change the undo history does not
    // hold (the information texts), which keeps the document modified until it is saved.
    void SetModified(bool modified);

    // After an edit that rewrote frames from..to (to kToEnd: everything after `from`, as when the
    // length changed): the summary follows, the document is modified, the views repaint.
    void SampleEdited(quint32 from, quint32 to = kToEnd);
    // Undo and Redo of the newest step; 0 when there is nothing to do or the sample is busy.
    int Undo();
    int Redo();

Q_SIGNALS:
    // Views render again from frame `from` on; the channel count may have changed.
    void sampleChanged(quint32 from);
    void titleChanged();
    void modifiedChanged(bool modified);

private:
    int AfterHistoryStep(int done);
    void ShowModified(bool modified);

    std::unique_ptr<CSampleBuffer> m_buffer;
    CSampleEditor m_editor;
    // After the buffer, so that it stops its devices before the buffer goes.
    CSampleAudio m_audio;
    CPeakSummary m_summary;
    QString m_path;
    QString m_title;
    FileKind m_fileKind = FileKind::Raw;
    // The channels of the file as it was read (0 for a new document).
    quint32 m_fileChannels = 0;
    bool m_integerAsFloat = false;
    bool m_modified = false;
    // The undo history's state ids when last saved and after the last edit or step.
    quint64 m_savedState = 0;
    quint64 m_lastState = 0;
    bool m_unrecorded = false;
};
