#include "ui/pptyinformation.h"

#include "ui/wlproview.h"

#include "core/reporter.h"
#include "core/samplebuffer.h"
#include "core/wlprodoc.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr quint64 kRiffLimit = 0xFFFFFFFFu;
// The writer signs every file under ISFT with its own name, whatever the text held before; no
// name it writes is longer than this.
constexpr int kSignatureRoom = 64;

// A text's chunk: its head, the text with its NUL, and a pad byte to an even size.
quint64 TextChunkBytes(quint64 textBytes) {
    const quint64 body = textBytes + 1;
    return 8 + body + (body & 1);
}

// UTF-8 bytes of the character starting at `at`, and the UTF-16 units it takes in `units`. A
// lone surrogate counts as the three bytes of the replacement character, never less than the
// encoder writes.
quint64 Utf8Bytes(QStringView text, qsizetype at, qsizetype& units) {
    const char16_t c = text[at].unicode();
    units = 1;
    if (QChar::isHighSurrogate(c) && at + 1 < text.size() &&
        QChar::isLowSurrogate(text[at + 1].unicode())) {
        units = 2;
        return 4;
    }
    return c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
}

void ReportCut(const CFittedText& fitted) {
    const QString text =
        fitted.cut == CInfoCut::AtNul
            ? QStringLiteral("The text ends at its first null character: a wave file cannot keep "
                             "what follows it.")
            : QStringLiteral("The text has been shortened to %1 bytes: a wave file cannot hold "
                             "more beside this sample and its other texts.")
                  .arg(fitted.text.toUtf8().size());
    ReportMessage(CMessage{text, QStringLiteral("Sample Properties"), CMessageIcon::Information});
}

// Line edits cut at 32767 characters unless told otherwise; the fitting decides instead.
QLineEdit* MakeLineEdit() {
    auto* edit = new QLineEdit;
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

} // namespace

CFittedText FitInfoText(const QString& text, quint64 roomBytes) {
    CFittedText fitted;
    QStringView kept(text);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) {
        kept = kept.left(nul);
        fitted.cut = CInfoCut::AtNul;
    }
    quint64 bytes = 0;
    qsizetype end = 0;
    while (end < kept.size()) {
        qsizetype units = 1;
        const quint64 size = Utf8Bytes(kept, end, units);
        if (bytes + size > roomBytes) {
            fitted.cut = CInfoCut::AtRoom;
            break;
        }
        bytes += size;
        end += units;
    }
    fitted.text = kept.left(end).toString();
    return fitted;
}

quint64 WaveTextRoom(quint64 dataBytes, const QByteArrayList& otherTexts) {
    // What the RIFF size counts besides this text: "WAVE", the LIST chunk's head and "INFO",
    // the other texts, the 16-byte "fmt " chunk and the padded "data" chunk.
    quint64 used = 4 + 8 + 4 + (8 + 16) + (8 + dataBytes + (dataBytes & 1));
    for (const QByteArray& other : otherTexts)
        if (!other.isEmpty())
            used += TextChunkBytes(quint64(other.size()));
    used += 8;
    if (used >= kRiffLimit)
        return 0;
    // The text, its NUL and the pad must fit in what is left, an even number of bytes.
    const quint64 even = (kRiffLimit - used) & ~quint64(1);
    return even > 0 ? even - 1 : 0;
}

quint64 InfoTextRoom(const CSampleBuffer& buffer, int index) {
    QByteArrayList others;
    for (int i = 0; i < InfoTextCount; ++i) {
        if (i == index)
            continue;
        QByteArray text = buffer.GetInfo(i).toUtf8();
        if (i == InfoSoftware && text.size() < kSignatureRoom)
            text.resize(kSignatureRoom, ' ');
        others.append(text);
    }
    return WaveTextRoom(buffer.GetByteLength(), others);
}

CPptyInformation::CPptyInformation(QWidget* parent)
    : QWidget(parent), m_name(MakeLineEdit()), m_artist(MakeLineEdit()),
      m_comments(new QPlainTextEdit), m_copyright(MakeLineEdit()) {
    m_comments->setTabChangesFocus(true);
    // Room for four lines of comments.
    const int line = m_comments->fontMetrics().lineSpacing();
    m_comments->setFixedHeight(line * 4 + 2 * m_comments->frameWidth() +
                               int(m_comments->document()->documentMargin() * 2));

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(QStringLiteral("&Artist:"), m_artist);
    form->addRow(QStringLiteral("&Comments:"), m_comments);
    form->addRow(QStringLiteral("Co&pyright:"), m_copyright);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();

    for (const auto& [edit, index] : Lines())
        connect(edit, &QLineEdit::textEdited, this,
                [this, edit = edit, index = index] { OnLineEdited(edit, index); });
    connect(m_comments, &QPlainTextEdit::textChanged, this, &CPptyInformation::OnCommentsChanged);
    SetView(nullptr);
}

std::array<std::pair<QLineEdit*, int>, 3> CPptyInformation::Lines() const {
    return {{{m_name, InfoName}, {m_artist, InfoArtist}, {m_copyright, InfoCopyright}}};
}

void CPptyInformation::SetView(CWlproView* view) {
    m_view = view;
    setEnabled(view != nullptr);
    Refresh();
}

void CPptyInformation::Refresh() {
    const CSampleBuffer* buffer = m_view ? &m_view->Document()->Buffer() : nullptr;
    auto info = [buffer](int index) { return buffer ? buffer->GetInfo(index) : QString(); };
    m_refreshing = true;
    for (const auto& [edit, index] : Lines())
        if (edit->text() != info(index))
            edit->setText(info(index));
    if (m_comments->toPlainText() != info(InfoComments))
        m_comments->setPlainText(info(InfoComments));
    m_refreshing = false;
}

void CPptyInformation::Store(int index, const QString& text) {
    if (!m_view)
        return;
    CWlproDoc* doc = m_view->Document();
    if (doc->Buffer().GetInfo(index) == text)
        return;
    doc->Buffer().SetInfo(index, text);
    doc->SetModified(true);
}

void CPptyInformation::OnLineEdited(QLineEdit* edit, int index) {
    if (!m_view)
        return;
    const CFittedText fitted =
        FitInfoText(edit->text(), InfoTextRoom(m_view->Document()->Buffer(), index));
    if (fitted.cut != CInfoCut::None)
        edit->setText(fitted.text);
    Store(index, fitted.text);
    if (fitted.cut != CInfoCut::None)
        ReportCut(fitted);
}

void CPptyInformation::OnCommentsChanged() {
    if (m_refreshing || !m_view)
        return;
    const CFittedText fitted = FitInfoText(
        m_comments->toPlainText(), InfoTextRoom(m_view->Document()->Buffer(), InfoComments));
    if (fitted.cut != CInfoCut::None) {
        m_refreshing = true;
        m_comments->setPlainText(fitted.text);
        m_comments->moveCursor(QTextCursor::End);
        m_refreshing = false;
    }
    Store(InfoComments, fitted.text);
    if (fitted.cut != CInfoCut::None)
        ReportCut(fitted);
}
