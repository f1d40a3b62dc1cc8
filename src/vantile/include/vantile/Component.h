#pragma once
// The component layer between the control library and its hosts: result codes, class
// identifiers, the class factory interface, the names of the four library entry points and the
// dispatch identifiers. Header-only; a host includes it without linking the library.

#include <array>
#include <cstdint>
#include <string>

class QWidget;

namespace vantile {

class PropertyBag;

using HRESULT = std::int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
inline constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
// "Invalid property value": a control refuses a value of one of its properties.
inline constexpr HRESULT CTL_E_INVALIDPROPERTYVALUE = static_cast<HRESULT>(0x800A017Cu);

constexpr bool Succeeded(HRESULT hr) {
    return hr >= 0;
}

struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};
    friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hexadecimal, as the registry stores it.
inline std::string ToString(const Guid& g) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string s = "{";
    auto put = [&](std::uint64_t v, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            s += hex[(v >> (4 * i)) & 0xF];
        }
    };
    put(g.data1, 8);
    s += '-';
    put(g.data2, 4);
    s += '-';
    put(g.data3, 4);
    s += '-';
    put(g.data4[0], 2);
    put(g.data4[1], 2);
    s += '-';
    for (std::size_t i = 2; i < 8; ++i) {
        put(g.data4[i], 2);
    }
    s += '}';
    return s;
}

// Fixed identities of the control class, its interfaces and its type library. The ProgID is a
// macro as well, for the control's class information, which takes a literal only.
#define VANTILE_PROGID "VantileCtl.Vantile"
inline constexpr const char* kVantileProgId = VANTILE_PROGID;
inline constexpr Guid kClsidVantile{
    0x6C3A1F52, 0x8D27, 0x4B9E, {0xA1, 0x5E, 0x3F, 0x0C, 0x7B, 0x42, 0xD9, 0x81}};
inline constexpr Guid kIidVantileDispatch{
    0x6C3A1F53, 0x8D27, 0x4B9E, {0xA1, 0x5E, 0x3F, 0x0C, 0x7B, 0x42, 0xD9, 0x81}};
inline constexpr Guid kIidVantileEvents{
    0x6C3A1F54, 0x8D27, 0x4B9E, {0xA1, 0x5E, 0x3F, 0x0C, 0x7B, 0x42, 0xD9, 0x81}};
inline constexpr Guid kLibidVantileCtl{
    0x6C3A1F50, 0x8D27, 0x4B9E, {0xA1, 0x5E, 0x3F, 0x0C, 0x7B, 0x42, 0xD9, 0x81}};
inline constexpr Guid kIidUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid kIidClassFactory{
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The class factory a library hands out for a class identifier. It lives as long as the
// library; hosts never delete it.
class IClassFactory {
  public:
    // Creates a control under `parent` (its owner), initialised from `saved` when given, as new
    // otherwise. On success *control is the new widget; on failure it is nullptr.
    virtual HRESULT CreateInstance(QWidget* parent, const PropertyBag* saved,
                                   QWidget** control) = 0;

  protected:
    ~IClassFactory() = default;
};

// The library's entry points, looked up by name with C linkage.
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
// DllGetClassObject hands out the class object of `clsid` for kIidClassFactory and for
// kIidUnknown alike: the same IClassFactory pointer.
using DllGetClassObjectFn = HRESULT (*)(const Guid* clsid, const Guid* iid, void** object);
using DllCanUnloadNowFn = HRESULT (*)();

// Standard dispatch identifiers of the control's members.
namespace dispid {
inline constexpr int BackColor = -501;
inline constexpr int Font = -512;
inline constexpr int ForeColor = -513;
inline constexpr int Enabled = -514;
inline constexpr int Caption = -518;
inline constexpr int Refresh = -550;
inline constexpr int Click = -600;
inline constexpr int DblClick = -601;
inline constexpr int KeyDown = -602;
inline constexpr int KeyPress = -603;
inline constexpr int KeyUp = -604;
inline constexpr int MouseDown = -605;
inline constexpr int MouseMove = -606;
inline constexpr int MouseUp = -607;
inline constexpr int Edge = 0x68030000;  // assigned by the library
}  // namespace dispid

}  // namespace vantile
