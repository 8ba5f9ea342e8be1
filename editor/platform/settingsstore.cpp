#include "platform/settingsstore.h"

#include <QDir>
#include <QLoggingCategory>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

Q_LOGGING_CATEGORY(lcSettings, "wlpro.settings")

const QString kMarker = QStringLiteral("%K");
const QString kRecentSection = QStringLiteral("Recent File List");

CSettingsStore* g_installed = nullptr;

// QSettings documents both "/" and "\\" as key separators; "%" is escaped too so that unescaping
// is exact.
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

QString Group(const QStringList& names) {
    QStringList stored;
    stored.reserve(names.size());
    for (const QString& name : names)
        stored += Escaped(name);
    return stored.join(u'/');
}

QString Entry(const QString& group, const QString& name) {
    return group.isEmpty() ? Escaped(name) : group + u'/' + Escaped(name);
}

// One QSettings per operation, so that its status speaks of this operation alone.
class CIniFile : public QSettings {
public:
    explicit CIniFile(const QString& path) : QSettings(path, QSettings::IniFormat) {
        if (status() == QSettings::FormatError)
            qCWarning(lcSettings) << path
                                  << "is damaged; what cannot be read is dropped at the next write";
    }

    bool Commit() {
        sync();
        // A damaged file leaves the status at FormatError, which would hide a failed write.
        if (isWritable() && status() != QSettings::AccessError)
            return true;
        qCWarning(lcSettings) << "cannot write" << fileName();
        return false;
    }

    bool HasGroup(const QString& group) {
        beginGroup(group);
        const bool found = !childKeys().isEmpty() || !childGroups().isEmpty();
        endGroup();
        return found;
    }

    // Marks the key and each of its parents, so that they exist even when empty.
    void Mark(const QStringList& names) {
        for (qsizetype depth = 1; depth <= names.size(); ++depth) {
            const QString marker = Entry(Group(names.first(depth)), kMarker);
            if (!contains(marker))
                setValue(marker, QByteArray());
        }
    }
};

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

CQtKeyStore::CQtKeyStore(const QString& filePath) : m_filePath(filePath) {}

bool CQtKeyStore::CreateKey(const CKeyPath& key) {
    if (!key.IsValid())
        return false;
    CIniFile file(m_filePath);
    file.Mark(key.Names());
    return file.Commit();
}

bool CQtKeyStore::OpenKey(const CKeyPath& key) {
    if (!key.IsValid())
        return false;
    CIniFile file(m_filePath);
    return key.IsRoot() || file.HasGroup(Group(key.Names()));
}

bool CQtKeyStore::QueryValue(const CKeyPath& key, const QString& name, void* buffer, quint32 size,
                             quint32* bytesRead) {
    if (!key.IsValid() || name.isEmpty())
        return false;
    CIniFile file(m_filePath);
    const QVariant value = file.value(Entry(Group(key.Names()), name));
    if (!value.isValid())
        return false;
    const QByteArray data = value.toByteArray();
    const auto length = quint32(qMin<qsizetype>(data.size(), std::numeric_limits<quint32>::max()));
    if (bytesRead)
        *bytesRead = length;
    if (quint64(data.size()) > size)
        return false;
    if (length > 0)
        std::memcpy(buffer, data.constData(), length);
    return true;
}

bool CQtKeyStore::SetValue(const CKeyPath& key, const QString& name, const QByteArray& data) {
    if (!key.IsValid() || name.isEmpty())
        return false;
    CIniFile file(m_filePath);
    file.Mark(key.Names());
    file.setValue(Entry(Group(key.Names()), name), data);
    return file.Commit();
}

bool CQtKeyStore::EnumKey(const CKeyPath& key, quint32 index, QString& name) {
    if (!key.IsValid())
        return false;
    CIniFile file(m_filePath);
    file.beginGroup(Group(key.Names()));
    QStringList names = file.childGroups();
    if (index >= quint32(names.size()))
        return false;
    for (QString& child : names)
        child = Unescaped(child);
    std::sort(names.begin(), names.end());
    name = names[index];
    return true;
}

bool CQtKeyStore::DeleteKey(const CKeyPath& key) {
    if (!key.IsValid() || key.IsRoot())
        return false;
    CIniFile file(m_filePath);
    const QString group = Group(key.Names());
    if (!file.HasGroup(group))
        return false;
    file.remove(group);
    return file.Commit();
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
    bool ok = false;
    const int value = CIniFile(ProfilePath()).value(Entry(Escaped(section), key)).toInt(&ok);
    return ok ? value : defaultValue;
}

bool CSettingsStore::WriteInt(const QString& section, const QString& key, int value) {
    CIniFile file(ProfilePath());
    file.setValue(Entry(Escaped(section), key), value);
    return file.Commit();
}

QByteArray CSettingsStore::ReadBytes(const QString& section, const QString& key,
                                     const QByteArray& defaultValue) const {
    const QVariant value = CIniFile(ProfilePath()).value(Entry(Escaped(section), key));
    return value.isValid() ? value.toByteArray() : defaultValue;
}

bool CSettingsStore::WriteBytes(const QString& section, const QString& key,
                                const QByteArray& value) {
    CIniFile file(ProfilePath());
    file.setValue(Entry(Escaped(section), key), value);
    return file.Commit();
}

QStringList CSettingsStore::RecentFiles() const {
    CIniFile file(ProfilePath());
    QStringList paths;
    for (int i = 1; i <= kMaxRecentFiles; ++i) {
        const QString path =
            file.value(Entry(Escaped(kRecentSection), QStringLiteral("File%1").arg(i))).toString();
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
    file.remove(Escaped(kRecentSection));
    for (qsizetype i = 0; i < kept.size(); ++i)
        file.setValue(Entry(Escaped(kRecentSection), QStringLiteral("File%1").arg(i + 1)), kept[i]);
    return file.Commit();
}
