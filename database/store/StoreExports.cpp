// The dq exports of the tag store and the journal, forwarding to the one
// session.
#include "korvex.h"
#include "store/ClassSize.h"
#include "store/Session.h"

#include <cstring>
#include <new>

using DQ::session;

DQ_API unsigned int dqAddData(dqCClassEnum cls, unsigned int link, void* data) {
    DQ::Session& s = session();
    if (!s.hasTable()) return 0;
    unsigned tag = s.newTag(link);
    if (!tag) return 0;
    DQ::Element e(cls, data);
    s.setElement(tag, e);
    return tag;
}

DQ_API void dqSetData(unsigned int tag, void* data) {
    DQ::Session& s = session();
    if (!s.valid(tag)) return;
    DQ::Element e(s.classOf(tag), data);
    s.setElement(tag, e);
}

DQ_API void dqAllocData(unsigned int tag, const void* data) {
    DQ::Session& s = session();
    if (!s.valid(tag)) return;
    unsigned cls = s.classOf(tag);
    DQ::Element e(cls, dqCreateData(data, DQ::classSize(cls, data)));
    s.setElement(tag, e);
}

DQ_API void* dqGetData(unsigned int tag) {
    DQ::Session& s = session();
    if (!s.hasTable() || s.count() == 0) return nullptr;
    return s.valid(tag) ? s.dataOf(tag) : s.dataOf(0);
}

DQ_API void* dqCreateData(const void* source, unsigned int count) {
    if (count == 0) return nullptr;
    char* block = new (std::nothrow) char[count];
    if (!block) return nullptr;
    if (source)
        std::memcpy(block, source, count);
    else
        std::memset(block, 0, count);
    return block;
}

DQ_API dqCClassEnum dqGetClass(unsigned int tag) {
    return static_cast<dqCClassEnum>(session().classOf(tag));
}

DQ_API unsigned int dqGetLinkTag(unsigned int tag) { return session().linkOf(tag); }

DQ_API void dqSetLinkTag(unsigned int tag, unsigned int link) { session().setLink(tag, link); }

DQ_API unsigned int dqGetHighestTag(void) { return session().count(); }

DQ_API void dqDeleteTag(unsigned int tag) { session().deleteTag(tag); }

DQ_API unsigned int dqGetFirstChildTag(unsigned int parent, unsigned int list,
                                       unsigned int* iterator) {
    return session().firstChild(parent, list, iterator);
}

DQ_API unsigned int dqGetNextChildTag(unsigned int* iterator) {
    return session().nextChild(iterator);
}

DQ_API unsigned int dqGetChild(unsigned int parent, unsigned int list, unsigned int index,
                               dqCClassEnum cls, void** data) {
    return session().findChild(parent, list, index, cls, data);
}

DQ_API unsigned int dqSetChild(unsigned int parent, unsigned int list, unsigned int index,
                               dqCClassEnum cls, void* data) {
    return session().putChild(parent, list, index, cls, data, false);
}

DQ_API unsigned int dqAllocChild(unsigned int parent, unsigned int list, unsigned int index,
                                 dqCClassEnum cls, const void* data) {
    return session().putChild(parent, list, index, cls, const_cast<void*>(data), true);
}

DQ_API unsigned int dqSetMark(void) { return session().setMark(); }

DQ_API int dqDoToMark(unsigned int mark, unsigned int capacity, int* count, unsigned int* list) {
    return session().doToMark(mark, capacity, count, list);
}

DQ_API void dqClearUntilMark(unsigned int mark, unsigned int capacity, int* count,
                             unsigned int* list) {
    session().clearUntilMark(mark, capacity, count, list);
}

DQ_API unsigned int dqGetLastMark(void) { return session().lastMark(); }
DQ_API unsigned int dqGetFirstMark(void) { return session().firstMark(); }
DQ_API unsigned int dqGetUndoMark(void) { return session().undoMark(); }
DQ_API unsigned int dqGetRedoMark(void) { return session().redoMark(); }

DQ_API unsigned int dqGetFirstSelectedTag(unsigned int type, unsigned int* serial,
                                          int* iterator) {
    int dummy;
    if (!iterator) iterator = &dummy;
    DQ::Session& s = session();
    *iterator = static_cast<int>(s.count()) - 1;
    return s.nextSelected(type, serial, iterator);
}

DQ_API unsigned int dqGetNextSelectedTag(unsigned int type, unsigned int* serial,
                                         int* iterator) {
    if (!iterator) return 0;
    return session().nextSelected(type, serial, iterator);
}
