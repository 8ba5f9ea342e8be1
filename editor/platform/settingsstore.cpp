#include "platform/settingsstore.h"

#include "platform/inifile.h"

#include <QDir>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <optional>

namespace {

Q_LOGGING_CATEGORY(lcSettings, "wlpro.settings")

const QString kMarker = QStringLiteral("%K");
const QString kRecentSection = QStringLiteral("Recent File List");

CSettingsStore* g_installed = nullptr;

// Earlier versions kept names whole through QSettings, which splits keys at "/" and "\\", by
// escaping these and "%" itself; files keep that form.
QString Escaped(const QString& name) {
    QString stored;
    stored.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'%')
            stored += u"%25";
        else if (c == u'/')
            stored += u"%2F";
        else if (c == u'\\')
            stored += u"%5C";
        else
            stored += c;
    }
    return stored;
}

QString Unescaped(QStringView stored) {
    QString name;
    name.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QStringView code = stored.mid(i, 3);
        const QChar c = code == u"%25"   ? QChar(u'%')
                        : code == u"%2F" ? QChar(u'/')
                        : code == u"%5C" ? QChar(u'\\')
                                         : QChar();
        if (c.isNull()) {
            name += stored[i];
        } else {
            name += c;
            i += 2;
        }
    }
    return name;
}

// Reads an INI file of the store, saying when it is damaged; false when it cannot be read at all,
// so that nothing is written over it.
bool ReadFile(CIniFile& file) {
    switch (file.Read()) {
    case CIniFile::CRead::Read:
    case CIniFile::CRead::Missing:
        return true;
    case CIniFile::CRead::Damaged:
        qCWarning(lcSettings) << file.FilePath()
                              << "is damaged; what cannot be read is dropped at the next write";
        return true;
    case CIniFile::CRead::Unreadable:
        break;
    }
    qCWarning(lcSettings) << "cannot read" << file.FilePath();
    return false;
}

bool WriteFile(const CIniFile& file) {
    if (file.Write())
        return true;
    qCWarning(lcSettings) << "cannot write" << file.FilePath();
    return false;
}

// A key and what is under it, by the names the user sees.
struct CKeyNode {
    std::map<QString, CKeyNode> keys;
    // Values in the form the file stores them.
    std::map<QString, QString> values;
};

// The key tree of one INI file, read whole for one operation.
class CKeyTree {
public:
    explicit CKeyTree(const QString& filePath) : m_file(filePath) {
        m_readable = ReadFile(m_file);
        for (const auto& [path, stored] : m_file.Entries()) {
            QStringList names;
            for (qsizetype i = 0; i + 1 < path.size(); ++i)
                names += Unescaped(path[i]);
            CKeyNode& key = Make(names);
            const QString name = Unescaped(path.last());
            // Earlier versions wrote the marker escaped, as an empty value named "%K".
            const std::optional<QByteArray> bytes = CIniFile::BytesOf(stored);
            const bool marker =
                path.last() == kMarker || (name == kMarker && bytes && bytes->isEmpty());
            if (!marker)
                key.values[name] = stored;
        }
    }

    CKeyNode* Find(const QStringList& names) {
        CKeyNode* node = &m_root;
        for (const QString& name : names) {
            const auto child = node->keys.find(name);
            if (child == node->keys.end())
                return nullptr;
            node = &child->second;
        }
        return node;
    }

    CKeyNode& Make(const QStringList& names) {
        CKeyNode* node = &m_root;
        for (const QString& name : names)
            node = &node->keys[name];
        return *node;
    }

    // Removes the key and everything under it; false when it is absent.
    bool Erase(const QStringList& names) {
        CKeyNode* parent = Find(names.first(names.size() - 1));
        return parent && parent->keys.erase(names.last()) > 0;
    }

    // Writes the tree back: each value under its key's path, a marker in each empty key.
    bool Commit() {
        if (!m_readable)
            return false;
        m_file.Clear();
        Store(m_root, {});
        return WriteFile(m_file);
    }

private:
    void Store(const CKeyNode& node, const QStringList& path) {
        for (const auto& [name, stored] : node.values)
            m_file.SetStored(path + QStringList{Escaped(name)}, stored);
        for (const auto& [name, child] : node.keys)
            Store(child, path + QStringList{Escaped(name)});
        if (!path.isEmpty() && node.values.empty() && node.keys.empty())
            m_file.SetStored(path + QStringList{kMarker}, QString());
    }

    CIniFile m_file;
    bool m_readable = false;
    CKeyNode m_root;
};

CIniFile::CPath ProfileEntry(const QString& section, const QString& key) {
    return {Escaped(section), key};
}

} // namespace

CKeyPath::CKeyPath(const QString& path) {
    if (!path.isEmpty())
        m_names = path.split(u'\\');
}

CKeyPath::CKeyPath(const char* path) : CKeyPath(QString::fromUtf8(path)) {}

CKeyPath CKeyPath::Child(const QString& name) const {
    CKeyPath child = *this;
    child.m_names += name;
    return child;
}

CIniKeyStore::CIniKeyStore(const QString& filePath) : m_filePath(filePath) {}

bool CIniKeyStore::CreateKey(const CKeyPath& key) {
    if (!key.IsValid())
        return false;
    CKeyTree tree(m_filePath);
    if (tree.Find(key.Names()))
        return true;
    tree.Make(key.Names());
    return tree.Commit();
}

bool CIniKeyStore::OpenKey(const CKeyPath& key) {
    return key.IsValid() && CKeyTree(m_filePath).Find(key.Names());
}

bool CIniKeyStore::QueryValue(const CKeyPath& key, const QString& name, void* buffer, quint32 size,
                              quint32* bytesRead) {
    if (!key.IsValid() || name.isEmpty())
        return false;
    CKeyTree tree(m_filePath);
    const CKeyNode* node = tree.Find(key.Names());
    if (!node)
        return false;
    const auto stored = node->values.find(name);
    if (stored == node->values.end())
        return false;
    const std::optional<QByteArray> data = CIniFile::BytesOf(stored->second);
    if (!data)
        return false;
    const auto length = quint32(qMin<qsizetype>(data->size(), std::numeric_limits<quint32>::max()));
    if (bytesRead)
        *bytesRead = length;
    if (quint64(data->size()) > size)
        return false;
    if (length > 0)
        std::memcpy(buffer, data->constData(), length);
    return true;
}

bool CIniKeyStore::SetValue(const CKeyPath& key, const QString& name, const QByteArray& data) {
    if (!key.IsValid() || name.isEmpty())
        return false;
    CKeyTree tree(m_filePath);
    tree.Make(key.Names()).values[name] = CIniFile::StoredBytes(data);
    return tree.Commit();
}

bool CIniKeyStore::EnumKey(const CKeyPath& key, quint32 index, QString& name) {
    if (!key.IsValid())
        return false;
    CKeyTree tree(m_filePath);
    const CKeyNode* node = tree.Find(key.Names());
    if (!node || index >= node->keys.size())
        return false;
    name = std::next(node->keys.begin(), qsizetype(index))->first;
    return true;
}

bool CIniKeyStore::DeleteKey(const CKeyPath& key) {
    if (!key.IsValid() || key.IsRoot())
        return false;
    CKeyTree tree(m_filePath);
    return tree.Erase(key.Names()) && tree.Commit();
}

QString CSettingsStore::DefaultFolder() {
    // Read by hand: in Qt's test mode QStandardPaths ignores XDG_CONFIG_HOME.
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(configHome))
        configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return configHome + QStringLiteral("/Wavelathe Pro");
}

CSettingsStore::CSettingsStore(const QString& folder)
    : m_folder(folder), m_keys(folder + QStringLiteral("/Keys.ini")) {}

CSettingsStore& CSettingsStore::Instance() {
    if (g_installed)
        return *g_installed;
    static CSettingsStore store;
    return store;
}

void CSettingsStore::Install(CSettingsStore* store) {
    g_installed = store;
}

QString CSettingsStore::ProfilePath() const {
    return m_folder + QStringLiteral("/WLPRO.ini");
}

int CSettingsStore::ReadInt(const QString& section, const QString& key, int defaultValue) const {
    CIniFile file(ProfilePath());
    ReadFile(file);
    bool ok = false;
    const int value = file.Text(ProfileEntry(section, key)).value_or(QString()).toInt(&ok);
    return ok ? value : defaultValue;
}

bool CSettingsStore::WriteInt(const QString& section, const QString& key, int value) {
    CIniFile file(ProfilePath());
    if (!ReadFile(file))
        return false;
    file.SetText(ProfileEntry(section, key), QString::number(value));
    return WriteFile(file);
}

QByteArray CSettingsStore::ReadBytes(const QString& section, const QString& key,
                                     const QByteArray& defaultValue) const {
    CIniFile file(ProfilePath());
    ReadFile(file);
    return file.Bytes(ProfileEntry(section, key)).value_or(defaultValue);
}

bool CSettingsStore::WriteBytes(const QString& section, const QString& key,
                                const QByteArray& value) {
    CIniFile file(ProfilePath());
    if (!ReadFile(file))
        return false;
    file.SetBytes(ProfileEntry(section, key), value);
    return WriteFile(file);
}

QStringList CSettingsStore::RecentFiles() const {
    CIniFile file(ProfilePath());
    ReadFile(file);
    QStringList paths;
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const QString path =
            file.Text(ProfileEntry(kRecentSection, QStringLiteral("File%1").arg(i)))
                .value_or(QString());
        if (!path.isEmpty())
            paths += path;
    }
    return paths;
}

bool CSettingsStore::SetRecentFiles(const QStringList& paths) {
    QStringList kept;
    for (const QString& path : paths) {
        if (kept.size() == kMaxRecentFiles)
            break;
        if (!path.isEmpty() && !kept.contains(path))
            kept += path;
    }
    CIniFile file(ProfilePath());
    if (!ReadFile(file))
        return false;
    file.Remove({Escaped(kRecentSection)});
    for (qsizetype i = 0; i < kept.size(); ++i)
        file.SetText(ProfileEntry(kRecentSection, QStringLiteral("File%1").arg(i + 1)), kept[i]);
    return WriteFile(file);
}
