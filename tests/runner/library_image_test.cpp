// The library file check on small hand-built images: a whole image passes,
// and every cut or contradicting field is refused without reading past the
// bytes there are.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>

#include "library_image.h"

namespace kvlhost {
namespace {

void Put(std::string& image, std::size_t at, std::uint64_t value, unsigned width) {
    for (unsigned i = 0; i < width; ++i) image[at + i] = static_cast<char>(value >> (8 * i));
}

// A 64-bit ELF shared object: the header and one segment that spans both
// the header and the program header table behind it; no sections.
std::string Elf() {
    std::string image(120, '\0');
    image.replace(0, 6, "\x7F" "ELF\x02\x01");
    Put(image, 16, 3, 2);    // shared object
    Put(image, 32, 64, 8);   // program headers at 64
    Put(image, 54, 56, 2);   // of 56 bytes
    Put(image, 56, 1, 2);    // one of them
    Put(image, 64, 1, 4);    // a loadable segment
    Put(image, 96, 120, 8);  // of 120 bytes from offset 0
    return image;
}

// A 64-bit PE dynamic-link library with one section of 0x200 bytes at 0x200.
std::string Pe() {
    std::string image(0x400, '\0');
    image.replace(0, 2, "MZ");
    Put(image, 0x3C, 0x40, 4);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    Put(image, 0x46, 1, 2);         // one section
    Put(image, 0x54, 0xF0, 2);      // optional header size
    Put(image, 0x56, 0x2022, 2);    // a DLL
    Put(image, 0x58, 0x20B, 2);     // PE32+
    Put(image, 0x94, 0x200, 4);     // size of the headers
    Put(image, 0x158, 0x200, 4);    // the section's raw size
    Put(image, 0x15C, 0x200, 4);    // and offset
    return image;
}

TEST(LibraryImageTest, WholeImagesPassAndBrokenOnesAreRefusedWithTheirFault) {
    using Check = std::string (*)(std::istream&, bool);
    struct Case {
        const char* name;
        Check check;
        std::function<std::string()> image;
        const char* problem;
    };
    const auto edited = [](std::string (*base)(), std::size_t at, std::uint64_t value, unsigned width) {
        return [=] {
            std::string image = base();
            Put(image, at, value, width);
            return image;
        };
    };
    const auto cut = [](std::string (*base)(), std::size_t length) { return [=] { return base().substr(0, length); }; };
    const std::uint64_t huge = ~std::uint64_t{0} - 8;
    const Case cases[] = {
        {"whole ELF", ElfLibraryProblem, Elf, ""},
        {"ELF cut in its program headers", ElfLibraryProblem, cut(Elf, 119), "cut short: its 119 bytes do not hold its program headers"},
        {"ELF of 32-bit words", ElfLibraryProblem, edited(Elf, 4, 1, 1), "an ELF file of another word size or byte order"},
        {"ELF executable", ElfLibraryProblem, edited(Elf, 16, 2, 2), "not a shared library"},
        {"ELF without program headers", ElfLibraryProblem, edited(Elf, 56, 0, 2), "not a shared library: it has no program headers"},
        {"ELF program headers far out", ElfLibraryProblem, edited(Elf, 32, huge, 8), "cut short: its 120 bytes do not hold its program headers"},
        {"ELF segment size wrapping", ElfLibraryProblem, edited(Elf, 96, huge, 8), "cut short: its 120 bytes do not hold a segment"},
        {"ELF section headers far out", ElfLibraryProblem, [] {
             std::string image = Elf();
             Put(image, 40, huge, 8);  // section headers
             Put(image, 58, 64, 2);
             Put(image, 60, 1, 2);
             return image;
         }, "cut short: its 120 bytes do not hold its section headers"},
        {"whole PE", PeLibraryProblem, Pe, ""},
        {"not MZ", PeLibraryProblem, edited(Pe, 0, 0, 2), "not a PE file"},
        {"PE header far out", PeLibraryProblem, edited(Pe, 0x3C, 0xFFFFFFF0, 4), "cut short: its 1024 bytes do not hold its PE header"},
        {"PE cut in its headers", PeLibraryProblem, cut(Pe, 0x150), "cut short: its 336 bytes do not hold its headers"},
        {"PE section table past the end", PeLibraryProblem, edited(Pe, 0x46, 30, 2), "cut short: its 1024 bytes do not hold its section table"},
        {"PE cut in its section", PeLibraryProblem, cut(Pe, 0x3FF), "cut short: its 1023 bytes do not hold a section"},
        {"PE section size wrapping", PeLibraryProblem, edited(Pe, 0x158, 0xFFFFFFFF, 4), "cut short: its 1024 bytes do not hold a section"},
        {"PE executable", PeLibraryProblem, edited(Pe, 0x56, 0x22, 2), "not a dynamic-link library"},
        {"PE32", PeLibraryProblem, edited(Pe, 0x58, 0x10B, 2), "a PE file of another word size"},
    };
    for (const Case& c : cases) {
        std::istringstream file(c.image());
        EXPECT_EQ(c.check(file, true), c.problem) << c.name;
    }
}

}  // namespace
}  // namespace kvlhost
