#pragma once
// The host side of the component layer, header-only: creates a control from its ProgID without
// linking its library, and binds its members by their dispatch identifiers.
//
// A ProgID resolves through the per-user registry when it is registered there; otherwise the
// library installed beside the program is loaded, so a fresh build runs without registering.
// A loaded library stays loaded for the life of the process: the controls it creates run its
// code.

#include <dlfcn.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaClassInfo>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <cstring>

#include "vantile/Component.h"
#include "vantile/ComponentRegistry.h"
#include "vantile/PropertyBag.h"

namespace vantile {

namespace host_detail {

struct KnownClass {
    const char* progId;
    Guid clsid;
    const char* libraryName;
};

// The classes this helper knows how to find beside the program.
inline const KnownClass* FindKnownClass(const QString& progId) {
    static constexpr KnownClass kKnown[] = {{kVantileProgId, kClsidVantile, "libVantileCtl.so"}};
    for (const KnownClass& k : kKnown) {
        if (progId.compare(QLatin1String(k.progId), Qt::CaseInsensitive) == 0) {
            return &k;
        }
    }
    return nullptr;
}

inline QWidget* CreateFromLibrary(const QString& path, const Guid& clsid, QWidget* parent,
                                  const PropertyBag* saved) {
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return nullptr;
    }
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return nullptr;
    }
    void* symbol = dlsym(handle, "DllGetClassObject");
    if (symbol == nullptr) {
        dlclose(handle);
        return nullptr;
    }
    DllGetClassObjectFn getClassObject = nullptr;
    static_assert(sizeof(getClassObject) == sizeof(symbol));
    std::memcpy(&getClassObject, &symbol, sizeof(symbol));
    void* object = nullptr;
    if (!Succeeded(getClassObject(&clsid, &kIidClassFactory, &object)) || object == nullptr) {
        return nullptr;
    }
    QWidget* control = nullptr;
    if (!Succeeded(static_cast<IClassFactory*>(object)->CreateInstance(parent, saved, &control))) {
        return nullptr;
    }
    return control;
}

// The program's own folder (the build tree keeps the library beside the program), then the
// installed layout's library folder, ../lib from the program's bin/.
inline QStringList ProgramDirectories() {
    QStringList programDirs;
    if (QCoreApplication::instance() != nullptr) {
        programDirs << QCoreApplication::applicationDirPath();
    }
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!self.isEmpty()) {
        programDirs << QFileInfo(self).absolutePath();
    }
    QStringList dirs;
    for (const QString& dir : programDirs) {
        for (const QString& candidate : {dir, QDir::cleanPath(dir + QStringLiteral("/../lib"))}) {
            if (!dirs.contains(candidate)) {
                dirs << candidate;
            }
        }
    }
    return dirs;
}

}  // namespace host_detail

// Creates the control named by `progId` under `parent` (which owns it), initialised from `saved`
// or as new when `saved` is null. nullptr when the class or its library is not available.
inline QWidget* CreateControl(const char* progId, QWidget* parent, const PropertyBag* saved) {
    if (progId == nullptr) {
        return nullptr;
    }
    const QString name = QString::fromUtf8(progId);
    const host_detail::KnownClass* known = host_detail::FindKnownClass(name);
    if (known == nullptr) {
        return nullptr;
    }
    const QString clsid = QString::fromStdString(ToString(known->clsid));
    for (const QString& path : RegistrySearchPaths()) {
        if (!QFileInfo::exists(path)) {
            continue;
        }
        const ComponentRegistry registry(path);
        if (registry.ClassOf(QLatin1String(known->progId)) == clsid) {
            if (const auto library = registry.LibraryOf(clsid)) {
                if (QWidget* control =
                        host_detail::CreateFromLibrary(*library, known->clsid, parent, saved)) {
                    return control;
                }
            }
        }
    }
    for (const QString& dir : host_detail::ProgramDirectories()) {
        const QString path = QDir(dir).filePath(QLatin1String(known->libraryName));
        if (QWidget* control = host_detail::CreateFromLibrary(path, known->clsid, parent, saved)) {
            return control;
        }
    }
    return nullptr;
}

// Dispatch binding: a control lists its members' dispatch identifiers as class information
// "DispId:<member>" = "<identifier>".
inline QByteArray MemberOfDispId(const QObject* control, int id) {
    if (control == nullptr) {
        return {};
    }
    const QMetaObject* meta = control->metaObject();
    const QByteArray value = QByteArray::number(id);
    for (int i = 0; i < meta->classInfoCount(); ++i) {
        const QMetaClassInfo info = meta->classInfo(i);
        const QByteArray key = info.name();
        if (key.startsWith("DispId:") && value == info.value()) {
            return key.mid(7);
        }
    }
    return {};
}

inline bool SetByDispId(QObject* control, int id, const QVariant& value) {
    const QByteArray member = MemberOfDispId(control, id);
    return !member.isEmpty() && control->setProperty(member.constData(), value);
}

inline QVariant GetByDispId(const QObject* control, int id) {
    const QByteArray member = MemberOfDispId(control, id);
    return member.isEmpty() ? QVariant() : control->property(member.constData());
}

inline bool InvokeByDispId(QObject* control, int id) {
    const QByteArray member = MemberOfDispId(control, id);
    return !member.isEmpty() && QMetaObject::invokeMethod(control, member.constData());
}

}  // namespace vantile
