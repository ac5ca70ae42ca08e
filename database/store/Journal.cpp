// The undo/redo journal: content records in a temporary file, link records
// and marks in the table itself. See Database.h for the invariant.
#include "store/Database.h"

#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace DQ {

void Database::openJournal() {
    const char* dir = std::getenv("TMPDIR");
    if (!dir || !*dir) dir = "/tmp";
    char name[sizeof journalName_];
    int written = std::snprintf(name, sizeof name, "%s/ORXXXXXX", dir);
    if (written < 0 || written >= static_cast<int>(sizeof name)) return;
    // mkstemp creates the file atomically, so no other process can take the
    // name between choosing and opening it.
    int fd = mkstemp(name);
    if (fd < 0) return;
    journal_ = fdopen(fd, "w+b");
    if (!journal_) {
        close(fd);
        std::remove(name);
        return;
    }
    std::memcpy(journalName_, name, sizeof name);
    journalEnd_ = 0;
    journalAtEnd_ = true;
}

void Database::resetJournalIndex() {
    contentJournaled_.clear();
    linkJournaled_.clear();
    indexStale_ = false;
}

// A journal record above the current mark was changed through the ordinary
// exports; the index is rebuilt from the table before it is used again.
void Database::noteJournalRecordChanged(unsigned) { indexStale_ = true; }

void Database::rebuildJournalIndex() {
    resetJournalIndex();
    for (unsigned t = currentMark_ + 1; t < count_; ++t) {
        unsigned cls = classOf(t);
        if (cls == dqCClassDataJournal) contentJournaled_.insert(table_[t].link);
        if (cls == dqCClassLinkJournal) linkJournaled_.insert(table_[t].link);
    }
}

void Database::recordContent(unsigned tag) {
    // A record names its target through its link, and link 0 reads as "the
    // record itself": a record for the root could not restore the root and
    // would overwrite itself when replayed. The root (the title) is
    // therefore outside the history, like dqSetTitle.
    if (tag == 0 || tag > currentMark_ || !journal_) return;
    if (indexStale_) rebuildJournalIndex();
    if (contentJournaled_.count(tag)) return;
    // Records are only ever appended, so the end is known without asking the
    // stream; only after a failed write is it looked up again.
    if (!journalAtEnd_) {
        if (fseeko(journal_, 0, SEEK_END) != 0) return;
        off_t pos = ftello(journal_);
        if (pos < 0) return;
        journalEnd_ = pos;
        journalAtEnd_ = true;
    }
    std::int64_t position = journalEnd_;
    long written = table_[tag].element.write(journal_);
    if (written > 0) journalEnd_ += written;
    else journalAtEnd_ = false;
    unsigned record = newTag(tag);
    if (!record) return;
    table_[record].element.set(dqCClassDataJournal, dqCreateData(&position, sizeof position));
    contentJournaled_.insert(tag);
    assertJournalState();
}

bool Database::recordLink(unsigned tag) {
    if (tag > currentMark_) return true;
    if (indexStale_) rebuildJournalIndex();
    if (linkJournaled_.count(tag)) return true;
    unsigned old = table_[tag].link;
    unsigned record = newTag(tag);
    if (!record) return false;
    table_[record].element.set(dqCClassLinkJournal, dqCreateData(&old, sizeof old));
    linkJournaled_.insert(tag);
    assertJournalState();
    return true;
}

void Database::assertJournalState() const {
#ifndef NDEBUG
    // The index must name exactly the targets of the records above the mark.
    if (indexStale_) return;
    std::unordered_set<unsigned> content, links;
    for (unsigned t = currentMark_ + 1; t < count_; ++t) {
        if (classOf(t) == dqCClassDataJournal) content.insert(table_[t].link);
        if (classOf(t) == dqCClassLinkJournal) links.insert(table_[t].link);
    }
    assert(content == contentJournaled_ && "content index out of step with the table");
    assert(links == linkJournaled_ && "link index out of step with the table");
    assert(currentMark_ < count_ || currentMark_ == 0);
#endif
}

unsigned Database::setMark() {
    if (!table_ || count_ == 0) return 0;
    unsigned top = count_ - 1;
    if (classOf(top) == dqCClassMark) return top;
    unsigned mark = newTag(currentMark_);
    if (!mark) return 0;
    table_[mark].element.set(dqCClassMark, nullptr);
    redoHead_ = currentMark_ = mark;
    resetJournalIndex();
    return mark;
}

int Database::doToMark(unsigned mark, unsigned capacity, int* count, unsigned* list) {
    int dummy;
    if (!count) count = &dummy;
    *count = 0;
    if (classOf(mark) != dqCClassMark) return 0;
    const unsigned high = count_;
    const unsigned current = currentMark_;
    // Old contents are read through a second stream of the same file, so the
    // writing stream keeps its buffer and its place at the end.
    if (journal_) {
        std::fflush(journal_);
        if (!journalReader_) journalReader_ = std::fopen(journalName_, "rb");
    }
    int applied = 0;
    auto affect = [&](unsigned t) {
        if (list && static_cast<unsigned>(*count) < capacity) list[(*count)++] = t;
    };
    auto replay = [&](unsigned t) {
        unsigned cls = classOf(t);
        unsigned target = linkOf(t);
        if (cls == dqCClassDataJournal) {
            void* data = dataOf(t);
            if (!data) return;
            std::int64_t position;
            std::memcpy(&position, data, sizeof position);
            Element restored;
            if (!journalReader_ || fseeko(journalReader_, static_cast<off_t>(position), SEEK_SET) != 0 ||
                restored.read(journalReader_) < 0)
                restored.clear();
            setElement(target, restored);
            ++applied;
            affect(target);
        } else if (cls == dqCClassLinkJournal) {
            void* data = dataOf(t);
            unsigned old = target;
            if (data) std::memcpy(&old, data, sizeof old);
            setLink(target, old);
            ++applied;
            affect(target);
        } else if (cls < 2000) {
            Element cleared(cls, nullptr);
            setElement(t, cleared);
            ++applied;
            affect(t);
        }
    };
    for (unsigned t = high; t-- > current + 1;) replay(t);
    for (unsigned t = current; t-- > mark + 1;) replay(t);

    unsigned previous = linkOf(mark);
    if (previous == mark) previous = 0;
    unsigned now = newTag(previous);
    if (now) {
        table_[now].element.set(dqCClassMark, nullptr);
        currentMark_ = now;
        resetJournalIndex();
    }
    return applied;
}

void Database::clearUntilMark(unsigned mark, unsigned capacity, int* count, unsigned* list) {
    int dummy;
    if (!count) count = &dummy;
    if (mark == 0 || classOf(mark) != dqCClassMark) {
        *count = 0;
        return;
    }
    doToMark(mark, capacity, count, list);
    for (unsigned t = mark + 1; t < count_; ++t) {
        table_[t].element.clear();
        table_[t].link = 0;
    }
    count_ = mark + 1;
    if (redoHead_ > mark) redoHead_ = mark;
    currentMark_ = mark;
    resetJournalIndex();
}

unsigned Database::firstMark() const {
    for (unsigned t = 0; t < count_; ++t)
        if (classOf(t) == dqCClassMark) return t;
    return 0;
}

unsigned Database::undoMark() const {
    unsigned previous = linkOf(currentMark_);
    return previous == currentMark_ || !valid(currentMark_) ? 0 : previous;
}

unsigned Database::redoMark() const {
    if (currentMark_ == 0) return 0;
    unsigned u = linkOf(currentMark_);
    if (u == currentMark_) u = 0;
    unsigned a = redoHead_, b = redoHead_, c = redoHead_;
    // The chain of marks is finite and strictly decreasing; the bound only
    // protects against a chain broken by direct link edits.
    for (unsigned steps = 0; steps <= count_; ++steps) {
        if (a == u) break;
        c = b;
        b = a;
        a = linkOf(a);
        if (a == b) {
            if (u != 0) return 0;
            break;
        }
    }
    return c == b ? 0 : c;
}

unsigned Database::nextSelected(unsigned type, unsigned* serial, int* iterator) const {
    unsigned dummySerial;
    if (!serial) serial = &dummySerial;
    auto selectTypeOf = [&](unsigned t, std::uint32_t* words) {
        if (classOf(t) != dqCClassSelect || !dataOf(t)) return false;
        std::memcpy(words, dataOf(t), 8);
        return words[0] == type;
    };
    for (long i = *iterator; ; --i) {
        if (i < 0 || i >= static_cast<long>(count_) || classOf(i) == dqCClassMark) {
            *iterator = 0;
            *serial = 0;
            return 0;
        }
        std::uint32_t words[2];
        unsigned s;
        if (selectTypeOf(static_cast<unsigned>(i), words))
            s = static_cast<unsigned>(i);
        else if (classOf(i) == dqCClassDataJournal && selectTypeOf(linkOf(i), words))
            s = linkOf(i);
        else
            continue;
        // The owner is the first non-head before the selection's list head.
        unsigned t = s;
        for (unsigned steps = 0; !isHead(t) && steps <= count_; ++steps) t = linkOf(t);
        if (!isHead(t)) continue;
        while (t > 0 && isHead(t)) --t;
        *iterator = static_cast<int>(i - 1);
        *serial = words[1];
        return t;
    }
}

} // namespace DQ
