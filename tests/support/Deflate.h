#pragma once
// Compresses bytes with zlib at its best level: windowBits 31 makes a gzip member, 15 a
// zlib stream, -15 raw deflate (as inside a zip entry).
#include <string>

std::string DeflateBytes(const std::string& bytes, int windowBits);
