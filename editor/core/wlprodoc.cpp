#include "core/wlprodoc.h"

#include "core/reporter.h"

#include <QFileInfo>

CWlproDoc::CWlproDoc(const QString& title, QObject* parent)
    : QObject(parent), m_buffer(std::make_unique<CSampleBuffer>()), m_editor(*m_buffer),
      m_audio(*m_buffer), m_title(title) {}

CWlproDoc::CWlproDoc(CLoaded loaded, const QString& path, QObject* parent)
    : QObject(parent), m_buffer(std::move(loaded.buffer)), m_editor(*m_buffer), m_audio(*m_buffer),
      m_summary(std::move(loaded.summary)), m_path(path), m_title(QFileInfo(path).fileName()),
      m_fileKind(loaded.kind), m_fileChannels(m_buffer->GetFileOrigin().channels),
      m_integerAsFloat(m_buffer->GetFileOrigin().integerAsFloat) {}

// The audio engine stops its devices, then the editor goes; both refer to the buffer.
CWlproDoc::~CWlproDoc() = default;

CWlproDoc::CLoaded CWlproDoc::Read(const QString& path) {
    CLoaded loaded;
    // A file that is not there or cannot be read is said once, in plain words; the readers
    // report what is wrong inside a file they could open.
    const QFileInfo info(path);
    const QString why = !info.exists()       ? QStringLiteral("The file does not exist.")
                        : info.isDir()       ? QStringLiteral("It is a folder.")
                        : !info.isReadable() ? QStringLiteral("You may not read it.")
                                             : QString();
    auto buffer = std::make_unique<CSampleBuffer>();
    loaded.kind = FileKindFor(path);
    if (!why.isEmpty() || !buffer->LoadFile(path, loaded.kind, &loaded.summary)) {
        ReportMessage(
            CMessage{QStringLiteral("Cannot open \"%1\".\n%2")
                         .arg(path, why.isEmpty() ? QStringLiteral("It could not be read.") : why),
                     QString(), CMessageIcon::Warning});
        return loaded;
    }
    loaded.buffer = std::move(buffer);
    return loaded;
}

bool CWlproDoc::Write(const QString& path) const {
    return m_buffer->SaveFile(path, KindFor(path)) != 0;
}

FileKind CWlproDoc::KindFor(const QString& path) const {
    return !m_path.isEmpty() && path == m_path ? m_fileKind : FileKindForPath(path);
}

QString CWlproDoc::SaveLoss(const QString& path) const {
    QStringList losses;
    const QString name = QFileInfo(path).fileName();
    if (path == m_path && m_fileChannels > 2)
        losses << QStringLiteral("%1 holds %2 channels; Wavelathe edits mono and stereo. Saving "
                                 "replaces it with the stereo mix.")
                      .arg(name)
                      .arg(m_fileChannels);
    const FileKind kind = KindFor(path);
    const SampleDepth depth = m_buffer->GetDepth();
    if (!LayoutIsClassic(m_buffer->GetLayout()) && !KindHoldsDepth(kind, depth)) {
        const int bits = kind == FileKind::Voice ? 8 : kind == FileKind::Flac ? 24 : 16;
        const QString what = kind == FileKind::Voice  ? QStringLiteral("a voice file")
                             : kind == FileKind::Flac ? QStringLiteral("a FLAC file")
                                                      : QStringLiteral("raw data");
        const bool isFloat = depth == SampleDepth::Float32;
        losses << QStringLiteral("%1 holds %2 samples; %3 keeps %4 bits. Saving %5.")
                      .arg(m_title,
                           isFloat ? QStringLiteral("32-bit float") : QStringLiteral("24-bit"),
                           what)
                      .arg(bits)
                      .arg(isFloat
                               ? QStringLiteral("rounds every sample to %1 bits and clips what "
                                                "lies beyond full scale")
                                     .arg(bits)
                               : QStringLiteral("keeps the top %1 bits of every sample").arg(bits));
    }
    return losses.join(QLatin1Char('\n'));
}

QString CWlproDoc::LoadNote() const {
    QStringList notes;
    if (m_fileChannels > 2)
        notes << QStringLiteral("%1 channels mixed to stereo").arg(m_fileChannels);
    if (m_integerAsFloat)
        notes << QStringLiteral("32-bit integer samples held as 32-bit float");
    return notes.join(QStringLiteral("; "));
}

void CWlproDoc::SavedAs(const QString& path) {
    const bool noted = !LoadNote().isEmpty();
    m_fileKind = KindFor(path);
    // The file now holds the sample as the document does.
    m_fileChannels = m_buffer->GetChannels();
    m_integerAsFloat = false;
    if (path != m_path || noted) {
        m_path = path;
        m_title = QFileInfo(path).fileName();
        Q_EMIT titleChanged();
    }
    SetModified(false);
}

void CWlproDoc::SetModified(bool modified) {
    m_savedState = m_lastState = m_editor.History().StateId();
    m_unrecorded = modified;
    ShowModified(modified);
}

void CWlproDoc::ShowModified(bool modified) {
    if (modified == m_modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

void CWlproDoc::SampleEdited(quint32 from, quint32 to) {
    m_summary.Update(*m_buffer, from, to);
    // An edit that left the history's state where it was is one no undo takes back.
    const quint64 state = m_editor.History().StateId();
    if (state == m_lastState)
        m_unrecorded = true;
    m_lastState = state;
    ShowModified(true);
    Q_EMIT sampleChanged(from);
}

int CWlproDoc::Undo() {
    return AfterHistoryStep(m_editor.Undo());
}

int CWlproDoc::Redo() {
    return AfterHistoryStep(m_editor.Redo());
}

int CWlproDoc::AfterHistoryStep(int done) {
    if (done) {
        // A step may have changed the length or the layout anywhere: summarise it all again.
        m_summary.Build(*m_buffer);
        m_lastState = m_editor.History().StateId();
        ShowModified(m_unrecorded || m_lastState != m_savedState);
        Q_EMIT sampleChanged(0);
    }
    return done;
}
