// The library's component entry points: self-registration into the per-user registry, the
// class factory and the unload check.

#include <dlfcn.h>

#include <QFileInfo>

#include "vantile/Component.h"
#include "vantile/ComponentRegistry.h"
#include "vantile/Vantile.h"
#include "vantile/vantilectl_export.h"

namespace vantile {

namespace {

class VantileFactory final : public IClassFactory {
  public:
    HRESULT CreateInstance(QWidget* parent, const PropertyBag* saved, QWidget** control) override {
        if (control == nullptr) {
            return E_POINTER;
        }
        auto* vantile = new Vantile(parent);  // owned by `parent`, or by the caller without one
        if (saved != nullptr) {
            vantile->ReadProperties(*saved);
        } else {
            vantile->InitNew();
        }
        *control = vantile;
        return S_OK;
    }
};

VantileFactory& Factory() {
    static VantileFactory factory;
    return factory;
}

// Absolute path of this library, as the dynamic loader opened it.
QString LibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&LibraryPath), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

Registration ThisRegistration() {
    return Registration{QString::fromLatin1(kVantileProgId),
                        QString::fromStdString(ToString(kClsidVantile)), LibraryPath(),
                        QString::fromStdString(ToString(kLibidVantileCtl)), QStringLiteral("1.0")};
}

}  // namespace

}  // namespace vantile

extern "C" {

VANTILECTL_EXPORT vantile::HRESULT DllRegisterServer() {
    const vantile::Registration registration = vantile::ThisRegistration();
    if (registration.library.isEmpty()) {
        return vantile::SELFREG_E_CLASS;
    }
    vantile::ComponentRegistry registry;
    return registry.Register(registration) ? vantile::S_OK : vantile::SELFREG_E_CLASS;
}

VANTILECTL_EXPORT vantile::HRESULT DllUnregisterServer() {
    vantile::ComponentRegistry registry;
    return registry.Unregister(vantile::ThisRegistration()) ? vantile::S_OK
                                                            : vantile::SELFREG_E_CLASS;
}

VANTILECTL_EXPORT vantile::HRESULT DllGetClassObject(const vantile::Guid* clsid,
                                                     const vantile::Guid* iid, void** object) {
    if (object == nullptr) {
        return vantile::E_POINTER;
    }
    *object = nullptr;
    if (clsid == nullptr || iid == nullptr) {
        return vantile::E_INVALIDARG;
    }
    if (*clsid != vantile::kClsidVantile) {
        return vantile::CLASS_E_CLASSNOTAVAILABLE;
    }
    if (*iid != vantile::kIidClassFactory && *iid != vantile::kIidUnknown) {
        return vantile::E_NOINTERFACE;
    }
    *object = static_cast<vantile::IClassFactory*>(&vantile::Factory());
    return vantile::S_OK;
}

// "Not now" (S_FALSE) while any control lives.
VANTILECTL_EXPORT vantile::HRESULT DllCanUnloadNow() {
    return vantile::Vantile::LiveInstances() == 0 ? vantile::S_OK : vantile::S_FALSE;
}

}  // extern "C"
