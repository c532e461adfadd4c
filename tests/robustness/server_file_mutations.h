#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The entries a file must read as: a count, or one of these.
inline constexpr int kRefused = -1;    // the readers give nothing and a save leaves the file alone
inline constexpr int kAnyReading = -2; // seeded variants: only the reading rules must hold

// One hostile variant of a valid srv.xml.
struct MutatedFile {
    std::string name;
    std::string bytes;
    int entries = kAnyReading;
};

// A small valid srv.xml: an auto-start command line, two servers.
std::string ValidServerFile();

// The file cut at every offset, from empty to one byte short.
std::vector<MutatedFile> Truncations(const std::string& file);
// Seeded: each variant has one to three bytes changed.
std::vector<MutatedFile> ByteFlips(const std::string& file, std::uint32_t seed, int count);
// Seeded: each variant has one to three elements duplicated in place or deleted.
std::vector<MutatedFile> ElementEdits(const std::string& file, std::uint32_t seed, int count);
// Elements nested deeper than the parser allows and just within it, in several places.
std::vector<MutatedFile> DeepNesting();
// Document type declarations: entities of every kind, external subsets, and harmless ones.
std::vector<MutatedFile> EntityDefinitions();
// Texts, entry counts and files around the size limit.
std::vector<MutatedFile> HugeTexts(std::size_t sizeLimit);
// Files as large as the limit allows, of the shapes that cost a parser more than their size.
std::vector<MutatedFile> SuperLinearShapes(std::size_t sizeLimit);
// Shapes that cost the library more than their size before any count could stop it, and files
// that read and must therefore save: without a declaration, compact near the limit, in GBK.
std::vector<MutatedFile> ShapesThatMustReadAndSave(std::size_t sizeLimit);
