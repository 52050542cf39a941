// The keyed collection: look-ups in both compare modes, the run-time errors, sorting, removal and
// the file round trip with files cut short or lying about their count. Runs natively under the
// sanitizers and under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "collection/clsCollection.h"

namespace {

using quorallion::clsCollection;
using quorallion::CollectionValue;
using quorallion::LibraryError;
namespace fs = std::filesystem;

CollectionValue T(const wchar_t* text) { return CollectionValue{std::wstring(text)}; }
CollectionValue N(double number) { return CollectionValue{number}; }

// Runs the call and returns the error number it raised, 0 when it raised none.
template <class F>
long ErrorOf(F&& call, std::wstring* source = nullptr) {
    try {
        call();
    } catch (const LibraryError& e) {
        if (source) *source = e.Source();
        return e.Number();
    }
    return 0;
}

std::vector<std::wstring> Items(const clsCollection& c) {
    std::vector<std::wstring> out;
    for (int32_t i = 1; i <= c.Count(); ++i) out.push_back(clsCollection::ValueText(c.item(i)));
    return out;
}

std::vector<std::wstring> Keys(const clsCollection& c) {
    std::vector<std::wstring> out;
    for (int32_t i = 1; i <= c.Count(); ++i) out.push_back(clsCollection::ValueText(c.key(i)));
    return out;
}

clsCollection Make(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> records) {
    clsCollection c;
    for (const auto& [item, key] : records) c.Add(T(item), T(key));
    return c;
}

class TempFile {
public:
    TempFile() {
        static std::atomic<int> serial{0};
        path_ = fs::temp_directory_path() /
                ("quorallion-collection-" + std::to_string(serial++) + "-" +
                 std::to_string(reinterpret_cast<uintptr_t>(this)) + ".bin");
    }
    ~TempFile() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    void Write(const std::vector<uint8_t>& bytes) const {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

private:
    fs::path path_;
};

TEST(clsCollection, KeysInBinaryAndTextMode) {
    clsCollection binary;
    binary.Add(T(L"x"), T(L"a"));
    binary.Add(T(L"y"), T(L"A"));
    EXPECT_EQ(binary.Count(), 2);
    EXPECT_EQ(binary.KeyIndex(T(L"A")), 2);

    clsCollection text;
    text.Compare(1);
    text.Add(T(L"x"), T(L"a"));
    std::wstring source;
    EXPECT_EQ(ErrorOf([&] { text.Add(T(L"y"), T(L"A")); }, &source), 475);
    EXPECT_EQ(source, L"Add");
    EXPECT_EQ(text.Count(), 1) << "a refused Add changes nothing";
    EXPECT_EQ(text.KeyIndex(T(L"A")), 1);
    EXPECT_EQ(text.ItemIndex(T(L"X")), 1);
}

TEST(clsCollection, LookUpsByTable) {
    struct Case {
        const char* why;
        int32_t mode;
        CollectionValue stored, wanted;
        bool found;
    };
    const Case cases[] = {
        {"binary is case-sensitive", 0, T(L"Rule"), T(L"rule"), false},
        {"binary equal", 0, T(L"p.a"), T(L"p.a"), true},
        {"text ignores case", 1, T(L"P.A"), T(L"p.a"), true},
        {"a number matches its text", 0, N(12), T(L"12"), true},
        {"a fraction as the run-time prints it", 0, N(1.5), T(L"1.5"), true},
        {"same length, other text", 1, T(L"abc"), T(L"abd"), false},
        {"prefix is no match", 0, T(L"abc"), T(L"ab"), false},
        {"nothing matches the empty text", 0, CollectionValue{}, T(L""), true},
        {"other modes find nothing", 2, T(L"a"), T(L"a"), false},
    };
    for (const Case& c : cases) {
        clsCollection collection;
        collection.Compare(c.mode);
        collection.Add(c.stored, c.stored);
        EXPECT_EQ(collection.ItemExists(c.wanted), c.found) << c.why;
        EXPECT_EQ(collection.KeyExists(c.wanted), c.found) << c.why;
    }
}

TEST(clsCollection, ErrorsByTable) {
    struct Case {
        const char* why;
        std::function<void(clsCollection&)> call;
        long number;
        std::vector<std::wstring> itemsAfter;  // of the collection a, b, c keyed ka, kb, kc
    };
    const std::vector<std::wstring> same = {L"a", L"b", L"c"};
    const Case cases[] = {
        {"item 0", [](clsCollection& c) { c.item(0); }, 9, same},
        {"item past the end", [](clsCollection& c) { c.item(4); }, 9, same},
        {"set item past the end", [](clsCollection& c) { c.item(4, T(L"z")); }, 9, same},
        {"key -1", [](clsCollection& c) { c.key(-1); }, 9, same},
        {"key set to its own key", [](clsCollection& c) { c.key(1, T(L"ka")); }, 475, same},
        {"key set to another's key", [](clsCollection& c) { c.key(1, T(L"kb")); }, 475, same},
        {"RemoveItem 0", [](clsCollection& c) { c.RemoveItem(0); }, 9, same},
        {"RemoveItem past the end", [](clsCollection& c) { c.RemoveItem(4); }, 9, same},
        {"MoveTo outside", [](clsCollection& c) { c.MoveTo(1, 4); }, 9, same},
        {"RemoveItemEx without indexes", [](clsCollection& c) { c.RemoveItemEx({}); }, 13, same},
        {"RemoveItemEx with a word", [](clsCollection& c) { c.RemoveItemEx({T(L"two")}); }, 13, same},
        {"RemoveItemEx past the end removes nothing",
         [](clsCollection& c) { c.RemoveItemEx({N(1), N(9)}); }, 9, same},
        {"RemoveItemEx with 0 keeps the removals above it",
         [](clsCollection& c) { c.RemoveItemEx({N(0), N(3)}); }, 9, {L"a", L"b"}},
        {"duplicate key in Add", [](clsCollection& c) { c.Add(T(L"d"), T(L"kc")); }, 475, same},
        {"keyless records are accepted", [](clsCollection& c) { c.Add(T(L"d")); c.Add(T(L"e")); }, 0,
         {L"a", L"b", L"c", L"d", L"e"}},
        {"a key may be cleared", [](clsCollection& c) { c.key(2, T(L"")); }, 0, same},
    };
    for (const Case& c : cases) {
        clsCollection collection = Make({{L"a", L"ka"}, {L"b", L"kb"}, {L"c", L"kc"}});
        EXPECT_EQ(ErrorOf([&] { c.call(collection); }), c.number) << c.why;
        EXPECT_EQ(Items(collection), c.itemsAfter) << c.why;
    }
}

TEST(clsCollection, EmptyCollection) {
    clsCollection empty;
    EXPECT_EQ(empty.KeyIndex(T(L"k")), -1);
    EXPECT_EQ(ErrorOf([&] { empty.ItemIndex(T(L"k")); }), 9);
    EXPECT_EQ(empty.Lower(), 1);
    TempFile file;
    EXPECT_EQ(ErrorOf([&] { empty.SaveToFile(file.path()); }), 9) << "an empty collection has no upper bound";
}

TEST(clsCollection, SortAndMove) {
    clsCollection c = Make({{L"banana", L"1"}, {L"apple", L"2"}, {L"cherry", L"3"}});
    c.sort(1);
    EXPECT_EQ(Items(c), (std::vector<std::wstring>{L"apple", L"banana", L"cherry"}));
    EXPECT_EQ(Keys(c), (std::vector<std::wstring>{L"2", L"1", L"3"})) << "keys move with their items";
    c.sort(0);
    EXPECT_EQ(Items(c), (std::vector<std::wstring>{L"cherry", L"banana", L"apple"}));

    c.MoveTo(1, 3);
    EXPECT_EQ(Items(c), (std::vector<std::wstring>{L"apple", L"banana", L"cherry"}));
    EXPECT_EQ(Keys(c), (std::vector<std::wstring>{L"2", L"1", L"3"}));
    c.MoveTo(2, 2);
    EXPECT_EQ(Items(c), (std::vector<std::wstring>{L"apple", L"banana", L"cherry"}));
}

TEST(clsCollection, Removal) {
    clsCollection c = Make({{L"r1", L"k1"}, {L"r2", L"k2"}, {L"r3", L"k3"}, {L"r4", L"k4"}});
    c.RemoveItemEx({N(1), N(3)});
    EXPECT_EQ(Items(c), (std::vector<std::wstring>{L"r2", L"r4"}));
    EXPECT_EQ(Keys(c), (std::vector<std::wstring>{L"k2", L"k4"}));

    clsCollection twice = Make({{L"r1", L"k1"}, {L"r2", L"k2"}, {L"r3", L"k3"}});
    twice.RemoveItemEx({N(2), T(L"2")});
    EXPECT_EQ(Items(twice), (std::vector<std::wstring>{L"r1", L"r3"})) << "an index named twice removes one record";

    twice.RemoveItem(1);
    twice.RemoveItem(1);
    EXPECT_EQ(twice.Count(), 0);
    twice.Add(T(L"again"), T(L"k1"));
    EXPECT_EQ(twice.KeyIndex(T(L"k1")), 1);
    twice.RemoveAll();
    EXPECT_EQ(twice.Count(), 0);
}

TEST(clsCollection, FileRoundTrip) {
    clsCollection c;
    c.Add(T(L"color:red"), T(L"p"));
    c.Add(N(-2.25), N(7));
    c.Add(CollectionValue{});
    c.Add(T(L"\u4e2d\u6587 \U0001F600"), T(L"h1.title"));
    TempFile file;
    c.SaveToFile(file.path());

    clsCollection loaded;
    loaded.LoadFromFile(file.path());
    ASSERT_EQ(loaded.Count(), 4);
    for (int32_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(loaded.item(i), c.item(i)) << i;
        EXPECT_EQ(loaded.key(i), c.key(i)) << i;
    }
    EXPECT_EQ(loaded.KeyIndex(N(7)), 2);
}

TEST(clsCollection, DamagedFilesKeepTheRecords) {
    clsCollection source = Make({{L"one", L"k1"}, {L"two", L"k2"}});
    const std::vector<uint8_t> good = source.SaveToBytes();

    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    struct Case {
        const char* why;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty file", {}},
        {"count cut short", {2, 0}},
        {"cut inside a text", std::vector<uint8_t>(good.begin(), good.end() - 3)},
        {"count lies high", with(0, 3)},
        {"count far beyond the file", {0xff, 0xff, 0xff, 0x7f, 0, 0}},
        {"count lies low", with(0, 1)},
        {"unknown type", with(4, 9)},
        {"text length beyond the file", with(5, 0xff)},
    };
    for (const Case& c : cases) {
        TempFile file;
        file.Write(c.bytes);
        clsCollection target = Make({{L"kept", L"k"}});
        EXPECT_EQ(ErrorOf([&] { target.LoadFromFile(file.path()); }), 321) << c.why;
        EXPECT_EQ(Items(target), std::vector<std::wstring>{L"kept"}) << c.why;
    }

    clsCollection target = Make({{L"kept", L"k"}});
    TempFile missing;
    EXPECT_EQ(ErrorOf([&] { target.LoadFromFile(missing.path()); }), 53);
    EXPECT_EQ(target.Count(), 1);

    TempFile empty;
    empty.Write({0, 0, 0, 0});
    target.LoadFromFile(empty.path());
    EXPECT_EQ(target.Count(), 0) << "a file of count 0 empties the collection";
}

}  // namespace
