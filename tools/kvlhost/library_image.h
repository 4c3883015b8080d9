// Whether a file is a whole shared library of the executable formats the
// runner loads, read through bounds-checked offsets. Portable, so that
// either format can be checked on any system.
#pragma once

#include <istream>
#include <string>

namespace kvlhost {

// An ELF shared object, little-endian, of 64-bit (else 32-bit) words, whose
// header tables, segments and sections all lie within the file. Returns an
// empty string, or what is wrong in a few words.
std::string ElfLibraryProblem(std::istream& file, bool sixtyFourBit);

// A PE dynamic-link library of the 64-bit (else 32-bit) optional header,
// whose headers and sections' raw data all lie within the file. Returns an
// empty string, or what is wrong in a few words.
std::string PeLibraryProblem(std::istream& file, bool sixtyFourBit);

}  // namespace kvlhost
