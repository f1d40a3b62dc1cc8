#pragma once
// Checks a host makes before it loads code named by a registry, none of which runs the code:
// who may have changed a file, and which entry points a shared library exports, read from the
// file's dynamic symbol table. Header-only, like the rest of the host side.

#include <elf.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vantile {

// Why the file at `path` cannot be trusted to hold configuration or code for this process, or
// an empty string when it can: it must be a regular file owned by this user or by root that
// nobody else (group or others) can write.
inline QString TrustProblem(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return QStringLiteral("not a regular file");
    }
    if (info.st_uid != ::geteuid() && info.st_uid != 0) {
        return QStringLiteral("owned by user %1, neither this user nor root").arg(info.st_uid);
    }
    if ((info.st_mode & S_IWOTH) != 0) {
        return QStringLiteral("writable by every user");
    }
    if ((info.st_mode & S_IWGRP) != 0) {
        return QStringLiteral("writable by its group");
    }
    return {};
}

// What the dynamic symbol table of a shared library file says about a set of entry points.
struct ExportScan {
    QString error;        // not empty when the file is not a readable shared library
    QStringList missing;  // the wanted names it does not define as exported functions
    bool Complete() const { return error.isEmpty() && missing.isEmpty(); }
};

namespace elf_detail {

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
constexpr bool Within(std::uint64_t size, std::uint64_t offset, std::uint64_t length) {
    return offset <= size && length <= size - offset;
}

template <typename T>
bool ReadAt(const uchar* data, std::uint64_t size, std::uint64_t offset, T& out) {
    if (!Within(size, offset, sizeof(T))) {
        return false;
    }
    std::memcpy(&out, data + offset, sizeof(T));
    return true;
}

inline ExportScan ScanImage(const uchar* data, std::uint64_t size, const QStringList& wanted) {
    using Ehdr = ElfW(Ehdr);
    using Shdr = ElfW(Shdr);
    using Sym = ElfW(Sym);
    constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    constexpr unsigned char kData =
        std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
    const auto fail = [](const char* why) { return ExportScan{QString::fromLatin1(why), {}}; };

    Ehdr header{};
    if (!ReadAt(data, size, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
        return fail("not an ELF file");
    }
    if (header.e_ident[EI_CLASS] != kClass || header.e_ident[EI_DATA] != kData) {
        return fail("not built for this kind of machine");
    }
    if (header.e_type != ET_DYN) {
        return fail("not a shared library");
    }
    if (header.e_shoff == 0 || header.e_shentsize != sizeof(Shdr)) {
        return fail("no section table");
    }
    // More than 0xff00 sections: the count is in the first section header.
    std::uint64_t count = header.e_shnum;
    if (count == 0) {
        Shdr first{};
        if (!ReadAt(data, size, header.e_shoff, first)) {
            return fail("malformed section table");
        }
        count = first.sh_size;
    }
    if (count > size / sizeof(Shdr) || !Within(size, header.e_shoff, count * sizeof(Shdr))) {
        return fail("malformed section table");
    }
    const auto section = [&](std::uint64_t index, Shdr& out) {
        return ReadAt(data, size, header.e_shoff + index * sizeof(Shdr), out);
    };
    Shdr symbols{};
    bool found = false;
    for (std::uint64_t i = 0; i < count && !found; ++i) {
        found = section(i, symbols) && symbols.sh_type == SHT_DYNSYM;
    }
    if (!found) {
        return fail("no dynamic symbol table");
    }
    Shdr strings{};
    if (symbols.sh_link >= count || !section(symbols.sh_link, strings) ||
        strings.sh_type != SHT_STRTAB || symbols.sh_entsize != sizeof(Sym) ||
        !Within(size, symbols.sh_offset, symbols.sh_size) ||
        !Within(size, strings.sh_offset, strings.sh_size)) {
        return fail("malformed dynamic symbol table");
    }
    const char* names = reinterpret_cast<const char*>(data + strings.sh_offset);
    ExportScan scan{{}, wanted};
    for (std::uint64_t i = 0; i < symbols.sh_size / sizeof(Sym) && !scan.missing.isEmpty(); ++i) {
        Sym symbol{};
        if (!ReadAt(data, size, symbols.sh_offset + i * sizeof(Sym), symbol) ||
            symbol.st_name >= strings.sh_size) {
            continue;
        }
        const char* name = names + symbol.st_name;
        const void* end = std::memchr(name, '\0', strings.sh_size - symbol.st_name);
        const unsigned bind = ELF64_ST_BIND(symbol.st_info);
        const unsigned visibility = ELF64_ST_VISIBILITY(symbol.st_other);
        if (end == nullptr || symbol.st_shndx == SHN_UNDEF ||
            ELF64_ST_TYPE(symbol.st_info) != STT_FUNC || (bind != STB_GLOBAL && bind != STB_WEAK) ||
            (visibility != STV_DEFAULT && visibility != STV_PROTECTED)) {
            continue;
        }
        scan.missing.removeAll(QString::fromLatin1(std::string_view(
            name, static_cast<std::size_t>(static_cast<const char*>(end) - name))));
    }
    return scan;
}

}  // namespace elf_detail

// Which of `wanted` the shared library at `path` lacks, read from the file alone: nothing of it
// is loaded or run. The file is read into memory rather than mapped, so a file that shrinks
// meanwhile cannot fault the reader.
inline ExportScan ScanExports(const QString& path, const QStringList& wanted) {
    constexpr qint64 kLargest = qint64{1} << 30;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return ExportScan{file.errorString(), {}};
    }
    if (file.size() > kLargest) {
        return ExportScan{QStringLiteral("too large for a component library"), {}};
    }
    const QByteArray image = file.read(kLargest);
    return elf_detail::ScanImage(reinterpret_cast<const uchar*>(image.constData()),
                                 static_cast<std::uint64_t>(image.size()), wanted);
}

}  // namespace vantile
