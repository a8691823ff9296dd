#include "ColorTestSupport.h"
#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <numeric>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

namespace X = UIColor_Expanded;

namespace {

// The table read as its format says, independently of the lookup, in table order.
std::vector<std::pair<std::string, std::uint32_t>> tableEntries()
{
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    static const std::regex entryPattern("([a-z]+)#([0-9a-f]{6})");
    std::stringstream stream(std::string(UIColor_Expanded_Support::colorNameTable().substr(1)));
    std::smatch match;
    for (std::string entry; std::getline(stream, entry, ',');) {
        EXPECT_TRUE(std::regex_match(entry, match, entryPattern)) << entry;
        if (!match.empty())
            entries.emplace_back(match[1], static_cast<std::uint32_t>(std::stoul(match[2], nullptr, 16)));
    }
    return entries;
}

// CSS colour keywords from whichever Python library on this machine has them, "name rrggbb" a line.
constexpr const char* pythonKeywordLister = R"(
import sys, warnings
warnings.simplefilter('ignore')
def emit(table):
    for name, value in table.items():
        print(name.lower(), value.lstrip('#') if isinstance(value, str) else '%02x%02x%02x' % tuple(value[:3]))
    sys.exit(0)
for load in (lambda: __import__('matplotlib.colors', fromlist=['x']).CSS4_COLORS,
             lambda: {n: __import__('webcolors').name_to_hex(n) for n in __import__('webcolors').names('css3')},
             lambda: __import__('PIL.ImageColor', fromlist=['x']).colormap,
             lambda: __import__('pydantic.color', fromlist=['x']).COLORS_BY_NAME):
    try:
        emit(load())
    except (ImportError, AttributeError):
        pass
sys.exit(1)
)";

std::map<std::string, std::uint32_t> keywordsFromPython()
{
    for (const char* python : { "python3", "/usr/bin/python3" }) {
        auto result = TestSupport::runCommand(std::string(python) + " - 2>/dev/null", pythonKeywordLister);
        std::map<std::string, std::uint32_t> keywords;
        std::istringstream lines(result.output);
        for (std::string name, value; result.exitCode == 0 && lines >> name >> value;)
            keywords[name] = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
        // Level 4 added one keyword after the table was fixed.
        keywords.erase("rebeccapurple");
        if (keywords.size() >= 140)
            return keywords;
    }
    return {};
}

}

TEST(ColorName, TableHoldsTheKeywordsInOrderWithBothGreys)
{
    std::string_view table = UIColor_Expanded_Support::colorNameTable();
    EXPECT_TRUE(table.starts_with(",aliceblue#f0f8ff,"));
    EXPECT_TRUE(table.ends_with(",yellowgreen#9acd32"));
    auto entries = tableEntries();
    EXPECT_EQ(entries.size(), 147u);
    EXPECT_TRUE(std::adjacent_find(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.first >= b.first; }) == entries.end());

    std::map<std::string, std::uint32_t> byName(entries.begin(), entries.end());
    int grays = 0;
    for (auto& [name, value] : byName) {
        if (auto at = name.find("gray"); at != std::string::npos) {
            SCOPED_TRACE(name);
            ++grays;
            EXPECT_EQ(byName.count(std::string(name).replace(at, 4, "grey")), 1u);
            EXPECT_EQ(byName[std::string(name).replace(at, 4, "grey")], value);
        }
    }
    EXPECT_EQ(grays, 7);

    auto keywords = keywordsFromPython();
    if (keywords.empty())
        GTEST_SKIP() << "no Python library with the CSS colour keywords (matplotlib, webcolors, Pillow, pydantic) to check the values against";
    EXPECT_EQ(byName, keywords);
}

TEST(ColorName, EveryNameFindsItsValueAndOnlyWholeNamesMatch)
{
    for (auto& [name, value] : tableEntries()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(X::rgbaHex(UIColor_Expanded_Support::searchForColorByName(name)), value << 8 | 0xFF);
        EXPECT_EQ(X::rgbaHex(X::colorWithName(name)), value << 8 | 0xFF);
    }
    // rgb 0 stands for nil.
    struct { std::string name; std::uint32_t rgb; } cases[] = {
        { "blue", 0x0000FF }, { "blueviolet", 0x8A2BE2 }, { "aliceblue", 0xF0F8FF }, { "alice", 0 }, { "Gray", 0 }, { " gray", 0 },
        { "gray ", 0 }, { "", 0 }, { "yellowgreen#", 0 }, { "aliceblue#f0f8ff", 0 }, { "rebeccapurple", 0 }, { std::string("blue\0", 5), 0 },
        // A name holding the separators must not reach into the next entry.
        { "red#ff0000,blue", 0 }, { "aliceblue#f0f8ff,antiquewhite", 0 }, { ",", 0 }, { "#", 0 },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        for (auto& color : { UIColor_Expanded_Support::searchForColorByName(entry.name), X::colorWithName(entry.name) }) {
            EXPECT_EQ(static_cast<bool>(color), entry.rgb != 0);
            if (color) {
                EXPECT_EQ(X::rgbaHex(color), entry.rgb << 8 | 0xFF);
            }
        }
    }
    // The cache answers with the colour it stored the first time.
    auto grey = X::colorWithName("grey");
    EXPECT_EQ(X::colorWithName("grey"), grey);
    EXPECT_NE(UIColor_Expanded_Support::searchForColorByName("grey"), grey);
    EXPECT_EQ(X::rgbaHex(X::colorWithName("gray")), X::rgbaHex(grey));
}

TEST(ColorName, LookupsFromManyThreadsAgreeOnOneColourPerName)
{
    std::vector<std::string> names;
    for (auto& entry : tableEntries())
        names.push_back(entry.first);
    size_t present = names.size();
    for (int i = 0; i < 50; ++i)
        names.push_back("absent" + std::to_string(i));

    constexpr int threadCount = 8;
    std::vector<std::vector<UIColorRef>> answers(threadCount, std::vector<UIColorRef>(names.size()));
    std::atomic<int> ready { 0 };
    std::atomic<bool> changedAnswer { false };
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            std::vector<size_t> order(names.size());
            std::iota(order.begin(), order.end(), 0);
            std::mt19937 random(static_cast<unsigned>(t));
            for (++ready; ready < threadCount;) { }
            for (int round = 0; round < 20; ++round) {
                std::shuffle(order.begin(), order.end(), random);
                for (size_t index : order) {
                    auto color = X::colorWithName(names[index]);
                    if (round && color != answers[t][index])
                        changedAnswer = true;
                    answers[t][index] = color;
                }
            }
        });
    }
    for (auto& thread : threads)
        thread.join();

    EXPECT_FALSE(changedAnswer);
    for (size_t index = 0; index < names.size(); ++index) {
        SCOPED_TRACE(names[index]);
        EXPECT_EQ(static_cast<bool>(answers[0][index]), index < present);
        for (int t = 1; t < threadCount; ++t)
            EXPECT_EQ(answers[t][index], answers[0][index]);
    }
}

TEST(ColorName, InventedNamesDoNotGrowTheCacheAndKnownNamesKeepTheirColour)
{
    const auto entries = tableEntries();
    std::vector<UIColorRef> before;
    for (auto& entry : entries)
        before.push_back(X::colorWithName(entry.first));

    for (int i = 0; i < 5000; ++i) {
        // Near misses too: a keyword in another case or with a letter more.
        for (const auto& name : { "invented" + std::to_string(i), "Red" + std::to_string(i), entries[i % entries.size()].first + "x" })
            ASSERT_FALSE(X::colorWithName(name)) << name;
    }
    EXPECT_LE(UIColor_Expanded_Support::cachedNameCount(), entries.size());

    for (size_t index = 0; index < entries.size(); ++index) {
        SCOPED_TRACE(entries[index].first);
        EXPECT_EQ(X::colorWithName(entries[index].first), before[index]);
    }
}
