#pragma once
// The editor's settings: a tree of keys holding raw byte values (the presets of the curve and
// format dialogs live there) and the application profile (window places, tool-bar layout, recent
// files). Both are INI files in one folder, by default "$XDG_CONFIG_HOME/Wavelathe Pro":
//   Keys.ini   the key tree
//   WLPRO.ini  the profile
// Both are in the form QSettings writes (see CIniFile), so that files of earlier versions read
// the same, but they are read and written by CIniFile: QSettings would decode any foreign typed
// value in them while reading, however long that takes. Every change is written to disk before the
// call returns, atomically (a temporary file renamed over the old one), so a crash never leaves
// half a file. A damaged file is read as far as it can be (with a warning in "wlpro.settings");
// the next change rewrites it whole. A file that cannot be read at all is never written over.
// GUI thread only.

#include <QByteArray>
#include <QString>
#include <QStringList>

// A key's place in the tree: its names from the root down. A backslash path
// ("SOFTWARE\\Wavelathe Pro") splits at every backslash; Child() appends one name whole, so user
// text (a preset name) must go in through Child() to keep any backslash in it part of the name.
// The empty path is the root. A path with an empty name in it ("A\\\\B", "A\\") names no key:
// every operation on it fails.
class CKeyPath {
public:
    CKeyPath() = default;
    CKeyPath(const QString& path); // NOLINT(google-explicit-constructor): paths read as strings
    CKeyPath(const char* path);    // NOLINT(google-explicit-constructor)

    CKeyPath Child(const QString& name) const;
    const QStringList& Names() const { return m_names; }
    bool IsRoot() const { return m_names.isEmpty(); }
    bool IsValid() const { return !m_names.contains(QString()); }

private:
    QStringList m_names;
};

// A tree of keys, each holding named values of raw bytes and subkeys. Every operation reports
// success as a bool and never shows anything to the user.
// - Names of keys and values are any non-empty text, compared case-sensitively, kept unchanged
//   whatever characters they hold ("/", "\\", "%", "=", spaces, non-ASCII) and of any length:
//   enumeration returns a name whole or not at all, never cut to a buffer size.
// - A key exists from CreateKey() or SetValue() until DeleteKey(), with or without values or
//   subkeys; creating a key creates its missing parents, deleting it leaves its parent.
// - The root always exists and cannot be deleted.
class CKeyStore {
public:
    virtual ~CKeyStore() = default;

    // Creates the key and any missing parents, or opens it when it exists already.
    virtual bool CreateKey(const CKeyPath& key) = 0;
    // Whether the key exists.
    virtual bool OpenKey(const CKeyPath& key) = 0;
    // Copies the value into `buffer` of `size` bytes and sets *bytesRead (when given) to its
    // length. Fails when the key or the value is absent, or when the value is longer than `size`:
    // then the buffer is left untouched and *bytesRead is the size the value needs.
    virtual bool QueryValue(const CKeyPath& key, const QString& name, void* buffer, quint32 size,
                            quint32* bytesRead) = 0;
    // Stores `data` byte for byte, replacing any value of that name; creates the key as needed.
    virtual bool SetValue(const CKeyPath& key, const QString& name, const QByteArray& data) = 0;
    // The name of subkey number `index` (from 0) of `key`; fails past the last subkey. The order
    // is that of the names' Unicode code units and stays the same while the subkeys do.
    virtual bool EnumKey(const CKeyPath& key, quint32 index, QString& name) = 0;
    // Removes the key with its values and everything under it. Fails when it is absent.
    virtual bool DeleteKey(const CKeyPath& key) = 0;
};

// The key tree in an INI file. A key is a path of names, a value an entry under its key's path
// holding "@ByteArray(...)". Each name is first written with "%", "/" and "\\" as "%25", "%2F"
// and "%5C" (as earlier versions did, for QSettings, which splits names at "/" and "\\"); an
// empty key holds a marker entry "%K" (a form no such name takes) so that it exists on disk.
// Earlier versions wrote the marker as an empty value named "%K", so such a value reads as absent.
// Whatever names a file holds, the tree lists them as they read, and each listed name opens,
// reads and deletes its key: a hand-written "50%" is the key "50%".
class CIniKeyStore : public CKeyStore {
public:
    explicit CIniKeyStore(const QString& filePath);

    QString FilePath() const { return m_filePath; }

    bool CreateKey(const CKeyPath& key) override;
    bool OpenKey(const CKeyPath& key) override;
    bool QueryValue(const CKeyPath& key, const QString& name, void* buffer, quint32 size,
                    quint32* bytesRead) override;
    bool SetValue(const CKeyPath& key, const QString& name, const QByteArray& data) override;
    bool EnumKey(const CKeyPath& key, quint32 index, QString& name) override;
    bool DeleteKey(const CKeyPath& key) override;

private:
    QString m_filePath;
};

// The editor's settings folder: its profile and its key tree. The folder is fixed when the store
// is constructed; tests point a store at a temporary folder by constructing it there, or by
// setting XDG_CONFIG_HOME before the process-wide store is first used.
class CSettingsStore {
public:
    static constexpr int kMaxRecentFiles = 4;

    // "$XDG_CONFIG_HOME/Wavelathe Pro" when XDG_CONFIG_HOME holds an absolute path (also in Qt's
    // test mode), else "Wavelathe Pro" in Qt's generic configuration folder.
    static QString DefaultFolder();

    explicit CSettingsStore(const QString& folder = DefaultFolder());

    // The process-wide store: the one given to Install(), else one made in DefaultFolder() on
    // first use.
    static CSettingsStore& Instance();
    // Makes `store` the process-wide store (nullptr: back to the default); the caller keeps it
    // alive while installed.
    static void Install(CSettingsStore* store);
    // The process-wide key tree, for the preset dialogs.
    static CKeyStore& Registry() { return Instance().Keys(); }

    QString Folder() const { return m_folder; }
    QString ProfilePath() const;
    CKeyStore& Keys() { return m_keys; }

    // Profile entries live in INI section `section` under `key`. Reads give `defaultValue` for an
    // absent entry (and for one that is not a whole number, in ReadInt).
    int ReadInt(const QString& section, const QString& key, int defaultValue) const;
    bool WriteInt(const QString& section, const QString& key, int value);
    QByteArray ReadBytes(const QString& section, const QString& key,
                         const QByteArray& defaultValue = {}) const;
    bool WriteBytes(const QString& section, const QString& key, const QByteArray& value);

    // Most recent first, at most kMaxRecentFiles, in section "Recent File List" as "File1"...
    QStringList RecentFiles() const;
    // Stores the first kMaxRecentFiles distinct non-empty paths of `paths` and drops the rest.
    bool SetRecentFiles(const QStringList& paths);

private:
    QString m_folder;
    CIniKeyStore m_keys;
};
