#include "shapes/FigureData.h"

#include "store/ClassSize.h"
#include "store/Session.h"

#include <cstring>

namespace DQ {

std::size_t payloadSize(unsigned tag) {
    if (tag == 0 || tag >= dqGetHighestTag()) return 0;
    const void* data = dqGetData(tag);
    return data ? classSize(dqGetClass(tag), data) : 0;
}

const void* payload(unsigned tag, std::size_t size) {
    if (payloadSize(tag) < size || size == 0) return nullptr;
    return dqGetData(tag);
}

const void* childData(unsigned tag, dqCClassEnum cls, std::size_t size) {
    if (tag == 0 || tag >= dqGetHighestTag()) return nullptr;
    void* data = nullptr;
    unsigned child = dqGetChild(tag, 0, 0, cls, &data);
    if (!child || !data || classSize(cls, data) < size) return nullptr;
    return data;
}

unsigned childTag(unsigned tag, dqCClassEnum cls) {
    if (tag == 0 || tag >= dqGetHighestTag()) return 0;
    return dqGetChild(tag, 0, 0, cls, nullptr);
}

double realListEntry(unsigned tag, unsigned index, double fallback) {
    unsigned list = childTag(tag, dqCClassRealList);
    const double* value = list ? dqGetRealListElem(list, index) : nullptr;
    return value ? *value : fallback;
}

double toleranceOf(unsigned tag) { return realListEntry(tag, 0, 0.01); }

const float* sessionColor(unsigned k) {
    unsigned list = session().standardTag(Session::ColorList);
    return list ? dqGetColorListElem(list, k) : nullptr;
}

double sessionReal(unsigned k, double fallback) {
    unsigned list = session().standardTag(Session::RealList);
    const double* value = list ? dqGetRealListElem(list, k) : nullptr;
    return value ? *value : fallback;
}

unsigned addFigure(dqCClassEnum cls, void* data) {
    unsigned tag = dqAddData(cls, 0, data);
    if (!tag) return 0;
    unsigned owner = tag;
    if (!dqAddData(dqCClassChildHead, 0, dqCreateData(&owner, sizeof owner))) {
        dqAllocData(tag, nullptr);
        return 0;
    }
    return tag;
}

} // namespace DQ
