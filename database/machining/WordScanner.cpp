#include "machining/WordScanner.h"

#include "machining/WordScannerCore.h"

namespace DQ {

ScanStatus scanWord(const char* line, std::size_t length, std::size_t& pos,
                    const Resolutions& res, NcWord& word) {
    return scan::scanWord(line, length, pos, res, word);
}

} // namespace DQ
