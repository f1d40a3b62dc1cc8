#pragma once
// Saved state of a control: named, typed values in the order they were written. Keys compare
// without regard to case (hosts store them in lower case, the control writes them capitalised).
// Header-only, so the host and the control library share one definition.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace vantile {

// A font as saved state holds it: face name, size in points, style and character set.
struct FontDesc {
    std::string name;
    double size = 0.0;
    bool bold = false;
    bool italic = false;
    int charset = 0;
    friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

class PropertyBag {
  public:
    using Value = std::variant<std::int32_t, std::int16_t, bool, std::string, FontDesc>;

    void Write(std::string_view key, std::int32_t value) { Put(key, Value(value)); }
    void Write(std::string_view key, std::int16_t value) { Put(key, Value(value)); }
    void Write(std::string_view key, bool value) { Put(key, Value(value)); }
    void Write(std::string_view key, std::string value) { Put(key, Value(std::move(value))); }
    void Write(std::string_view key, const char* value) { Put(key, Value(std::string(value))); }
    void Write(std::string_view key, FontDesc value) { Put(key, Value(std::move(value))); }

    // The value under `key` when it is there and of type T; nothing otherwise.
    template <typename T>
    std::optional<T> Read(std::string_view key) const {
        const Value* v = Find(key);
        if (v == nullptr) {
            return std::nullopt;
        }
        if (const T* typed = std::get_if<T>(v)) {
            return *typed;
        }
        return std::nullopt;
    }
    std::optional<std::int32_t> ReadInt32(std::string_view key) const {
        return Read<std::int32_t>(key);
    }
    std::optional<std::int16_t> ReadInt16(std::string_view key) const {
        return Read<std::int16_t>(key);
    }
    std::optional<bool> ReadBool(std::string_view key) const { return Read<bool>(key); }
    std::optional<std::string> ReadString(std::string_view key) const {
        return Read<std::string>(key);
    }
    std::optional<FontDesc> ReadFont(std::string_view key) const { return Read<FontDesc>(key); }

    bool Contains(std::string_view key) const { return Find(key) != nullptr; }
    bool Empty() const { return entries_.empty(); }
    std::size_t Size() const { return entries_.size(); }

    // Keys in the order they were first written.
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        keys.reserve(entries_.size());
        for (const auto& e : entries_) {
            keys.push_back(e.first);
        }
        return keys;
    }

    static bool SameKey(std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
        });
    }

  private:
    const Value* Find(std::string_view key) const {
        for (const auto& e : entries_) {
            if (SameKey(e.first, key)) {
                return &e.second;
            }
        }
        return nullptr;
    }

    void Put(std::string_view key, Value value) {
        for (auto& e : entries_) {
            if (SameKey(e.first, key)) {
                e.second = std::move(value);
                return;
            }
        }
        entries_.emplace_back(std::string(key), std::move(value));
    }

    std::vector<std::pair<std::string, Value>> entries_;
};

}  // namespace vantile
