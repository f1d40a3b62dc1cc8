#pragma once
// The per-user component registry: a small INI file that maps a ProgID to its class identifier
// and a class identifier to the library that serves it. Libraries write their own entries when
// registered and remove exactly those when unregistered; hosts read it to find a library.
//
// The file is $VANTILE_REGISTRY when that is set (tests point it into a temporary directory),
// otherwise "vantile/components.ini" in the user's configuration folder.

#include <QByteArray>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <optional>

namespace vantile {

inline constexpr const char* kRegistryEnvironment = "VANTILE_REGISTRY";

inline QString RegistryPath() {
    if (const char* env = std::getenv(kRegistryEnvironment); env != nullptr && *env != '\0') {
        return QString::fromLocal8Bit(env);
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vantile/components.ini");
}

// Where hosts look for a class, in order: the per-user registry, then the system-wide ones in
// the configuration folders (where the installed package registers the library for every user).
// Only $VANTILE_REGISTRY when that is set.
inline QStringList RegistrySearchPaths() {
    if (const char* env = std::getenv(kRegistryEnvironment); env != nullptr && *env != '\0') {
        return {QString::fromLocal8Bit(env)};
    }
    QStringList paths;
    for (const QString& dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        paths << dir + QStringLiteral("/vantile/components.ini");
    }
    return paths;
}

// One registered class.
struct Registration {
    QString progId;
    QString clsid;    // "{...}"
    QString library;  // absolute path of the shared library (hosts refuse any other)
    QString libid;    // type library identifier
    QString typeLibVersion;
};

class ComponentRegistry {
  public:
    explicit ComponentRegistry(QString path = RegistryPath())
        : settings_(std::move(path), QSettings::IniFormat) {}

    bool Register(const Registration& r) {
        settings_.setValue(ProgIdKey(r.progId), r.clsid);
        settings_.setValue(ClassKey(r.clsid) + QStringLiteral("/ProgID"), r.progId);
        settings_.setValue(ClassKey(r.clsid) + QStringLiteral("/InprocServer"), r.library);
        settings_.setValue(ClassKey(r.clsid) + QStringLiteral("/TypeLib"), r.libid);
        settings_.setValue(TypeLibKey(r.libid) + QStringLiteral("/Version"), r.typeLibVersion);
        settings_.setValue(TypeLibKey(r.libid) + QStringLiteral("/Path"), r.library);
        return Sync();
    }

    bool Unregister(const Registration& r) {
        settings_.remove(ProgIdKey(r.progId));
        settings_.remove(ClassKey(r.clsid));
        settings_.remove(TypeLibKey(r.libid));
        return Sync();
    }

    std::optional<QString> ClassOf(const QString& progId) const {
        const QVariant v = settings_.value(ProgIdKey(progId));
        return v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt;
    }

    std::optional<QString> LibraryOf(const QString& clsid) const {
        const QVariant v = settings_.value(ClassKey(clsid) + QStringLiteral("/InprocServer"));
        return v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt;
    }

    QStringList AllKeys() const { return settings_.allKeys(); }

  private:
    static QString ProgIdKey(const QString& progId) { return QStringLiteral("ProgID/") + progId; }
    static QString ClassKey(const QString& clsid) { return QStringLiteral("CLSID/") + clsid; }
    static QString TypeLibKey(const QString& libid) { return QStringLiteral("TypeLib/") + libid; }

    // Hosts refuse a registry that others than its owner can write, whatever the umask made
    // of it.
    bool Sync() {
        settings_.sync();
        const QString path = settings_.fileName();
        if (QFile::exists(path)) {
            QFile::setPermissions(
                path, QFile::permissions(path) & ~(QFile::WriteGroup | QFile::WriteOther));
        }
        return settings_.status() == QSettings::NoError;
    }

    mutable QSettings settings_;
};

}  // namespace vantile
