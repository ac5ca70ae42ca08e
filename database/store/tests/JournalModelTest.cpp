// A seeded random run of store changes, marks, undos, redos and clears,
// checked after every step against a plain model of what every tag's class,
// link and data bytes must be.
//
// The model knows nothing of journal records: it tracks only the tags the
// test made. At every mark it keeps a copy of itself; undo and redo must
// bring every tracked tag back to the copy of the mark they go to. Tags made
// after that mark keep their class with null data (their links are then not
// checked; they are never used again).
#include "StoreTestSupport.h"
#include "store/TypedList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <string>

using namespace storetest;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TagState {
    unsigned cls = 0;
    unsigned link = 0;
    std::optional<Bytes> data;
    bool linkKnown = true;
    bool dataKnown = true;
};

struct Model {
    std::map<unsigned, TagState> tags;
    std::vector<unsigned> objects;                      // blocks with a child-list head
    std::map<unsigned, std::vector<unsigned>> children; // ring order
    std::vector<unsigned> loose;                        // doubles outside any ring
    std::vector<unsigned> lists;                        // integer lists
};

class RandomRun {
public:
    explicit RandomRun(unsigned seed) : rng_(seed) {}

    void run(int steps) {
        history_.push_back(model_);
        pos_ = 0;
        ASSERT_NE(dqSetMark(), 0u);
        for (int step = 0; step < steps; ++step) {
            doOne();
            SCOPED_TRACE("step " + std::to_string(step) + ": " + lastOp_);
            if (std::getenv("JOURNAL_MODEL_TRACE")) // a readable log when a seed fails
                std::fprintf(stderr, "%d %s\n", step, lastOp_.c_str());
            check();
            if (::testing::Test::HasFatalFailure() || ::testing::Test::HasNonfatalFailure()) return;
        }
    }

private:
    unsigned pick(std::size_t n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < unsigned(percent); }

    Bytes randomBytes(std::size_t n) {
        Bytes b(n);
        // Few distinct values, so equal replacements happen often enough.
        for (auto& x : b) x = static_cast<std::uint8_t>(pick(3));
        return b;
    }
    void* blockOf(const Bytes& b) { return dqCreateData(b.data(), unsigned(b.size())); }
    static Bytes storeBytes(unsigned tag) {
        void* p = dqGetData(tag);
        unsigned cls = dqGetClass(tag);
        std::size_t n = cls == dqCClassIntList ? 4 + 4 * *static_cast<std::uint32_t*>(p)
                        : cls == dqCClassBlock ? 24
                        : cls == dqCClassColor ? 16
                                               : 8;
        return bytesOf(p, n);
    }

    void change(unsigned tag, std::optional<Bytes> data) {
        TagState& s = model_.tags[tag];
        if (s.data != data) dirty_ = true;
        s.data = std::move(data);
    }
    void added(unsigned tag, TagState s) {
        ASSERT_NE(tag, 0u);
        model_.tags[tag] = std::move(s);
        dirty_ = true;
    }

    void doOne() {
        switch (pick(15)) {
        case 0: addLoose(); break;
        case 1: addObject(); break;
        case 2: addList(); break;
        case 3: case 4: setData(); break;
        case 5: setLink(); break;
        case 6: case 7: appendChild(); break;
        case 8: replaceOrPadChild(); break;
        case 9: deleteSomething(); break;
        case 10: editList(); break;
        case 11: case 12: mark(); break;
        case 13: undoOrRedo(); break;
        case 14: clearUnmarked(); break;
        }
    }

    void addLoose() {
        lastOp_ = "add loose";
        Bytes b = randomBytes(8);
        unsigned high = dqGetHighestTag();
        unsigned link = chance(50) ? 0 : 1 + pick(high - 1);
        unsigned t = dqAddData(dqCClassDouble, link, blockOf(b));
        added(t, {dqCClassDouble, link ? link : t, b});
        model_.loose.push_back(t);
    }

    void addObject() {
        lastOp_ = "add object";
        Bytes b = randomBytes(24);
        unsigned obj = storetest::addObject(dqCClassBlock, blockOf(b));
        added(obj, {dqCClassBlock, obj, b});
        added(obj + 1, {dqCClassChildHead, obj + 1, bytesOf(&obj, 4)});
        model_.objects.push_back(obj);
        model_.children[obj];
    }

    void addList() {
        lastOp_ = "add list";
        unsigned n = pick(5);
        std::vector<unsigned> values(n);
        for (auto& v : values) v = pick(1000);
        void* list = DQ::newIntList(n, values.data());
        unsigned t = dqAddData(dqCClassIntList, 0, list);
        added(t, {dqCClassIntList, t, bytesOf(list, 4 + 4 * n)});
        model_.lists.push_back(t);
    }

    std::vector<unsigned> dataTags() const {
        std::vector<unsigned> all = model_.loose;
        all.insert(all.end(), model_.objects.begin(), model_.objects.end());
        for (auto& [obj, kids] : model_.children) all.insert(all.end(), kids.begin(), kids.end());
        return all;
    }

    void setData() {
        std::vector<unsigned> all = dataTags();
        if (all.empty()) return addLoose();
        unsigned t = all[pick(all.size())];
        const TagState& s = model_.tags[t];
        std::size_t n = s.cls == dqCClassBlock ? 24 : s.cls == dqCClassColor ? 16 : 8;
        if (chance(10)) {
            lastOp_ = "set null data on " + std::to_string(t);
            dqSetData(t, nullptr);
            change(t, std::nullopt);
            return;
        }
        Bytes b = randomBytes(n);
        if (chance(50)) {
            lastOp_ = "set data on " + std::to_string(t);
            dqSetData(t, blockOf(b));
        } else {
            lastOp_ = "alloc data on " + std::to_string(t);
            dqAllocData(t, b.data());
        }
        change(t, b);
    }

    void setLink() {
        if (model_.loose.empty()) return addLoose();
        unsigned t = model_.loose[pick(model_.loose.size())];
        unsigned link = chance(20) ? t : 1 + pick(dqGetHighestTag() - 1);
        lastOp_ = "link " + std::to_string(t) + " to " + std::to_string(link);
        dqSetLinkTag(t, link);
        TagState& s = model_.tags[t];
        if (s.link != link) dirty_ = true;
        s.link = link;
    }

    // Appends to the model's ring exactly as the store does: after the
    // member with the highest tag.
    void appendToModel(unsigned obj, unsigned child, unsigned cls, std::optional<Bytes> data) {
        auto& kids = model_.children[obj];
        unsigned last = obj + 1;
        for (unsigned k : kids) last = std::max(last, k);
        added(child, {cls, model_.tags[last].link, std::move(data)});
        model_.tags[last].link = child;
        kids.push_back(child);
    }

    void appendChild() {
        if (model_.objects.empty()) return addObject();
        unsigned obj = model_.objects[pick(model_.objects.size())];
        bool colour = chance(50);
        unsigned cls = colour ? dqCClassColor : dqCClassDouble;
        Bytes b = randomBytes(colour ? 16 : 8);
        lastOp_ = "append child to " + std::to_string(obj);
        unsigned c = dqAllocChild(obj, 0, 0xFFFFFFFF, dqCClassEnum(cls), b.data());
        appendToModel(obj, c, cls, b);
    }

    void replaceOrPadChild() {
        if (model_.objects.empty()) return addObject();
        unsigned obj = model_.objects[pick(model_.objects.size())];
        std::vector<unsigned> sameClass;
        for (unsigned k : model_.children[obj])
            if (model_.tags[k].cls == dqCClassDouble) sameClass.push_back(k);
        unsigned index = pick(sameClass.size() + 3);
        Bytes b = randomBytes(8);
        lastOp_ = "put child " + std::to_string(index) + " of " + std::to_string(obj);
        unsigned c = dqAllocChild(obj, 0, index, dqCClassDouble, b.data());
        if (index < sameClass.size()) {
            EXPECT_EQ(c, sameClass[index]);
            change(c, b);
            return;
        }
        // Padding children without data come first when index 0 is not asked.
        std::vector<unsigned> padded;
        if (index != 0)
            for (std::size_t k = sameClass.size(); k < index; ++k) padded.push_back(0);
        // The store made the pads and the child in increasing tags; find them
        // by walking its ring past the known members.
        unsigned it;
        std::vector<unsigned> ring;
        for (unsigned t = dqGetFirstChildTag(obj, 0, &it); t; t = dqGetNextChildTag(&it))
            ring.push_back(t);
        std::size_t known = model_.children[obj].size();
        ASSERT_EQ(ring.size(), known + padded.size() + 1);
        for (std::size_t k = 0; k < padded.size(); ++k)
            appendToModel(obj, ring[known + k], dqCClassDouble, std::nullopt);
        appendToModel(obj, ring.back(), dqCClassDouble, b);
        EXPECT_EQ(c, ring.back());
    }

    void emptyInModel(unsigned t) {
        TagState& s = model_.tags[t];
        if (s.cls != dqCClassEmpty || s.data) dirty_ = true;
        s.cls = dqCClassEmpty;
        s.data = std::nullopt;
    }

    void deleteSomething() {
        if (!model_.objects.empty() && chance(60)) {
            std::size_t i = pick(model_.objects.size());
            unsigned obj = model_.objects[i];
            lastOp_ = "delete object " + std::to_string(obj);
            dqDeleteTag(obj);
            emptyInModel(obj);
            emptyInModel(obj + 1);
            for (unsigned k : model_.children[obj]) emptyInModel(k);
            model_.children.erase(obj);
            model_.objects.erase(model_.objects.begin() + i);
        } else if (!model_.loose.empty()) {
            std::size_t i = pick(model_.loose.size());
            unsigned t = model_.loose[i];
            lastOp_ = "delete loose " + std::to_string(t);
            dqDeleteTag(t);
            emptyInModel(t);
            model_.loose.erase(model_.loose.begin() + i);
        }
    }

    void editList() {
        if (model_.lists.empty()) return addList();
        unsigned t = model_.lists[pick(model_.lists.size())];
        TagState& s = model_.tags[t];
        Bytes b = *s.data;
        std::uint32_t count;
        std::memcpy(&count, b.data(), 4);
        unsigned first = pick(count + 4), n = 1 + pick(3);
        std::vector<unsigned> values(n);
        for (auto& v : values) v = pick(4);
        lastOp_ = "edit list " + std::to_string(t);
        if (n == 1)
            dqSetIntListElem(t, first, values[0]);
        else
            dqSetIntListElems(t, first, n, values.data());
        if (first + n > count) {
            count = first + n;
            b.resize(4 + 4 * count, 0);
            std::memcpy(b.data(), &count, 4);
        }
        std::memcpy(b.data() + 4 + 4 * first, values.data(), 4 * n);
        change(t, b);
    }

    void mark() {
        lastOp_ = "mark";
        unsigned m = dqSetMark();
        ASSERT_NE(m, 0u);
        EXPECT_EQ(m, dqGetHighestTag() - 1);
        EXPECT_EQ(dqGetLastMark(), m);
        if (!dirty_) return;
        history_.resize(pos_ + 1);
        history_.push_back(model_);
        ++pos_;
        dirty_ = false;
    }

    // Everything the model tracks goes back to its state in `to`; tags made
    // after it get null data and the class they had at the current mark (the
    // replay passes through that state first), or their present class when
    // they are younger than the current mark.
    void restore(const Model& to) {
        const Model& atMark = history_[pos_];
        Model next = to;
        for (auto& [tag, s] : model_.tags) {
            if (to.tags.count(tag)) continue;
            auto marked = atMark.tags.find(tag);
            TagState z = marked != atMark.tags.end() ? marked->second : s;
            if (z.cls < 2000) z.data = std::nullopt;
            z.dataKnown = z.cls < 2000;
            z.linkKnown = false;
            next.tags[tag] = z;
        }
        model_ = std::move(next);
        dirty_ = false;
    }

    void undoOrRedo() {
        unsigned u = dqGetUndoMark(), r = dqGetRedoMark();
        EXPECT_EQ(u != 0, pos_ > 0) << "undo availability";
        EXPECT_EQ(r != 0, pos_ + 1 < history_.size()) << "redo availability";
        int count;
        if (u && (!r || chance(45))) {
            lastOp_ = "undo";
            dqDoToMark(u, 0, &count, nullptr);
            restore(history_[pos_ - 1]);
            --pos_;
        } else if (r) {
            lastOp_ = "redo";
            dqDoToMark(r, 0, &count, nullptr);
            restore(history_[pos_ + 1]);
            ++pos_;
        } else {
            lastOp_ = "nothing to undo or redo";
        }
    }

    void clearUnmarked() {
        lastOp_ = "clear until the last mark";
        unsigned m = dqGetLastMark();
        int count;
        dqClearUntilMark(m, 0, &count, nullptr);
        EXPECT_EQ(dqGetHighestTag(), m + 1);
        restore(history_[pos_]);
        for (auto it = model_.tags.begin(); it != model_.tags.end();)
            it = it->first > m ? model_.tags.erase(it) : std::next(it);
    }

    void check() {
        for (const auto& [tag, s] : model_.tags) {
            SCOPED_TRACE("tag " + std::to_string(tag));
            ASSERT_EQ(unsigned(dqGetClass(tag)), s.cls);
            if (s.linkKnown) ASSERT_EQ(dqGetLinkTag(tag), s.link);
            if (!s.dataKnown || s.cls >= 2000) continue;
            if (!s.data) {
                ASSERT_EQ(dqGetData(tag), nullptr);
            } else {
                ASSERT_NE(dqGetData(tag), nullptr);
                ASSERT_EQ(storeBytes(tag), *s.data);
            }
        }
    }

    std::mt19937 rng_;
    Model model_;
    std::vector<Model> history_;
    std::size_t pos_ = 0;
    bool dirty_ = false;
    std::string lastOp_;
};

class JournalModel : public ::testing::TestWithParam<unsigned> {
protected:
    FreshSession session;
};

TEST_P(JournalModel, RandomChangesUndoAndRedoMatchTheModel) {
    RandomRun(GetParam()).run(2500);
}

INSTANTIATE_TEST_SUITE_P(Seeds, JournalModel, ::testing::Values(1u, 2u, 3u, 4u, 20261211u));

} // namespace
