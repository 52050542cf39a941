#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/drop_files.h"

using namespace quorallion::clipboard;

namespace {

std::string Header(uint32_t listOffset, bool wide) {
    std::string h(20, '\0');
    h[0] = static_cast<char>(listOffset & 0xFF);
    h[1] = static_cast<char>((listOffset >> 8) & 0xFF);
    h[16] = wide ? 1 : 0;
    return h;
}

std::string Wide(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::optional<DropFilesList> Parse(const std::string& block) {
    return ParseDropFiles(reinterpret_cast<const uint8_t*>(block.data()), block.size());
}

}  // namespace

TEST(DropFiles, WrittenBlockHasTheHeaderAndDoubleNul) {
    std::string block = BuildDropFilesAnsi({"C:\\a"});
    ASSERT_EQ(block.size(), 26u);
    EXPECT_EQ(block.substr(0, 20), Header(20, false));
    EXPECT_EQ(block.substr(20), std::string("C:\\a\0\0", 6));
    std::optional<DropFilesList> list = Parse(block);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->paths, (std::vector<std::string>{"C:\\a"}));
}

TEST(DropFiles, ReadsLongWidePathsWhole) {
    const std::string longPath = "C:\\" + std::string(300, 'd') + "\\f.txt";
    std::string block = Header(20, true) + Wide(longPath) + Wide(std::string(1, '\0')) +
                        Wide("C:\\b") + std::string(4, '\0');
    std::optional<DropFilesList> list = Parse(block);
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->wide);
    ASSERT_EQ(list->paths.size(), 2u);
    EXPECT_EQ(list->paths[0], Wide(longPath));
}

TEST(DropFiles, MalformedBlocksStayInsideTheirBytes) {
    struct Case {
        const char* why;
        std::string block;
        bool parsed;
        size_t paths;
    };
    const Case cases[] = {
        {"header cut short", std::string(19, '\0'), false, 0},
        {"list offset past the block", Header(500, true) + "ab", false, 0},
        {"list offset inside the header", Header(4, false) + "a\0", false, 0},
        {"no terminator at all", Header(20, false) + "C:\\x", true, 1},
        {"wide list with an odd last byte", Header(20, true) + Wide("ab") + "c", true, 1},
        {"empty list", Header(20, true) + std::string(2, '\0'), true, 0},
        {"header only", Header(20, true), true, 0},
    };
    for (const Case& c : cases) {
        std::optional<DropFilesList> list = Parse(c.block);
        EXPECT_EQ(list.has_value(), c.parsed) << c.why;
        if (list) {
            EXPECT_EQ(list->paths.size(), c.paths) << c.why;
        }
    }
}
