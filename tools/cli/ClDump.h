// Text form of a CL buffer: one line per move record, then a summary. It
// reads the stored record layout directly, independently of the library's
// own decoder, so the dump doubles as a check of what the reader wrote.
#pragma once

#include <string>

// data is a CL buffer whose first 32-bit word is its length in bytes.
// Each record line holds the byte offset, the five-digit move code, the
// motion and the plane in words, and the values present in record order
// with their axis letters; the summary gives the record count, the byte
// count and the bounding box of the tool positions (X, Y, Z).
std::string formatClDump(const void* data);
