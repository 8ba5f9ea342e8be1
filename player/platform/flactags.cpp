#include "platform/flactags.h"

#include <QFile>
#include <QStringList>

#include <FLAC/metadata.h>

#include <memory>

namespace {
struct TChainFree {
    void operator()(FLAC__Metadata_Chain* chain) const { FLAC__metadata_chain_delete(chain); }
};
struct TIteratorFree {
    void operator()(FLAC__Metadata_Iterator* it) const { FLAC__metadata_iterator_delete(it); }
};
using TChain = std::unique_ptr<FLAC__Metadata_Chain, TChainFree>;
using TIterator = std::unique_ptr<FLAC__Metadata_Iterator, TIteratorFree>;

QString ChainError(FLAC__Metadata_Chain* chain) {
    return QString::fromLatin1(
        FLAC__Metadata_ChainStatusString[FLAC__metadata_chain_status(chain)]);
}
} // namespace

bool TFlacTags::Set(const QString& path, const TTags& tags, QString* error) {
    const QByteArray name = QFile::encodeName(path);
    TChain chain(FLAC__metadata_chain_new());
    if (!chain || !FLAC__metadata_chain_read(chain.get(), name.constData())) {
        if (error)
            *error = chain ? ChainError(chain.get()) : QStringLiteral("out of memory");
        return false;
    }
    TIterator it(FLAC__metadata_iterator_new());
    FLAC__metadata_iterator_init(it.get(), chain.get());
    FLAC__StreamMetadata* comments = nullptr;
    do {
        if (FLAC__metadata_iterator_get_block_type(it.get()) == FLAC__METADATA_TYPE_VORBIS_COMMENT)
            comments = FLAC__metadata_iterator_get_block(it.get());
    } while (!comments && FLAC__metadata_iterator_next(it.get()));
    if (!comments) {
        comments = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
        if (!comments || !FLAC__metadata_iterator_insert_block_after(it.get(), comments)) {
            FLAC__metadata_object_delete(comments);
            if (error)
                *error = QStringLiteral("cannot add the comments");
            return false;
        }
    }
    for (const auto& [key, value] : tags) {
        const QByteArray k = key.toUtf8(), v = value.toUtf8();
        FLAC__StreamMetadata_VorbisComment_Entry entry;
        if (!FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, k.constData(),
                                                                            v.constData()) ||
            !FLAC__metadata_object_vorbiscomment_replace_comment(comments, entry, true, false)) {
            if (error)
                *error = QStringLiteral("cannot set %1").arg(key);
            return false;
        }
    }
    // Padding the encoder left is used when it is enough; otherwise the file is rewritten.
    FLAC__metadata_chain_sort_padding(chain.get());
    if (!FLAC__metadata_chain_write(chain.get(), true, false)) {
        if (error)
            *error = ChainError(chain.get());
        return false;
    }
    return true;
}

QStringList TFlacTags::Read(const QString& path) {
    QStringList out;
    FLAC__StreamMetadata* tags = nullptr;
    if (!FLAC__metadata_get_tags(QFile::encodeName(path).constData(), &tags))
        return out;
    const auto& vc = tags->data.vorbis_comment;
    for (FLAC__uint32 i = 0; i < vc.num_comments; ++i)
        out << QString::fromUtf8(reinterpret_cast<const char*>(vc.comments[i].entry),
                                 int(vc.comments[i].length));
    FLAC__metadata_object_delete(tags);
    return out;
}
