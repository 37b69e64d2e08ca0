#include "strategy/libraryfile.h"

#include <QFile>

#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>

namespace {

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
const unsigned char kNativeData = ELFDATA2LSB;
#else
const unsigned char kNativeData = ELFDATA2MSB;
#endif
const unsigned char kNativeClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;

// Whether `count` entries of `entrySize` bytes from `offset` on end within `size`.
bool tableFits(quint64 offset, quint64 entrySize, quint64 count, quint64 size)
{
    return offset <= size && (entrySize == 0 || count <= (size - offset) / entrySize);
}

bool fail(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return false;
}

bool segmentsFit(QFile& file, const ElfW(Ehdr)& header, quint64 size, QString* reason)
{
    if (header.e_phnum > 0 && header.e_phentsize < sizeof(ElfW(Phdr)))
        return fail(reason, QStringLiteral("program headers too small"));
    for (int i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment;
        if (!file.seek(qint64(header.e_phoff + quint64(i) * header.e_phentsize))
            || file.read(reinterpret_cast<char*>(&segment), sizeof segment) != qint64(sizeof segment))
            return fail(reason, QStringLiteral("program header unreadable"));
        if (segment.p_type == PT_LOAD && !tableFits(segment.p_offset, 1, segment.p_filesz, size))
            return fail(reason, QStringLiteral("a segment ends past the end of the file"));
    }
    return true;
}

} // namespace

bool isWholeSharedLibrary(const QString& path, QString* reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(reason, file.errorString());
    const quint64 size = quint64(file.size());
    ElfW(Ehdr) header;
    if (file.read(reinterpret_cast<char*>(&header), sizeof header) != qint64(sizeof header)
        || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return fail(reason, QStringLiteral("not an ELF file"));
    if (header.e_ident[EI_CLASS] != kNativeClass || header.e_ident[EI_DATA] != kNativeData
        || header.e_type != ET_DYN)
        return fail(reason, QStringLiteral("not a shared library of this machine"));
    if (!tableFits(header.e_phoff, header.e_phentsize, header.e_phnum, size))
        return fail(reason, QStringLiteral("program headers end past the end of the file"));
    // More sections than the header can count keep their number in the first
    // section header: that one must be there at least.
    const quint64 sections = header.e_shnum == 0 && header.e_shoff != 0 ? 1 : header.e_shnum;
    if (!tableFits(header.e_shoff, header.e_shentsize, sections, size))
        return fail(reason, QStringLiteral("section headers end past the end of the file"));
    return segmentsFit(file, header, size, reason);
}

bool isExportedFunction(const void* address, QString* reason)
{
    Dl_info info;
    void* entry = nullptr;
    if (!address || !dladdr1(address, &info, &entry, RTLD_DL_SYMENT) || !entry)
        return fail(reason, QStringLiteral("no exported symbol holds the entry point"));
    // The type field is the same four bits in either word size.
    const int type = ELF64_ST_TYPE(static_cast<const ElfW(Sym)*>(entry)->st_info);
    if (type != STT_FUNC && type != STT_GNU_IFUNC)
        return fail(reason, QStringLiteral("the entry point is not exported as a function"));
    return true;
}
