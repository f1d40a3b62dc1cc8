#pragma once
// Checks a host makes before it loads code named by a registry, none of which runs the code:
// who may have changed a file, and which entry points a shared library exports, read from the
// file's dynamic symbol table. Header-only, like the rest of the host side.

#include <elf.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
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

// True when [offset, offset + length) lies inside `size` bytes.
constexpr bool Within(std::uint64_t size, std::uint64_t offset, std::uint64_t length) {
    return offset <= size && length <= size - offset;
}

template <typename T>
bool Decode(const QByteArray& bytes, std::uint64_t offset, T& out) {
    if (!Within(static_cast<std::uint64_t>(bytes.size()), offset, sizeof(T))) {
        return false;
    }
    std::memcpy(&out, bytes.constData() + offset, sizeof(T));
    return true;
}

// Returns the `length` bytes at `offset` of a file, or fewer when they cannot be read.
using Reader = std::function<QByteArray(std::uint64_t offset, std::uint64_t length)>;

// Reads only the ELF header, the section table, the dynamic symbol table and its strings of a
// file of `size` bytes, checking every offset and length against the file first.
inline ExportScan Scan(const Reader& reader, std::uint64_t size, const QStringList& wanted) {
    using Ehdr = ElfW(Ehdr);
    using Shdr = ElfW(Shdr);
    using Sym = ElfW(Sym);
    constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    constexpr unsigned char kData =
        std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
    const auto fail = [](const char* why) { return ExportScan{QString::fromLatin1(why), {}}; };
    const auto read = [&](std::uint64_t offset, std::uint64_t length, QByteArray& out) {
        if (!Within(size, offset, length)) {
            return false;
        }
        out = reader(offset, length);
        return static_cast<std::uint64_t>(out.size()) == length;
    };

    QByteArray bytes;
    Ehdr header{};
    if (!read(0, sizeof(Ehdr), bytes) || !Decode(bytes, 0, header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
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
        if (!read(header.e_shoff, sizeof(Shdr), bytes) || !Decode(bytes, 0, first)) {
            return fail("malformed section table");
        }
        count = first.sh_size;
    }
    QByteArray table;
    if (count > size / sizeof(Shdr) || !read(header.e_shoff, count * sizeof(Shdr), table)) {
        return fail("malformed section table");
    }
    Shdr symbols{};
    bool found = false;
    for (std::uint64_t i = 0; i < count && !found; ++i) {
        found = Decode(table, i * sizeof(Shdr), symbols) && symbols.sh_type == SHT_DYNSYM;
    }
    if (!found) {
        return fail("no dynamic symbol table");
    }
    Shdr strings{};
    QByteArray symbolBytes;
    QByteArray names;
    if (symbols.sh_link >= count || !Decode(table, symbols.sh_link * sizeof(Shdr), strings) ||
        strings.sh_type != SHT_STRTAB || symbols.sh_entsize != sizeof(Sym) ||
        !read(symbols.sh_offset, symbols.sh_size, symbolBytes) ||
        !read(strings.sh_offset, strings.sh_size, names)) {
        return fail("malformed dynamic symbol table");
    }
    ExportScan scan{{}, wanted};
    Sym symbol{};
    for (std::uint64_t at = 0; Decode(symbolBytes, at, symbol) && !scan.missing.isEmpty();
         at += sizeof(Sym)) {
        if (symbol.st_name >= static_cast<std::uint64_t>(names.size())) {
            continue;
        }
        const char* name = names.constData() + symbol.st_name;
        const void* end =
            std::memchr(name, '\0', static_cast<std::size_t>(names.size()) - symbol.st_name);
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

// The same for a file image in memory.
inline ExportScan ScanImage(const QByteArray& image, const QStringList& wanted) {
    return Scan(
        [&image](std::uint64_t offset, std::uint64_t length) {
            return image.mid(static_cast<qsizetype>(offset), static_cast<qsizetype>(length));
        },
        static_cast<std::uint64_t>(image.size()), wanted);
}

}  // namespace elf_detail

// Which of `wanted` the shared library at `path` lacks, read from the file alone: nothing of it
// is loaded or run. Only the parts that hold the symbols are read, into memory rather than
// mapped, so a file that shrinks meanwhile cannot fault the reader.
inline ExportScan ScanExports(const QString& path, const QStringList& wanted) {
    constexpr qint64 kLargest = qint64{1} << 30;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return ExportScan{file.errorString(), {}};
    }
    if (file.size() > kLargest) {
        return ExportScan{QStringLiteral("too large for a component library"), {}};
    }
    return elf_detail::Scan(
        [&file](std::uint64_t offset, std::uint64_t length) {
            return file.seek(static_cast<qint64>(offset)) ? file.read(static_cast<qint64>(length))
                                                          : QByteArray();
        },
        static_cast<std::uint64_t>(file.size()), wanted);
}

}  // namespace vantile
