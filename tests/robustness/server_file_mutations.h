#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One hostile variant of a valid srv.xml.
struct MutatedFile {
    std::string name;
    std::string bytes;
};

// A small valid srv.xml: an auto-start command line for the program, two servers.
std::string ValidServerFile(std::string_view programPathUtf8);

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
