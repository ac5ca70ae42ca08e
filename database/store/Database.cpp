#include "store/Database.h"

#include "store/ClassSize.h"

#include <cstdlib>
#include <new>

namespace DQ {

namespace {
constexpr unsigned kGrowth = 1024;
constexpr unsigned kAppend = 0xFFFFFFFFu;
} // namespace

Database::~Database() { destroy(); }

bool Database::allocateTable() {
    table_ = new (std::nothrow) Entry[kGrowth];
    if (!table_) return false;
    capacity_ = kGrowth;
    count_ = 0;
    return true;
}

void Database::destroy() {
    delete[] table_; // elements delete their payloads, never the data blocks
    table_ = nullptr;
    count_ = capacity_ = 0;
    redoHead_ = currentMark_ = 0;
    selectionSerial = 0;
    resetJournalIndex();
    if (journalReader_) {
        std::fclose(journalReader_);
        journalReader_ = nullptr;
    }
    if (journal_) {
        std::fclose(journal_);
        journal_ = nullptr;
    }
    if (journalName_[0]) {
        std::remove(journalName_);
        journalName_[0] = 0;
    }
}

void Database::setDirect(unsigned tag, unsigned link, unsigned cls, void* data) {
    if (tag >= capacity_) return;
    if (tag >= count_) count_ = tag + 1;
    table_[tag].link = link;
    table_[tag].element.set(cls, data);
}

unsigned Database::newTag(unsigned link) {
    if (!table_) return 0;
    if (count_ >= capacity_) {
        // Grow by at least 1024 entries, and by the table's own size once it
        // is larger, so that appending stays amortised constant however big
        // the scene gets.
        unsigned step = count_ > kGrowth ? count_ : kGrowth;
        if (count_ > 0xFFFFFFFFu - step) step = 0xFFFFFFFFu - count_;
        if (step == 0) return 0;
        unsigned grown = count_ + step;
        Entry* bigger = new (std::nothrow) Entry[grown];
        if (!bigger) return 0;
        // Moving the table moves payload pointers only; no data block is
        // copied.
        for (unsigned i = 0; i < count_; ++i) {
            bigger[i].element.swap(table_[i].element);
            bigger[i].link = table_[i].link;
        }
        delete[] table_;
        table_ = bigger;
        capacity_ = grown;
    }
    unsigned tag = count_;
    table_[tag].link = link ? link : tag;
    ++count_;
    return tag;
}

void Database::setElement(unsigned tag, Element& element) {
    if (!valid(tag)) return;
    if (table_[tag].element == element) return;
    unsigned before = table_[tag].element.getClass();
    recordContent(tag); // may grow the table: index again afterwards
    if (tag > currentMark_ &&
        (before == dqCClassDataJournal || element.getClass() == dqCClassDataJournal))
        noteJournalRecordChanged(tag);
    table_[tag].element.swap(element);
}

bool Database::setLink(unsigned tag, unsigned link) {
    if (tag == 0 || !valid(tag) || table_[tag].link == link) return true;
    if (!recordLink(tag)) return false;
    if (tag > currentMark_ && classOf(tag) == dqCClassLinkJournal) noteJournalRecordChanged(tag);
    table_[tag].link = link;
    return true;
}

unsigned Database::firstChild(unsigned parent, unsigned list, unsigned* iterator) const {
    unsigned dummy;
    if (!iterator) iterator = &dummy;
    *iterator = 0;
    if (!valid(parent) || isHead(parent)) return 0;
    for (unsigned i = 0; i <= list; ++i) {
        unsigned t = parent + 1 + i;
        if (t < parent || !isHead(t)) return 0; // t < parent: wrapped around
    }
    *iterator = parent + list + 1;
    return nextChild(iterator);
}

unsigned Database::nextChild(unsigned* iterator) const {
    if (!iterator || !valid(*iterator)) return 0;
    unsigned next = table_[*iterator].link;
    if (!valid(next) || isHead(next)) return 0;
    *iterator = next;
    return next;
}

unsigned Database::findChild(unsigned parent, unsigned list, unsigned index, unsigned cls,
                             void** data) const {
    unsigned it;
    unsigned k = 0;
    // A ring always comes back to its head; the step bound only guards
    // against rings damaged by direct link edits.
    unsigned steps = 0;
    for (unsigned c = firstChild(parent, list, &it); c && steps <= count_;
         c = nextChild(&it), ++steps) {
        if (classOf(c) != cls) continue;
        if (k == index) {
            if (data) *data = dataOf(c);
            return c;
        }
        ++k;
    }
    if (data) *data = nullptr;
    return 0;
}

unsigned Database::putChild(unsigned parent, unsigned list, unsigned index, unsigned cls,
                            void* data, bool copy) {
    unsigned it;
    unsigned c = firstChild(parent, list, &it);
    if (it == 0) return 0; // no such list
    unsigned head = parent + list + 1;
    unsigned last = head;
    unsigned k = 0;
    unsigned steps = 0;
    for (; c && steps <= count_; c = nextChild(&it), ++steps) {
        if (c > last) last = c;
        if (classOf(c) != cls) continue;
        if (k == index) {
            Element e(cls, copy ? dqCreateData(data, classSize(cls, data)) : data);
            setElement(c, e);
            return c;
        }
        ++k;
    }
    auto append = [&](void* block) -> unsigned {
        unsigned tag = newTag(linkOf(last));
        if (!tag) return 0;
        Element e(cls, block);
        setElement(tag, e);
        if (!setLink(last, tag)) return 0;
        last = tag;
        return tag;
    };
    if (index != 0 && index != kAppend && k < index) {
        // Pad with data-less children so the new one becomes the index-th of
        // its class.
        for (unsigned pad = index - k; pad > 0; --pad)
            if (!append(nullptr)) return 0;
    }
    return append(copy ? dqCreateData(data, classSize(cls, data)) : data);
}

void Database::deleteTag(unsigned tag) {
    if (!valid(tag)) return;
    unsigned cls = classOf(tag);
    if (cls >= 2000) return; // root, heads, journal records, marks, empties
    for (unsigned t = tag + 1; valid(t) && isHead(t); ++t) {
        unsigned member = table_[t].link;
        unsigned steps = 0;
        while (member != t && valid(member) && steps++ <= count_) {
            unsigned next = table_[member].link;
            deleteTag(member);
            member = next;
        }
        Element empty;
        setElement(t, empty);
    }
    Element empty;
    setElement(tag, empty);
}

} // namespace DQ
