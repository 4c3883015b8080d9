#include "library_image.h"

#include <cstdint>

namespace kvlhost {
namespace {

// The file's bytes by offset; any range that does not lie wholly within the
// file reads as nothing.
class FileBytes {
public:
    explicit FileBytes(std::istream& file) : file_(file) {
        file_.seekg(0, std::ios::end);
        const std::streamoff end = file_.tellg();
        size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    }

    std::uint64_t Size() const { return size_; }

    bool Holds(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    // `length` bytes at `offset`; empty when they are not all in the file.
    std::string At(std::uint64_t offset, std::uint64_t length) {
        if (length == 0 || !Holds(offset, length)) return std::string();
        std::string bytes(static_cast<std::size_t>(length), '\0');
        file_.clear();
        file_.seekg(static_cast<std::streamoff>(offset));
        if (!file_.read(bytes.data(), static_cast<std::streamsize>(length))) return std::string();
        return bytes;
    }

private:
    std::istream& file_;
    std::uint64_t size_ = 0;
};

// A little-endian unsigned field of `width` bytes at `at`; 0 where it
// would reach past `bytes`.
std::uint64_t Field(const std::string& bytes, std::uint64_t at, unsigned width) {
    if (at > bytes.size() || width > bytes.size() - at) return 0;
    std::uint64_t value = 0;
    for (unsigned i = width; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::string CutShort(const char* part, const FileBytes& file) {
    return "cut short: its " + std::to_string(file.Size()) + " bytes do not hold " + part;
}

// Where the fields of an ELF file of one word size lie.
struct ElfLayout {
    unsigned word;  // bytes of an address or offset
    unsigned headerSize, programOffset, sectionOffset, programEntry;
    unsigned programEntrySize, programFileOffset, programFileSize;
    unsigned sectionEntrySize, sectionFileOffset, sectionFileSize;
};
constexpr ElfLayout kElf64{8, 64, 32, 40, 54, 56, 8, 32, 64, 24, 32};
constexpr ElfLayout kElf32{4, 52, 28, 32, 42, 32, 4, 16, 40, 16, 20};

// Every entry of a table of `count` entries of `entrySize` bytes at
// `offset` must be at least `minEntry` bytes, and the file must hold the
// part each describes (with `skipNoBits`, sections of type 8, which have
// no bytes in the file, excepted).
std::string TableProblem(FileBytes& file, const char* table, const char* part, std::uint64_t offset,
                         std::uint64_t count, std::uint64_t entrySize, unsigned minEntry, unsigned fileOffset,
                         unsigned fileSize, unsigned word, bool skipNoBits) {
    if (count == 0) return std::string();
    if (entrySize < minEntry) return std::string("not a shared library: ") + table + " have entries too small";
    if (!file.Holds(offset, count * entrySize)) return CutShort(table, file);
    // Both are 16-bit fields: the product cannot overflow.
    const std::string entries = file.At(offset, count * entrySize);
    if (entries.empty()) return "cannot read the file";
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t at = i * entrySize;
        if (skipNoBits && Field(entries, at + 4, 4) == 8) continue;
        const std::uint64_t length = Field(entries, at + fileSize, word);
        if (length != 0 && !file.Holds(Field(entries, at + fileOffset, word), length)) return CutShort(part, file);
    }
    return std::string();
}

}  // namespace

std::string ElfLibraryProblem(std::istream& stream, bool sixtyFourBit) {
    FileBytes file(stream);
    const std::string ident = file.At(0, 16);
    if (ident.size() < 16 || ident.compare(0, 4, "\x7F" "ELF") != 0) return "not an ELF file";
    if (ident[4] != (sixtyFourBit ? 2 : 1) || ident[5] != 1) return "an ELF file of another word size or byte order";
    const ElfLayout& layout = sixtyFourBit ? kElf64 : kElf32;
    const std::string header = file.At(0, layout.headerSize);
    if (header.empty()) return CutShort("its header", file);
    if (Field(header, 16, 2) != 3) return "not a shared library";
    const unsigned word = layout.word;
    const std::uint64_t programCount = Field(header, layout.programEntry + 2, 2);
    if (programCount == 0) return "not a shared library: it has no program headers";
    if (std::string problem = TableProblem(file, "its program headers", "a segment", Field(header, layout.programOffset, word),
                                           programCount, Field(header, layout.programEntry, 2),
                                           layout.programEntrySize, layout.programFileOffset,
                                           layout.programFileSize, word, false);
        !problem.empty()) {
        return problem;
    }
    return TableProblem(file, "its section headers", "a section", Field(header, layout.sectionOffset, word),
                        Field(header, layout.programEntry + 6, 2), Field(header, layout.programEntry + 4, 2),
                        layout.sectionEntrySize, layout.sectionFileOffset, layout.sectionFileSize, word, true);
}

std::string PeLibraryProblem(std::istream& stream, bool sixtyFourBit) {
    constexpr unsigned kDosHeader = 64, kCoffHeader = 24, kSectionEntry = 40;
    FileBytes file(stream);
    const std::string dos = file.At(0, kDosHeader);
    if (dos.empty() || dos.compare(0, 2, "MZ") != 0) return "not a PE file";
    const std::uint64_t peStart = Field(dos, 0x3C, 4);
    const std::string coff = file.At(peStart, kCoffHeader);
    if (coff.empty()) return CutShort("its PE header", file);
    if (coff.compare(0, 4, std::string("PE\0\0", 4)) != 0) return "not a PE file";
    if ((Field(coff, 22, 2) & 0x2000) == 0) return "not a dynamic-link library";
    const std::uint64_t optionalSize = Field(coff, 20, 2);
    const std::string optional = file.At(peStart + kCoffHeader, optionalSize);
    if (optional.size() < 64) return optionalSize < 64 ? "its optional header is too small" : CutShort("its optional header", file);
    if (Field(optional, 0, 2) != (sixtyFourBit ? 0x20B : 0x10B)) return "a PE file of another word size";
    if (Field(optional, 60, 4) > file.Size()) return CutShort("its headers", file);
    const std::uint64_t sectionCount = Field(coff, 6, 2);
    const std::uint64_t sectionTable = peStart + kCoffHeader + optionalSize;
    if (!file.Holds(sectionTable, sectionCount * kSectionEntry)) return CutShort("its section table", file);
    const std::string sections = file.At(sectionTable, sectionCount * kSectionEntry);
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t at = i * kSectionEntry;
        const std::uint64_t length = Field(sections, at + 16, 4);
        if (length != 0 && !file.Holds(Field(sections, at + 20, 4), length)) return CutShort("a section", file);
    }
    return std::string();
}

}  // namespace kvlhost
