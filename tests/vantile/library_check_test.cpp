// Reading a library's exports from its file: the real control library, one that lacks an entry
// point, and damaged files, none of which may make the reader look outside the file.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstring>
#include <random>

#include "vantile/ComponentHost.h"
#include "vantile/LibraryCheck.h"

namespace vantile {
namespace {

QByteArray ReadAll(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ExportScan Scan(const QByteArray& image) {
    return elf_detail::ScanImage(image, ServerEntryPoints());
}

template <typename T>
void Poke(QByteArray& image, std::size_t offset, T value) {
    std::memcpy(image.data() + offset, &value, sizeof(value));
}

TEST(LibraryCheckTest, ExportsAreReadFromTheFile) {
    EXPECT_TRUE(ScanExports(VANTILE_LIBRARY_FILE, ServerEntryPoints()).Complete());

    // Three defined, the fourth only imported: it is missing.
    const ExportScan partial = ScanExports(VANTILE_UNEXPORTED_FILE, ServerEntryPoints());
    EXPECT_TRUE(partial.error.isEmpty()) << partial.error.toStdString();
    EXPECT_EQ(partial.missing, QStringList{"DllCanUnloadNow"});

    // This program exports none of them; a text file is not ELF; a missing file says so.
    EXPECT_EQ(ScanExports("/proc/self/exe", ServerEntryPoints()).missing, ServerEntryPoints());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile text(dir.filePath("libText.so"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("INPUT(-lc)\n");
    text.close();
    EXPECT_EQ(ScanExports(text.fileName(), ServerEntryPoints()).error, "not an ELF file");
    EXPECT_FALSE(ScanExports(dir.filePath("gone.so"), ServerEntryPoints()).error.isEmpty());
}

TEST(LibraryCheckTest, DamagedFilesAreRejectedWithoutReadingOutsideThem) {
    const QByteArray library = ReadAll(VANTILE_LIBRARY_FILE);
    ASSERT_GT(library.size(), 4096);
    using Ehdr = ElfW(Ehdr);
    const auto damaged = [&](auto change) {
        QByteArray image = library;
        change(image);
        return image;
    };
    struct Case {
        const char* what;
        QByteArray image;
    };
    const qsizetype size = library.size();
    const Case cases[] = {
        {"empty", QByteArray()},
        {"cut in the identification", library.left(7)},
        {"header only", library.left(sizeof(Ehdr))},
        {"cut in half", library.left(size / 2)},
        {"last byte missing", library.left(size - 1)},
        {"section table past the end", damaged([&](QByteArray& i) {
             Poke(i, offsetof(Ehdr, e_shoff), static_cast<decltype(Ehdr::e_shoff)>(size));
         })},
        {"section table offset wraps", damaged([](QByteArray& i) {
             Poke(i, offsetof(Ehdr, e_shoff), ~decltype(Ehdr::e_shoff){0} - 8);
         })},
        {"too many sections", damaged([](QByteArray& i) {
             Poke(i, offsetof(Ehdr, e_shnum), decltype(Ehdr::e_shnum){0xFFFF});
         })},
        {"wrong section entry size", damaged([](QByteArray& i) {
             Poke(i, offsetof(Ehdr, e_shentsize), decltype(Ehdr::e_shentsize){1});
         })},
        {"other word size", damaged([](QByteArray& i) {
             i[EI_CLASS] = sizeof(void*) == 8 ? ELFCLASS32 : ELFCLASS64;
         })},
    };
    for (const Case& c : cases) {
        const ExportScan scan = Scan(c.image);
        EXPECT_FALSE(scan.error.isEmpty()) << c.what;
        EXPECT_FALSE(scan.Complete()) << c.what;
    }

    // Random damage to the section table and the symbols: any answer but a read outside the
    // image (which the sanitizer build reports).
    const ExportScan whole = Scan(library);
    ASSERT_TRUE(whole.Complete());
    Ehdr header{};
    std::memcpy(&header, library.constData(), sizeof(header));
    std::mt19937 random(11);
    std::uniform_int_distribution<qsizetype> anywhere(0, size - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 300; ++round) {
        QByteArray image = library;
        for (int n = 0; n < 8; ++n) {
            const qsizetype at =
                n % 2 == 0 ? static_cast<qsizetype>(header.e_shoff) +
                                 anywhere(random) % (qsizetype{header.e_shnum} * header.e_shentsize)
                           : anywhere(random);
            image[at] = static_cast<char>(byte(random));
        }
        (void)Scan(image);
    }
}

}  // namespace
}  // namespace vantile
