#pragma once
// The host side of the component layer, header-only: creates a control from its ProgID without
// linking its library, and binds its members by their dispatch identifiers.
//
// A ProgID resolves through the component registries (per-user first, then the system-wide
// ones); when none serves it, the library installed beside the program is loaded, then the one
// in ../lib from it, so a fresh build runs without registering. Nothing a registry names is
// loaded unless the registry file and the library are this user's or root's and writable by
// nobody else, and the library's path is absolute; no library is loaded that does not export
// the four entry points (read from the file, so a library that lacks them never runs). Each
// refusal and failure is written to the "vantile.host" logging category with its reason. A
// loaded library stays loaded for the life of the process: the controls it creates run its
// code.

#include <dlfcn.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMetaClassInfo>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <cstring>
#include <deque>

#include "vantile/Component.h"
#include "vantile/ComponentRegistry.h"
#include "vantile/LibraryCheck.h"
#include "vantile/PersistPropertyBag.h"
#include "vantile/PropertyBag.h"

namespace vantile {

// Where the host writes why a control could not be had.
inline const QLoggingCategory& HostLog() {
    static const QLoggingCategory category("vantile.host");
    return category;
}

// The entry points every component library exports.
inline QStringList ServerEntryPoints() {
    return {QStringLiteral("DllRegisterServer"), QStringLiteral("DllUnregisterServer"),
            QStringLiteral("DllGetClassObject"), QStringLiteral("DllCanUnloadNow")};
}

// What looking a class up found: the class factory of the library that serves it (null when
// none does), that library, and every place looked at, each as "<path>: <what was found>".
struct ClassLookup {
    IClassFactory* factory = nullptr;
    QString library;
    QStringList places;
};

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

inline QString HexResult(HRESULT hr) {
    return QStringLiteral("0x%1").arg(static_cast<std::uint32_t>(hr), 8, 16, QLatin1Char('0'));
}

// Loads the library at `path` when it exports the entry points and asks it for the class
// factory of `clsid`. `outcome` says what happened; failures are logged.
inline IClassFactory* LoadFactory(const QString& path, const Guid& clsid, QString& outcome) {
    if (!QFileInfo::exists(path)) {
        outcome = QStringLiteral("not found");
        return nullptr;
    }
    const ExportScan scan = ScanExports(path, ServerEntryPoints());
    if (!scan.error.isEmpty()) {
        outcome = QStringLiteral("not loaded, %1").arg(scan.error);
    } else if (!scan.missing.isEmpty()) {
        outcome = QStringLiteral("not loaded, it does not export %1")
                      .arg(scan.missing.join(QStringLiteral(", ")));
    }
    if (!outcome.isEmpty()) {
        qCWarning(HostLog).noquote() << path << outcome;
        return nullptr;
    }
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        outcome = QStringLiteral("cannot be loaded: %1")
                      .arg(QString::fromLocal8Bit(error != nullptr ? error : "unknown error"));
        qCWarning(HostLog).noquote() << path << outcome;
        return nullptr;
    }
    void* symbol = dlsym(handle, "DllGetClassObject");
    if (symbol == nullptr) {
        dlclose(handle);
        outcome = QStringLiteral("has no DllGetClassObject");
        qCWarning(HostLog).noquote() << path << outcome;
        return nullptr;
    }
    DllGetClassObjectFn getClassObject = nullptr;
    static_assert(sizeof(getClassObject) == sizeof(symbol));
    std::memcpy(&getClassObject, &symbol, sizeof(symbol));
    void* object = nullptr;
    const HRESULT hr = getClassObject(&clsid, &kIidClassFactory, &object);
    if (!Succeeded(hr) || object == nullptr) {
        outcome = QStringLiteral("does not serve the class (DllGetClassObject returned %1)")
                      .arg(HexResult(hr));
        qCWarning(HostLog).noquote() << path << outcome;
        return nullptr;
    }
    outcome = QStringLiteral("loaded");
    return static_cast<IClassFactory*>(object);
}

// The library a registry file names for the class, or why there is none to load. Only an
// absolute path is taken; a relative one or a bare name would be looked up from wherever the
// program was started.
inline QString RegisteredLibrary(const QString& registryPath, const KnownClass& known,
                                 QString& outcome) {
    if (!QFileInfo::exists(registryPath)) {
        outcome = QStringLiteral("not found");
        return {};
    }
    if (const QString problem = TrustProblem(registryPath); !problem.isEmpty()) {
        outcome = QStringLiteral("refused, %1").arg(problem);
        qCWarning(HostLog).noquote() << registryPath << outcome;
        return {};
    }
    const QString clsid = QString::fromStdString(ToString(known.clsid));
    const ComponentRegistry registry(registryPath);
    const auto library = registry.ClassOf(QLatin1String(known.progId)) == clsid
                             ? registry.LibraryOf(clsid)
                             : std::nullopt;
    if (!library.has_value() || library->isEmpty()) {
        outcome = QStringLiteral("%1 not registered").arg(QLatin1String(known.progId));
        return {};
    }
    if (!library->startsWith(QLatin1Char('/'))) {
        outcome = QStringLiteral("refused the library \"%1\", not an absolute path").arg(*library);
        qCWarning(HostLog).noquote() << registryPath << outcome;
        return {};
    }
    outcome = QStringLiteral("names %1").arg(*library);
    return *library;
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

// Looks up the class named by `progId` and loads the library that serves it: the registries in
// order, then the program's folders (a library there is trusted as the program itself is).
inline ClassLookup FindClass(const char* progId) {
    ClassLookup found;
    const host_detail::KnownClass* known =
        progId != nullptr ? host_detail::FindKnownClass(QString::fromUtf8(progId)) : nullptr;
    if (known == nullptr) {
        return found;
    }
    const auto attempt = [&](const QString& library) {
        QString outcome;
        found.factory = host_detail::LoadFactory(library, known->clsid, outcome);
        found.places << library + QStringLiteral(": ") + outcome;
        if (found.factory != nullptr) {
            found.library = library;
        }
    };
    for (const QString& registryPath : RegistrySearchPaths()) {
        QString outcome;
        const QString library = host_detail::RegisteredLibrary(registryPath, *known, outcome);
        found.places << registryPath + QStringLiteral(": ") + outcome;
        if (library.isEmpty()) {
            continue;
        }
        if (QFileInfo::exists(library)) {
            if (const QString problem = TrustProblem(library); !problem.isEmpty()) {
                const QString refusal = QStringLiteral("refused, %1").arg(problem);
                qCWarning(HostLog).noquote() << library << refusal;
                found.places << library + QStringLiteral(": ") + refusal;
                continue;
            }
        }
        attempt(library);
        if (found.factory != nullptr) {
            return found;
        }
    }
    for (const QString& dir : host_detail::ProgramDirectories()) {
        attempt(QDir(dir).filePath(QLatin1String(known->libraryName)));
        if (found.factory != nullptr) {
            return found;
        }
    }
    return found;
}

// Creates a control of a class looked up before under `parent` (which owns it), initialised
// from `saved` or as new when `saved` is null. nullptr when the class is not available.
inline QWidget* CreateControl(const ClassLookup& found, QWidget* parent, const PropertyBag* saved) {
    if (found.factory == nullptr) {
        return nullptr;
    }
    QWidget* control = nullptr;
    if (const HRESULT hr = found.factory->CreateInstance(parent, saved, &control); !Succeeded(hr)) {
        qCWarning(HostLog).noquote()
            << found.library << "could not create a control:" << host_detail::HexResult(hr);
        return nullptr;
    }
    return control;
}

// Looks the class up and creates one control of it.
inline QWidget* CreateControl(const char* progId, QWidget* parent, const PropertyBag* saved) {
    return CreateControl(FindClass(progId), parent, saved);
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

namespace host_detail {

// A dispatch identifier resolved on a control class: its property (invalid for a method), the
// property's invokable "Set<member>" that returns the result (invalid when it has none), and
// the member's name.
struct DispMember {
    QByteArray name;
    QMetaProperty property;
    QMetaMethod put;
    int putIndex = -1;  // put's method index
    QMetaType putType;  // put's parameter type
};

// Looks a dispatch identifier up on the control's class.
inline DispMember ResolveDispId(const QObject* control, int id) {
    const QMetaObject* meta = control->metaObject();
    DispMember member;
    member.name = MemberOfDispId(control, id);
    if (!member.name.isEmpty()) {
        member.property = meta->property(meta->indexOfProperty(member.name.constData()));
        const QByteArray setter = QByteArrayLiteral("Set") + member.name;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.name() == setter && method.parameterCount() == 1 &&
                method.returnMetaType() == QMetaType::fromType<HRESULT>()) {
                member.put = method;
                member.putIndex = method.methodIndex();
                member.putType = method.parameterMetaType(0);
                break;
            }
        }
    }
    return member;
}

}  // namespace host_detail

// Dispatch identifiers resolved once per control class and kept: a host that sets the same few
// members of many controls at every redraw keeps one of these and passes it to the calls below
// (a class never changes its members). Without one, each call looks its member up afresh. UI
// thread only, as controls are.
class DispatchCache {
  public:
    const host_detail::DispMember& Resolve(const QObject* control, int id) {
        const QMetaObject* meta = control->metaObject();
        if (last_ != nullptr && last_->meta == meta && last_->id == id) {
            return last_->member;
        }
        for (const Entry& e : resolved_) {
            if (e.meta == meta && e.id == id) {
                last_ = &e;
                return e.member;
            }
        }
        resolved_.push_back(Entry{meta, id, host_detail::ResolveDispId(control, id)});
        last_ = &resolved_.back();
        return last_->member;
    }

  private:
    struct Entry {
        const QMetaObject* meta;
        int id;
        host_detail::DispMember member;
    };
    std::deque<Entry> resolved_;  // references to its entries stay valid
    const Entry* last_ = nullptr;
};

namespace host_detail {

// Runs `use` with the control's member for the identifier, from the cache when there is one.
template <typename Use>
auto WithMember(const QObject* control, int id, DispatchCache* cache, Use use) {
    if (cache != nullptr) {
        return use(cache->Resolve(control, id));
    }
    const DispMember member = ResolveDispId(control, id);
    return use(member);
}

// Calls a resolved put method with an argument of its parameter type.
inline HRESULT CallPut(QObject* control, const DispMember& member, void* argument) {
    HRESULT result = E_FAIL;
    void* arguments[] = {&result, argument};
    QMetaObject::metacall(control, QMetaObject::InvokeMetaMethod, member.putIndex, arguments);
    return result;
}

}  // namespace host_detail

// Sets a property by its dispatch identifier, as a dispatch property put does, and says how it
// went: S_OK; DISP_E_MEMBERNOTFOUND when the control has no such property; DISP_E_TYPEMISMATCH
// when the value does not convert to the property's type; or the error the control refused the
// value with. A control whose property can refuse a value makes that property's setter
// invokable, named "Set<member>" with one parameter, returning the result.
inline HRESULT PutByDispId(QObject* control, int id, const QVariant& value,
                           DispatchCache* cache = nullptr) {
    if (control == nullptr) {
        return E_POINTER;
    }
    return host_detail::WithMember(control, id, cache, [&](const host_detail::DispMember& member) {
        if (!member.property.isValid() || !member.property.isWritable()) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (member.putIndex < 0) {
            return member.property.write(control, value) ? S_OK : DISP_E_TYPEMISMATCH;
        }
        QVariant argument = value;
        if (argument.metaType() != member.putType && !argument.convert(member.putType)) {
            return DISP_E_TYPEMISMATCH;
        }
        return host_detail::CallPut(control, member, argument.data());
    });
}

// The same for a value of a known C++ type, without a QVariant when the setter takes that type:
// what a host uses that sets the same members of many controls at every redraw.
template <typename T>
HRESULT PutByDispId(QObject* control, int id, const T& value, DispatchCache* cache = nullptr) {
    if (control == nullptr) {
        return E_POINTER;
    }
    return host_detail::WithMember(control, id, cache, [&](const host_detail::DispMember& member) {
        if (member.putIndex >= 0 && member.putType == QMetaType::fromType<T>()) {
            T argument = value;
            return host_detail::CallPut(control, member, &argument);
        }
        return PutByDispId(control, id, QVariant::fromValue(value), cache);
    });
}

inline bool SetByDispId(QObject* control, int id, const QVariant& value,
                        DispatchCache* cache = nullptr) {
    return Succeeded(PutByDispId(control, id, value, cache));
}

inline QVariant GetByDispId(const QObject* control, int id, DispatchCache* cache = nullptr) {
    if (control == nullptr) {
        return {};
    }
    return host_detail::WithMember(control, id, cache, [&](const host_detail::DispMember& member) {
        return member.property.isValid() ? member.property.read(control) : QVariant();
    });
}

inline bool InvokeByDispId(QObject* control, int id, DispatchCache* cache = nullptr) {
    if (control == nullptr) {
        return false;
    }
    return host_detail::WithMember(control, id, cache, [&](const host_detail::DispMember& member) {
        return !member.name.isEmpty() &&
               QMetaObject::invokeMethod(control, member.name.constData());
    });
}

// Saved state of a control that keeps it in a property bag (false for one that does not).
inline bool LoadProperties(QObject* control, const PropertyBag& bag) {
    auto* persist = qobject_cast<IPersistPropertyBag*>(control);
    if (persist == nullptr) {
        return false;
    }
    persist->ReadProperties(bag);
    return true;
}

inline bool SaveProperties(const QObject* control, PropertyBag& bag) {
    const auto* persist = qobject_cast<const IPersistPropertyBag*>(control);
    if (persist == nullptr) {
        return false;
    }
    persist->WriteProperties(bag);
    return true;
}

}  // namespace vantile
