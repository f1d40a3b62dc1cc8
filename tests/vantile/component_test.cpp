// The component layer as a host sees it: the real control library, loaded at run time.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "support/LogCapture.h"
#include "vantile/ComponentHost.h"

namespace vantile {
namespace {

template <typename Fn>
Fn Entry(void* library, const char* name) {
    void* symbol = dlsym(library, name);
    Fn fn = nullptr;
    if (symbol != nullptr) {
        std::memcpy(&fn, &symbol, sizeof(fn));
    }
    return fn;
}

// The library file the control of `object` runs from.
QString LibraryOf(const QObject* object) {
    Dl_info info{};
    if (dladdr(static_cast<const void*>(object->metaObject()), &info) == 0) {
        return {};
    }
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalFilePath();
}

class ComponentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        registryFile = temp.filePath("components.ini");
        setenv(kRegistryEnvironment, registryFile.toLocal8Bit().constData(), 1);
        library = dlopen(VANTILE_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        registerServer = Entry<DllRegisterServerFn>(library, "DllRegisterServer");
        unregisterServer = Entry<DllUnregisterServerFn>(library, "DllUnregisterServer");
        getClassObject = Entry<DllGetClassObjectFn>(library, "DllGetClassObject");
        canUnloadNow = Entry<DllCanUnloadNowFn>(library, "DllCanUnloadNow");
        ASSERT_NE(registerServer, nullptr);
        ASSERT_NE(unregisterServer, nullptr);
        ASSERT_NE(getClassObject, nullptr);
        ASSERT_NE(canUnloadNow, nullptr);
        host = std::make_unique<QWidget>();
    }
    void TearDown() override {
        host.reset();
        unsetenv(kRegistryEnvironment);
        // The library stays loaded, as it does in a host: its code may still be referenced.
    }

    QTemporaryDir temp;
    QString registryFile;
    void* library = nullptr;
    DllRegisterServerFn registerServer = nullptr;
    DllUnregisterServerFn unregisterServer = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
    std::unique_ptr<QWidget> host;
};

TEST_F(ComponentTest, CreatesByProgIdFromTheLibraryBesideTheProgram) {
    PropertyBag saved;
    saved.Write("backcolor", std::int32_t{0x00C0C0FF});
    saved.Write("edge", std::int32_t{3});
    saved.Write("caption", std::string("R"));
    QWidget* control = CreateControl("VantileCtl.Vantile", host.get(), &saved);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget(), host.get());
    EXPECT_STREQ(control->metaObject()->className(), "vantile::Vantile");
    EXPECT_EQ(control->property("BackColor").toUInt(), 0x00C0C0FFu);
    EXPECT_EQ(control->property("Edge").toInt(), 3);
    EXPECT_EQ(GetByDispId(control, dispid::Caption).toString(), "R");
    EXPECT_EQ(LibraryOf(control), QFileInfo(VANTILE_LIBRARY_FILE).canonicalFilePath());

    QWidget* fresh = CreateControl("vantilectl.vantile", host.get(), nullptr);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->property("Caption").toString(), "Vantile");
    EXPECT_EQ(fresh->property("Edge").toInt(), 0);

    EXPECT_EQ(CreateControl("VantileCtl.Other", host.get(), nullptr), nullptr);
    EXPECT_EQ(CreateControl(nullptr, host.get(), nullptr), nullptr);
    EXPECT_FALSE(QFile::exists(registryFile));  // creating registers nothing
}

TEST_F(ComponentTest, HostBindsMembersAndEventsByName) {
    QWidget* control = CreateControl(kVantileProgId, host.get(), nullptr);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(SetByDispId(control, dispid::BackColor, QVariant::fromValue<uint>(0x00C0C0C0)));
    EXPECT_TRUE(SetByDispId(control, dispid::Caption, QStringLiteral("5")));
    EXPECT_TRUE(InvokeByDispId(control, dispid::Refresh));
    EXPECT_EQ(control->property("BackColor").toUInt(), 0x00C0C0C0u);
    EXPECT_EQ(control->property("Caption").toString(), "5");
    QSignalSpy down(control, SIGNAL(MouseDown(short, short, float, float)));
    ASSERT_TRUE(down.isValid());
    QSignalSpy caption(control, SIGNAL(captionChanged(QString)));
    ASSERT_TRUE(caption.isValid());
    EXPECT_EQ(PutByDispId(control, dispid::Caption, QStringLiteral("6")), S_OK);
    EXPECT_EQ(caption.count(), 1);
    EXPECT_EQ(PutByDispId(control, 12345, 1), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(PutByDispId(control, dispid::Font, QPoint(1, 2)), DISP_E_TYPEMISMATCH);

    // Saved state through the persistence interface, without linking the control.
    PropertyBag in;
    in.Write("caption", std::string("7"));
    in.Write("edge", std::int32_t{4});
    ASSERT_TRUE(LoadProperties(control, in));
    PropertyBag out;
    ASSERT_TRUE(SaveProperties(control, out));
    EXPECT_EQ(out.Keys(), (std::vector<std::string>{"Edge", "Caption"}));
    EXPECT_EQ(out.ReadString("Caption"), "7");
    EXPECT_FALSE(SaveProperties(host.get(), out));
}

TEST_F(ComponentTest, RegistrationWritesAndRemovesExactlyItsEntries) {
    // The registry is written so that hosts accept it, whatever the umask.
    const mode_t umaskBefore = umask(0);
    {
        ComponentRegistry other(registryFile);
        ASSERT_TRUE(
            other.Register({"Other.Control", "{00000000-0000-0000-0000-000000000001}",
                            "/x/libOther.so", "{00000000-0000-0000-0000-000000000002}", "2.0"}));
    }
    const QStringList before = ComponentRegistry(registryFile).AllKeys();

    EXPECT_EQ(registerServer(), S_OK);
    umask(umaskBefore);
    EXPECT_EQ(QFileInfo(registryFile).permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
    const ComponentRegistry registry(registryFile);
    const QString clsid = QString::fromStdString(ToString(kClsidVantile));
    EXPECT_EQ(clsid, "{6C3A1F52-8D27-4B9E-A15E-3F0C7B42D981}");
    EXPECT_EQ(registry.ClassOf("VantileCtl.Vantile"), clsid);
    ASSERT_TRUE(registry.LibraryOf(clsid).has_value());
    EXPECT_EQ(QFileInfo(*registry.LibraryOf(clsid)).canonicalFilePath(),
              QFileInfo(VANTILE_LIBRARY_FILE).canonicalFilePath());
    EXPECT_GT(registry.AllKeys().size(), before.size());

    EXPECT_EQ(unregisterServer(), S_OK);
    EXPECT_EQ(ComponentRegistry(registryFile).AllKeys(), before);
    EXPECT_EQ(ComponentRegistry(registryFile).ClassOf("Other.Control"),
              "{00000000-0000-0000-0000-000000000001}");
}

TEST_F(ComponentTest, ARegisteredLibraryIsPreferredAndAStaleEntryFallsBack) {
    // A second copy of the library registers itself; creation then runs from that copy.
    const QString copy = temp.filePath("libVantileCtl.so.1");
    ASSERT_TRUE(QFile::copy(VANTILE_LIBRARY_FILE, copy));
    void* copied = dlopen(QFile::encodeName(copy).constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(copied, nullptr) << dlerror();
    auto copiedRegister = Entry<DllRegisterServerFn>(copied, "DllRegisterServer");
    ASSERT_NE(copiedRegister, nullptr);
    ASSERT_EQ(copiedRegister(), S_OK);
    QWidget* control = CreateControl(kVantileProgId, host.get(), nullptr);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(LibraryOf(control), QFileInfo(copy).canonicalFilePath());

    // An entry naming a library that is gone: the one beside the program serves.
    ComponentRegistry registry(registryFile);
    Registration stale{kVantileProgId, QString::fromStdString(ToString(kClsidVantile)),
                       temp.filePath("gone/libVantileCtl.so"),
                       QString::fromStdString(ToString(kLibidVantileCtl)), "1.0"};
    ASSERT_TRUE(registry.Register(stale));
    QWidget* fallback = CreateControl(kVantileProgId, host.get(), nullptr);
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(LibraryOf(fallback), QFileInfo(VANTILE_LIBRARY_FILE).canonicalFilePath());
}

TEST_F(ComponentTest, RegistryEntriesThatCouldLoadForeignCodeAreRefused) {
    // Each case registers a library of the test's own, then spoils one thing: the host must
    // refuse it without running it, say why, and take the library beside the program instead.
    const QString mark = temp.filePath("mark");
    setenv("VANTILE_TEST_MARK", QFile::encodeName(mark).constData(), 1);
    constexpr uid_t kNobody = 65534;
    constexpr auto kSameGroup = static_cast<gid_t>(-1);
    struct Case {
        const char* what;
        const char* source;  // the library the entry names
        QString entry;       // as written in the registry ("" for the copy's absolute path)
        mode_t registryMode;
        mode_t libraryMode;
        uid_t libraryOwner;  // 0 for the test's own user
        uid_t registryOwner;
        const char* reason;
    };
    const Case cases[] = {
        {"relative path", VANTILE_LIBRARY_FILE, "lib/libVantileCtl.so.1", 0644, 0755, 0, 0,
         "not an absolute path"},
        {"bare name", VANTILE_LIBRARY_FILE, "libVantileCtl.so.1", 0644, 0755, 0, 0,
         "not an absolute path"},
        {"world-writable registry", VANTILE_LIBRARY_FILE, "", 0666, 0755, 0, 0,
         "writable by every user"},
        {"group-writable registry", VANTILE_LIBRARY_FILE, "", 0664, 0755, 0, 0,
         "writable by its group"},
        {"world-writable library", VANTILE_LIBRARY_FILE, "", 0644, 0757, 0, 0,
         "writable by every user"},
        {"group-writable library", VANTILE_LIBRARY_FILE, "", 0644, 0775, 0, 0,
         "writable by its group"},
        {"library of another user", VANTILE_LIBRARY_FILE, "", 0644, 0755, kNobody, 0,
         "owned by user 65534"},
        {"registry of another user", VANTILE_LIBRARY_FILE, "", 0644, 0755, 0, kNobody,
         "owned by user 65534"},
        {"library without the four exports", VANTILE_UNEXPORTED_FILE, "", 0644, 0755, 0, 0,
         "does not export DllCanUnloadNow"},
    };
    const QString beside = QFileInfo(VANTILE_LIBRARY_FILE).canonicalFilePath();
    const QString start = QDir::currentPath();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if ((c.libraryOwner != 0 || c.registryOwner != 0) && geteuid() != 0) {
            continue;  // only root can give a file to another user
        }
        // The library in the folder the program is started from, so that a relative lookup
        // would find it.
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("lib"));
        const QString copy = dir.filePath("lib/libVantileCtl.so.1");
        ASSERT_TRUE(QFile::copy(c.source, copy));
        ASSERT_TRUE(QFile::copy(c.source, dir.filePath("libVantileCtl.so.1")));
        const QString registryPath = dir.filePath("components.ini");
        setenv(kRegistryEnvironment, QFile::encodeName(registryPath).constData(), 1);
        ASSERT_TRUE(ComponentRegistry(registryPath)
                        .Register({kVantileProgId, QString::fromStdString(ToString(kClsidVantile)),
                                   c.entry.isEmpty() ? copy : c.entry,
                                   QString::fromStdString(ToString(kLibidVantileCtl)), "1.0"}));
        ASSERT_EQ(chmod(QFile::encodeName(registryPath).constData(), c.registryMode), 0);
        ASSERT_EQ(chmod(QFile::encodeName(copy).constData(), c.libraryMode), 0);
        if (c.libraryOwner != 0) {
            ASSERT_EQ(chown(QFile::encodeName(copy).constData(), c.libraryOwner, kSameGroup), 0);
        }
        if (c.registryOwner != 0) {
            ASSERT_EQ(
                chown(QFile::encodeName(registryPath).constData(), c.registryOwner, kSameGroup), 0);
        }
        ASSERT_TRUE(QDir::setCurrent(dir.path()));

        const quorvane::testing::LogCapture log("vantile.host");
        const ClassLookup found = FindClass(kVantileProgId);
        QWidget* control = CreateControl(found, host.get(), nullptr);
        QDir::setCurrent(start);

        ASSERT_NE(control, nullptr);
        EXPECT_EQ(LibraryOf(control).toStdString(), beside.toStdString());
        EXPECT_TRUE(found.places.join('\n').contains(c.reason))
            << found.places.join('\n').toStdString();
        EXPECT_TRUE(log.Lines().contains(c.reason)) << log.Lines().toStdString();
        EXPECT_FALSE(QFile::exists(mark)) << "the refused library's start-up code ran";
    }
    unsetenv("VANTILE_TEST_MARK");
}

TEST_F(ComponentTest, ClassFactoryAndUnloadCheck) {
    host.reset();  // no instance of this library alive
    EXPECT_EQ(canUnloadNow(), S_OK);

    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(getClassObject(&kIidClassFactory, &kIidClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(getClassObject(&kClsidVantile, &kIidVantileDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject(&kClsidVantile, &kIidClassFactory, nullptr), E_POINTER);

    ASSERT_EQ(getClassObject(&kClsidVantile, &kIidClassFactory, &object), S_OK);
    ASSERT_NE(object, nullptr);
    auto* factory = static_cast<IClassFactory*>(object);
    void* unknown = nullptr;  // the class object answers for IUnknown as well
    ASSERT_EQ(getClassObject(&kClsidVantile, &kIidUnknown, &unknown), S_OK);
    EXPECT_EQ(unknown, object);
    auto parent = std::make_unique<QWidget>();
    QWidget* first = nullptr;
    QWidget* second = nullptr;
    ASSERT_EQ(factory->CreateInstance(parent.get(), nullptr, &first), S_OK);
    ASSERT_EQ(factory->CreateInstance(parent.get(), nullptr, &second), S_OK);
    EXPECT_EQ(first->parentWidget(), parent.get());
    EXPECT_EQ(factory->CreateInstance(parent.get(), nullptr, nullptr), E_POINTER);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    delete first;
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    parent.reset();  // the owner takes the other one with it
    EXPECT_EQ(canUnloadNow(), S_OK);
}

}  // namespace
}  // namespace vantile
