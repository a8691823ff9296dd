#include "Foundation/PropertyList.h"
#include "PropertyListTestSupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <pthread.h>
#include <random>

using namespace PropertyListTestSupport;
using Bytes = std::vector<std::uint8_t>;

namespace {

void appendBigEndian(Bytes& out, std::uint64_t value, size_t size)
{
    for (size_t i = size; i-- > 0;)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Binary property lists built by hand, with 4-byte references and offsets.
Bytes arrayObject(const std::vector<std::uint64_t>& references)
{
    Bytes object;
    if (references.size() < 15) {
        object.push_back(static_cast<std::uint8_t>(0xA0 | references.size()));
    } else {
        object.push_back(0xAF);
        object.push_back(0x12);
        appendBigEndian(object, references.size(), 4);
    }
    for (auto reference : references)
        appendBigEndian(object, reference, 4);
    return object;
}

Bytes binaryPlist(const std::vector<Bytes>& objects, std::uint64_t top)
{
    Bytes out { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
    std::vector<size_t> offsets;
    for (auto& object : objects) {
        offsets.push_back(out.size());
        out.insert(out.end(), object.begin(), object.end());
    }
    size_t table = out.size();
    for (auto offset : offsets)
        appendBigEndian(out, offset, 4);
    out.insert(out.end(), 6, 0);
    out.push_back(4);
    out.push_back(4);
    appendBigEndian(out, objects.size(), 8);
    appendBigEndian(out, top, 8);
    appendBigEndian(out, table, 8);
    return out;
}

Bytes nestedBinary(size_t levels)
{
    std::vector<Bytes> objects { arrayObject({}) };
    for (size_t i = 1; i < levels; ++i)
        objects.push_back(arrayObject({ i - 1 }));
    return binaryPlist(objects, levels - 1);
}

std::string nestedXML(size_t levels)
{
    std::string xml = "<plist>";
    for (size_t i = 0; i < levels; ++i)
        xml += "<array>";
    for (size_t i = 0; i < levels; ++i)
        xml += "</array>";
    return xml + "</plist>";
}

Bytes dateObject(double seconds)
{
    Bytes object { 0x33 };
    appendBigEndian(object, std::bit_cast<std::uint64_t>(seconds), 8);
    return object;
}

// Parses on a thread with a 1 MB stack, smaller than the main thread's, so
// that recursion the nesting limit fails to stop shows as a crash.
std::optional<PropertyListValue> parseOnSmallStack(const Bytes& bytes)
{
    struct Job {
        const Bytes* bytes;
        std::optional<PropertyListValue> result;
    } job { &bytes, std::nullopt };
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 1024 * 1024);
    pthread_t thread;
    int created = pthread_create(&thread, &attributes, [](void* argument) -> void* {
        auto* job = static_cast<Job*>(argument);
        job->result = PropertyListValue::fromBytes(*job->bytes);
        return nullptr;
    }, &job);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(created, 0);
    if (created == 0)
        pthread_join(thread, nullptr);
    return std::move(job.result);
}

std::optional<PropertyListValue> parse(const std::string& text)
{
    return PropertyListValue::fromBytes(bytesOf(text));
}

std::optional<PropertyListValue> roundTrip(const PropertyListValue& value)
{
    return parse(value.toXML());
}

}

TEST(PropertyList, EveryTypeSurvivesXML)
{
    PropertyListValue::Dictionary nested { { "inner", PropertyListValue::Array { 1.5, "x", PropertyListValue::Dictionary {} } } };
    Bytes everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte.push_back(static_cast<std::uint8_t>(i));
    struct {
        const char* name;
        PropertyListValue value;
    } cases[] = {
        { "string", "Grüße & <tags> \"quoted\" \t\n" },
        { "empty string", "" },
        { "zero", PropertyListValue::integer(0) },
        { "negative", PropertyListValue::integer(-42) },
        { "smallest", PropertyListValue::integer(std::numeric_limits<std::int64_t>::min()) },
        { "largest signed", PropertyListValue::integer(std::numeric_limits<std::int64_t>::max()) },
        { "2^63", unsignedInteger(std::uint64_t(1) << 63) },
        { "2^64-1", unsignedInteger(std::numeric_limits<std::uint64_t>::max()) },
        { "tenth", 0.1 },
        { "negative zero", -0.0 },
        { "huge real", 1.7976931348623157e308 },
        { "denormal", 5e-324 },
        { "widened float", 140.f / 255.f },
        { "infinity", std::numeric_limits<double>::infinity() },
        { "negative infinity", -std::numeric_limits<double>::infinity() },
        { "true", true },
        { "false", false },
        { "empty data", data({}) },
        { "every byte", data(everyByte) },
        { "date", date(secondsSinceReferenceDate(2020, 1, 2, 3, 4, 5)) },
        { "before 1933", date(secondsSinceReferenceDate(1900, 1, 1)) },
        { "after 2069", date(secondsSinceReferenceDate(4001, 1, 1)) },
        { "year 1", date(secondsSinceReferenceDate(1, 1, 1)) },
        { "uid", uid(7) },
        { "empty array", PropertyListValue::Array {} },
        { "empty dictionary", PropertyListValue::Dictionary {} },
        { "nested", nested },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        auto asRoot = roundTrip(entry.value);
        ASSERT_TRUE(asRoot);
        EXPECT_EQ(*asRoot, entry.value);
        PropertyListValue inside(PropertyListValue::Dictionary { { "key", PropertyListValue::Array { entry.value } } });
        auto asChild = roundTrip(inside);
        ASSERT_TRUE(asChild);
        EXPECT_EQ(*asChild, inside);
    }
    auto negativeZero = roundTrip(-0.0);
    ASSERT_TRUE(negativeZero && negativeZero->get<double>());
    EXPECT_TRUE(std::signbit(*negativeZero->get<double>()));
    auto nan = roundTrip(std::numeric_limits<double>::quiet_NaN());
    ASSERT_TRUE(nan && nan->get<double>());
    EXPECT_TRUE(std::isnan(*nan->get<double>()));
}

TEST(PropertyList, WritesThePlatformXMLLayout)
{
    PropertyListValue::Dictionary entries {
        { "one", 1.0 },
        { "alpha", 0.5 },
        { "blob", data({ 0, 1, 2, 3, 0xFF }) },
        { "color", "#FF8000 & <b>" },
        { "count", PropertyListValue::integer(3) },
        { "enabled", true },
        { "list", PropertyListValue::Array {} },
        { "more", PropertyListValue::Dictionary { { "when", date(secondsSinceReferenceDate(2020, 1, 2, 3, 4, 5)) }, { "id", uid(2) } } },
    };
    EXPECT_EQ(PropertyListValue(entries).toXML(),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n"
        "<dict>\n"
        "\t<key>alpha</key>\n"
        "\t<real>0.5</real>\n"
        "\t<key>blob</key>\n"
        "\t<data>\n"
        "\tAAECA/8=\n"
        "\t</data>\n"
        "\t<key>color</key>\n"
        "\t<string>#FF8000 &amp; &lt;b&gt;</string>\n"
        "\t<key>count</key>\n"
        "\t<integer>3</integer>\n"
        "\t<key>enabled</key>\n"
        "\t<true/>\n"
        "\t<key>list</key>\n"
        "\t<array/>\n"
        "\t<key>more</key>\n"
        "\t<dict>\n"
        "\t\t<key>id</key>\n"
        "\t\t<dict>\n"
        "\t\t\t<key>CF$UID</key>\n"
        "\t\t\t<integer>2</integer>\n"
        "\t\t</dict>\n"
        "\t\t<key>when</key>\n"
        "\t\t<date>2020-01-02T03:04:05Z</date>\n"
        "\t</dict>\n"
        "\t<key>one</key>\n"
        "\t<real>1</real>\n"
        "</dict>\n"
        "</plist>\n");
}

TEST(PropertyList, DataLinesShortenWithIndentation)
{
    // 76 columns less 8 per tab, tabs capped at 8: 60 bytes make 80 characters.
    PropertyListValue::Data sixty(60, 0);
    struct {
        size_t depth;
        size_t lineLength;
    } cases[] = { { 0, 76 }, { 1, 68 }, { 2, 60 }, { 8, 12 }, { 10, 12 } };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.depth);
        PropertyListValue value = data(sixty);
        for (size_t i = 0; i < entry.depth; ++i)
            value = PropertyListValue::Array { value };
        std::string xml = value.toXML();
        std::string indent(std::min<size_t>(entry.depth, 8), '\t');
        std::string firstLine = indent + std::string(entry.lineLength, 'A') + "\n";
        EXPECT_NE(xml.find("<data>\n" + firstLine), std::string::npos) << xml;
        std::string lastLine = indent + std::string(80 % entry.lineLength, 'A') + "\n";
        EXPECT_NE(xml.find(lastLine + std::string(entry.depth, '\t') + "</data>"), std::string::npos) << xml;
        auto back = parse(xml);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, value);
    }
}

TEST(PropertyList, FloatStoredAsRealReadsBackExactly)
{
    float component = 140.f / 255.f;
    PropertyListValue stored(PropertyListValue::Dictionary { { "r", component } });
    auto back = roundTrip(stored);
    ASSERT_TRUE(back);
    auto* entries = back->get<PropertyListValue::Dictionary>();
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->at("r").floatValue(), 0.54901963f);
    EXPECT_EQ(entries->at("r").floatValue(), component);
}

TEST(PropertyList, DatesLoseTheirFractionInXML)
{
    struct {
        double seconds;
        const char* written;
        double readBack;
    } cases[] = {
        { 0.75, "<date>2001-01-01T00:00:00Z</date>", 0 },
        { -0.5, "<date>2000-12-31T23:59:59Z</date>", -1 },
        { 1e300, "<date>9999-12-31T23:59:59Z</date>", secondsSinceReferenceDate(9999, 12, 31, 23, 59, 59) },
        { std::numeric_limits<double>::quiet_NaN(), "<date>2001-01-01T00:00:00Z</date>", 0 },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.written);
        std::string xml = date(entry.seconds).toXML();
        EXPECT_NE(xml.find(entry.written), std::string::npos) << xml;
        auto back = parse(xml);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, date(entry.readBack));
    }
}

TEST(PropertyList, BinaryValuesKeepTheirExactForm)
{
    Bytes unsignedMax { 0x14 };
    appendBigEndian(unsignedMax, 0, 8);
    appendBigEndian(unsignedMax, std::numeric_limits<std::uint64_t>::max(), 8);
    Bytes minusOne { 0x13 };
    appendBigEndian(minusOne, std::numeric_limits<std::uint64_t>::max(), 8);
    Bytes singleFloat { 0x22 };
    appendBigEndian(singleFloat, std::bit_cast<std::uint32_t>(140.f / 255.f), 4);
    Bytes key { 0x51, 'k' };
    Bytes dictionary { 0xD1, 0, 0, 0, 1, 0, 0, 0, 2 };
    struct {
        const char* name;
        Bytes object;
        PropertyListValue expected;
    } cases[] = {
        { "128-bit unsigned", unsignedMax, unsignedInteger(std::numeric_limits<std::uint64_t>::max()) },
        { "negative", minusOne, PropertyListValue::integer(-1) },
        { "fractional date", dateObject(123456789.123456789), date(123456789.123456789) },
        { "negative fraction", dateObject(-0.5), date(-0.5) },
        { "far date", dateObject(63113904000.25), date(63113904000.25) },
        { "uid", { 0x80, 0x07 }, uid(7) },
        { "single-precision real", singleFloat, 140.f / 255.f },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        auto value = PropertyListValue::fromBytes(binaryPlist({ dictionary, key, entry.object }, 0));
        ASSERT_TRUE(value);
        EXPECT_EQ(*value, PropertyListValue(PropertyListValue::Dictionary { { "k", entry.expected } }));
    }
}

TEST(PropertyList, NestingWithinTheLimitIsRead)
{
    size_t limit = PropertyListValue::maximumNestingDepth;
    auto xml = [](size_t levels) {
        std::string text = nestedXML(levels);
        return Bytes(text.begin(), text.end());
    };
    struct {
        const char* name;
        Bytes bytes;
        bool readable;
    } cases[] = {
        { "XML at the limit", xml(limit), true },
        { "binary at the limit", nestedBinary(limit), true },
        { "XML past the limit", xml(limit + 1), false },
        { "binary past the limit", nestedBinary(limit + 1), false },
        { "XML nested 100 000 deep", xml(100000), false },
        { "binary nested 60 000 deep", nestedBinary(60000), false },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        EXPECT_EQ(parseOnSmallStack(entry.bytes).has_value(), entry.readable);
    }

    // Markup the parser skips does not nest.
    std::string hidden;
    for (size_t i = 0; i < 2 * limit; ++i)
        hidden += "<array>";
    auto commented = parse("<?xml version=\"1.0\"?><!DOCTYPE plist [ <!ENTITY x \"y\"> ]><plist><array><!--" + hidden + "--><string><![CDATA[" + hidden + "]]></string><array/></array></plist>");
    ASSERT_TRUE(commented);
    EXPECT_EQ(*commented, PropertyListValue(PropertyListValue::Array { hidden, PropertyListValue::Array {} }));
}

TEST(PropertyList, SharedBinaryObjectsAreExpanded)
{
    std::vector<Bytes> objects { { 0x51, 's' } };
    objects.push_back(arrayObject(std::vector<std::uint64_t>(100, 0)));
    auto value = PropertyListValue::fromBytes(binaryPlist(objects, 1));
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, PropertyListValue(PropertyListValue::Array(100, "s")));
}

TEST(PropertyList, MalformedInputReadsAsNothing)
{
    std::string valid = PropertyListValue(PropertyListValue::Dictionary { { "a", PropertyListValue::Array { 1.0, "b" } } }).toXML();
    Bytes validBinary = binaryPlist({ arrayObject({ 1 }), { 0x09 } }, 0);
    ASSERT_TRUE(PropertyListValue::fromBytes(validBinary));
    auto withTrailerByte = [&](size_t fromEnd, std::uint8_t byte) {
        Bytes bytes = validBinary;
        bytes[bytes.size() - fromEnd] = byte;
        return bytes;
    };
    std::mt19937 random(8);
    Bytes garbage(4096);
    for (auto& byte : garbage)
        byte = static_cast<std::uint8_t>(random());
    Bytes binaryGarbage = garbage;
    std::copy_n("bplist00", 8, binaryGarbage.begin());
    std::string huge = "<plist><string>" + std::string(PropertyListValue::maximumFileSize, 'x') + "</string></plist>";
    std::vector<Bytes> dag { { 0x09 } };
    for (std::uint64_t i = 1; i <= 40; ++i)
        dag.push_back(arrayObject({ i - 1, i - 1 }));

    Bytes dictionaryOfOne { 0xD1, 0, 0, 0, 1, 0, 0, 0, 2 };
    auto bytesOfText = [](const std::string& text) { return Bytes(text.begin(), text.end()); };
    struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        { "empty", {} },
        { "truncated XML", bytesOfText(valid.substr(0, valid.size() / 2)) },
        { "mismatched tags", bytesOfText("<plist><array></dict></plist>") },
        { "unterminated comment", bytesOfText("<plist><array><!-- </array></plist>") },
        { "garbage", garbage },
        { "binary garbage", binaryGarbage },
        { "magic only", bytesOfText("bplist00") },
        { "truncated binary", Bytes(validBinary.begin(), validBinary.end() - 1) },
        { "offset size 0", withTrailerByte(26, 0) },
        { "top object out of range", withTrailerByte(9, 5) },
        { "offset table past the end", withTrailerByte(1, 0xF0) },
        { "reference out of range", binaryPlist({ arrayObject({ 9 }) }, 0) },
        { "object offset out of range", [&] { Bytes bytes = validBinary; bytes[bytes.size() - 32 - 1] = 0xF0; return bytes; }() },
        { "key that is not a string", binaryPlist({ dictionaryOfOne, { 0x10, 0x05 }, { 0x09 } }, 0) },
        { "key holding a NUL character", binaryPlist({ dictionaryOfOne, { 0x62, 0, 'a', 0, 0 }, { 0x09 } }, 0) },
        { "self reference", binaryPlist({ arrayObject({ 0 }) }, 0) },
        { "cycle", binaryPlist({ arrayObject({ 1 }), arrayObject({ 2 }), arrayObject({ 0 }) }, 0) },
        { "shared references expanding to 2^40 values", binaryPlist(dag, dag.size() - 1) },
        { "larger than the limit", bytesOfText(huge) },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        EXPECT_FALSE(PropertyListValue::fromBytes(entry.bytes));
    }
}

namespace {

Bytes stringObject(size_t length, char fill = 'x')
{
    Bytes object { 0x5F, 0x12 };
    appendBigEndian(object, length, 4);
    object.insert(object.end(), length, static_cast<std::uint8_t>(fill));
    return object;
}

// Each level an array holding the level below fanout times, over one string.
Bytes sharedLevels(size_t levels, size_t fanout, size_t stringLength)
{
    std::vector<Bytes> objects { stringObject(stringLength) };
    for (size_t level = 1; level <= levels; ++level)
        objects.push_back(arrayObject(std::vector<std::uint64_t>(fanout, level - 1)));
    return binaryPlist(objects, levels);
}

}

TEST(PropertyList, SharedObjectsExpandingPastTheBudgetAreRefused)
{
    // Every value costs 64 bytes and every string its bytes, at each
    // reference; the budget is 16 MiB.
    constexpr size_t budget = 2 * PropertyListValue::maximumFileSize;
    size_t largestString = (budget - 64) / 8 - 64;
    Bytes utf16 { 0x6F, 0x12 };
    appendBigEndian(utf16, 1024 * 1024, 4);
    utf16.resize(utf16.size() + 2 * 1024 * 1024, 'a');
    Bytes dictionary { 0xDF, 0x12 };
    appendBigEndian(dictionary, 300, 4);
    for (std::uint64_t i = 0; i < 300; ++i)
        appendBigEndian(dictionary, 1 + i, 4);
    for (std::uint64_t i = 0; i < 300; ++i)
        appendBigEndian(dictionary, 301, 4);
    std::vector<Bytes> keyed { dictionary };
    for (int i = 0; i < 300; ++i)
        keyed.push_back({ 0x53, static_cast<std::uint8_t>('0' + i / 100), static_cast<std::uint8_t>('0' + i / 10 % 10), static_cast<std::uint8_t>('0' + i % 10) });
    keyed.push_back(stringObject(1024 * 1024));
    Bytes sharedData { 0x4F, 0x12 };
    appendBigEndian(sharedData, 1024 * 1024, 4);
    sharedData.resize(sharedData.size() + 1024 * 1024, 7);

    struct {
        const char* name;
        Bytes bytes;
        bool readable;
    } cases[] = {
        { "string shared to the budget", sharedLevels(1, 8, largestString), true },
        { "string shared one byte past it", sharedLevels(1, 8, largestString + 1), false },
        { "300 references to a 1 MB string", sharedLevels(1, 300, 1024 * 1024), false },
        { "300 references to 1 MB of data", binaryPlist({ sharedData, arrayObject(std::vector<std::uint64_t>(300, 0)) }, 1), false },
        { "a 2 MB UTF-16 string counted as UTF-8", binaryPlist({ utf16, arrayObject(std::vector<std::uint64_t>(6, 0)) }, 1), false },
        { "300 keys sharing a 1 MB value", binaryPlist(keyed, 0), false },
        { "nested arrays of one shared array", sharedLevels(3, 64, 1), false },
        { "modest sharing", sharedLevels(3, 20, 8), true },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        ASSERT_LE(entry.bytes.size(), PropertyListValue::maximumFileSize);
        EXPECT_EQ(PropertyListValue::fromBytes(entry.bytes).has_value(), entry.readable);
    }
}

TEST(PropertyList, XMLWithAByteOrderMarkOrInUTF16Reads)
{
    // The compiler spells the UTF-16 form, so the converter is not checked
    // against itself.
    std::u16string text = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist version=\"1.0\"><dict>"
                          u"<key>name</key><string>Caf\u00E9 \u2713 \U0001F3A8</string><key>on</key><true/></dict></plist>\n";
    PropertyListValue expected(PropertyListValue::Dictionary { { "name", "Caf\xC3\xA9 \xE2\x9C\x93 \xF0\x9F\x8E\xA8" }, { "on", true } });
    auto encode = [](std::u16string_view units, bool bigEndian) {
        Bytes out;
        for (char16_t unit : units) {
            out.push_back(static_cast<std::uint8_t>(bigEndian ? unit >> 8 : unit));
            out.push_back(static_cast<std::uint8_t>(bigEndian ? unit : unit >> 8));
        }
        return out;
    };
    std::string xml = expected.toXML();
    Bytes withMark { 0xEF, 0xBB, 0xBF };
    withMark.insert(withMark.end(), xml.begin(), xml.end());
    std::u16string loneSurrogate = u"\uFEFF<plist><string>?</string></plist>";
    loneSurrogate[16] = 0xD800;
    Bytes oddLength = encode(text, false);
    oddLength.pop_back();
    struct {
        const char* name;
        Bytes bytes;
        bool readable;
    } cases[] = {
        { "UTF-8 with a mark", withMark, true },
        { "UTF-16 little-endian", encode(text, false), true },
        { "UTF-16 big-endian", encode(text, true), true },
        { "UTF-16 with a lone surrogate", encode(loneSurrogate, false), false },
        { "UTF-16 of odd length", oddLength, false },
        { "a mark alone", { 0xFF, 0xFE }, false },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        auto value = PropertyListValue::fromBytes(entry.bytes);
        ASSERT_EQ(value.has_value(), entry.readable);
        if (value) {
            EXPECT_EQ(*value, expected);
        }
    }
}
