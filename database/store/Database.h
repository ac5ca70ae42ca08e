// The tag store: one growing table of (link, element) entries, child rings
// threaded through the links, and the undo journal kept against marks.
//
// Journal invariant (checked by assertJournalState in debug builds): for
// every tag T not greater than the current mark, the first class-2004 record
// with link T above the current mark (if any) holds T's content as it was at
// the current mark, and the first class-2003 record with link T above it holds
// T's link as it was then. The sets contentJournaled_/linkJournaled_ are an
// index of exactly the targets of such records, so a change finds "already
// recorded" without scanning every entry since the mark.
//
// State transitions of the journal:
//   dqSetMark        appends a mark; it becomes the current mark and redo head.
//   dqDoToMark       replays records down to a mark, then appends a new mark
//                    (the current mark; the redo head stays).
//   dqClearUntilMark replays to the mark, then drops every entry above it; the
//                    mark becomes the current mark.
// Each of them leaves no entry above the current mark, so the index is empty
// after each.
#pragma once

#include "korvex.h"
#include "store/Element.h"

#include <cstdio>
#include <sys/types.h>
#include <unordered_set>

namespace DQ {

struct Entry {
    unsigned link = 0;
    Element element;
};

class Database {
public:
    Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    virtual ~Database();

    // --- table -----------------------------------------------------------
    bool hasTable() const { return table_ != nullptr; }
    unsigned count() const { return count_; }
    unsigned capacity() const { return capacity_; }
    bool valid(unsigned tag) const { return tag < count_; }
    unsigned classOf(unsigned tag) const {
        return valid(tag) ? table_[tag].element.getClass() : unsigned(dqCClassInvalid);
    }
    unsigned linkOf(unsigned tag) const {
        return valid(tag) ? table_[tag].link : unsigned(dqCClassInvalid);
    }
    void* dataOf(unsigned tag) const { return valid(tag) ? table_[tag].element.getData() : nullptr; }
    // The entry's element; tag must be valid.
    const Element& elementOf(unsigned tag) const { return table_[tag].element; }
    bool isHead(unsigned tag) const { return classOf(tag) == dqCClassChildHead; }

    // Makes the table with room for 1024 entries; false when out of memory.
    bool allocateTable();
    // Empties every entry and frees the table; closes and deletes the journal.
    void destroy();
    // Sets an entry directly, bypassing the journal (session set-up only).
    void setDirect(unsigned tag, unsigned link, unsigned cls, void* data);

    // Appends an entry with the given link (0: itself). Returns its tag, or 0
    // when the table cannot grow.
    unsigned newTag(unsigned link);
    // The one journaled replacement of an entry's content. On return the
    // caller's element holds the old payload.
    void setElement(unsigned tag, Element& element);
    // The journaled link change; false when the journal record could not be
    // made (then the link is left unchanged).
    bool setLink(unsigned tag, unsigned link);

    // --- child lists -----------------------------------------------------
    unsigned firstChild(unsigned parent, unsigned list, unsigned* iterator) const;
    unsigned nextChild(unsigned* iterator) const;
    unsigned findChild(unsigned parent, unsigned list, unsigned index, unsigned cls,
                       void** data) const;
    // Sets or appends a child. With copy, data is copied (classSize bytes).
    unsigned putChild(unsigned parent, unsigned list, unsigned index, unsigned cls, void* data,
                      bool copy);
    void deleteTag(unsigned tag);

    // --- journal ---------------------------------------------------------
    unsigned setMark();
    int doToMark(unsigned mark, unsigned capacity, int* count, unsigned* list);
    void clearUntilMark(unsigned mark, unsigned capacity, int* count, unsigned* list);
    unsigned lastMark() const { return currentMark_; }
    unsigned firstMark() const;
    unsigned undoMark() const;
    unsigned redoMark() const;
    unsigned nextSelected(unsigned type, unsigned* serial, int* iterator) const;
    // Opens a fresh journal file in the temporary folder; none on failure.
    void openJournal();
    const char* journalName() const { return journalName_; }
    bool hasJournal() const { return journal_ != nullptr; }

    unsigned selectionSerial = 0;
    // The session's drawing context, used by the scene display for the view
    // box.
    gqCOpenGL drawingContext;

private:
    void recordContent(unsigned tag);
    bool recordLink(unsigned tag);
    void resetJournalIndex();
    void rebuildJournalIndex();
    void noteJournalRecordChanged(unsigned tag);
    void assertJournalState() const;

    unsigned redoHead_ = 0;
    unsigned currentMark_ = 0;
    std::FILE* journal_ = nullptr;
    std::FILE* journalReader_ = nullptr; // read side of the same file, for replays
    char journalName_[260] = {};
    off_t journalEnd_ = 0;      // byte offset of the journal file's end
    bool journalAtEnd_ = false; // the stream is writing at journalEnd_
    unsigned count_ = 0;
    unsigned capacity_ = 0;
    Entry* table_ = nullptr;

    std::unordered_set<unsigned> contentJournaled_;
    std::unordered_set<unsigned> linkJournaled_;
    bool indexStale_ = false;
};

} // namespace DQ
